#include "tests/direct/FakeServer.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace direct_test {

void Peer::sendRaw(std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n <= 0) throw std::runtime_error(std::string("fake server: send failed: ") + std::strerror(errno));
    bytes.remove_prefix(static_cast<size_t>(n));
  }
}

void Peer::send(std::string_view payload) {
  std::string wire;
  for (int i = 0; i < 3; ++i) wire.push_back(static_cast<char>((payload.size() >> (8 * i)) & 0xFF));
  wire.push_back(static_cast<char>(seq_++));
  wire.append(payload);
  sendRaw(wire);
}

void Peer::readExact(char* dst, size_t n) {
  while (n > 0) {
    ssize_t got = ::recv(fd_, dst, n, 0);
    if (got <= 0) throw std::runtime_error("fake server: client closed or timed out");
    dst += got;
    n -= static_cast<size_t>(got);
  }
}

std::string Peer::receive() {
  unsigned char h[4];
  readExact(reinterpret_cast<char*>(h), 4);
  size_t length = h[0] | (h[1] << 8) | (h[2] << 16);
  if (h[3] != seq_) throw std::runtime_error("fake server: client sequence " + std::to_string(h[3]) + ", expected " + std::to_string(seq_));
  ++seq_;
  std::string payload(length, '\0');
  readExact(payload.data(), length);
  return payload;
}

std::string Peer::drainUntilClosed() {
  std::string all;
  char buf[4096];
  for (;;) {
    ssize_t got = ::recv(fd_, buf, sizeof buf, 0);
    if (got <= 0) return all;
    all.append(buf, static_cast<size_t>(got));
  }
}

void Peer::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

FakeServer::FakeServer(Script script) {
  listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  if (listenFd_ < 0 || bind(listenFd_, reinterpret_cast<sockaddr*>(&a), len) != 0 || listen(listenFd_, 4) != 0 ||
      getsockname(listenFd_, reinterpret_cast<sockaddr*>(&a), &len) != 0)
    throw std::runtime_error("fake server: cannot listen");
  port_ = ntohs(a.sin_port);
  thread_ = std::thread([this, script = std::move(script)] {
    int fd = accept(listenFd_, nullptr, nullptr);
    if (fd < 0) return;
    // A script waiting on a client that misbehaves must not hang the test.
    timeval tv{10, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    Peer peer(fd);
    try {
      script(peer);
    } catch (const std::exception& e) {
      std::lock_guard<std::mutex> lock(mutex_);
      error_ = e.what();
    }
    peer.close();
  });
}

std::string FakeServer::finish() {
  if (thread_.joinable()) {
    shutdown(listenFd_, SHUT_RDWR);  // releases an accept() that never got a client
    thread_.join();
  }
  std::lock_guard<std::mutex> lock(mutex_);
  return error_;
}

FakeServer::~FakeServer() {
  finish();
  if (listenFd_ >= 0) ::close(listenFd_);
}

}  // namespace direct_test
