#include "access/direct/Socket.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>

#include "access/MySQLError.h"

namespace db::direct {
namespace {

constexpr size_t kReceiveChunk = 64 * 1024;

int PollTimeoutMs(const TimeLimit& limit) {
  auto now = Clock::now();
  if (now >= limit.deadline) return 0;
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(limit.deadline - now) + std::chrono::milliseconds(1);
  left = std::min(left, limit.idle);
  return static_cast<int>(std::min<std::chrono::milliseconds::rep>(left.count(), 24 * 3600 * 1000));
}

// Waits for a non-blocking connect on fd; returns 0 or the connect error (ETIMEDOUT at the deadline).
int WaitConnected(int fd, Clock::time_point deadline) {
  for (;;) {
    pollfd p{fd, POLLOUT, 0};
    int r = poll(&p, 1, PollTimeoutMs({deadline, std::chrono::milliseconds::max()}));
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return errno;
    if (r == 0) return ETIMEDOUT;
    int err = 0;
    socklen_t len = sizeof err;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0) return errno;
    return err;
  }
}

}  // namespace

std::string SocketError::describe() const {
  switch (kind) {
    case kTimeout: return "time-out";
    case kClosed: return "connection closed by the server";
    case kSystem: break;
  }
  return "system error " + std::to_string(error) + ": " + std::strerror(error);
}

Socket Socket::Connect(const std::string& host, unsigned port, Clock::time_point deadline) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_ADDRCONFIG;
  addrinfo* found = nullptr;
  std::string service = std::to_string(port);
  int gai = getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
  if (gai != 0)
    throw MySQLError(CR_UNKNOWN_HOST, "Unknown server host '" + host + "' (" + gai_strerror(gai) + ")");
  std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> list(found, freeaddrinfo);

  int lastError = 0;
  for (addrinfo* a = found; a; a = a->ai_next) {
    int fd = socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) {
      lastError = errno;
      continue;
    }
    int err = connect(fd, a->ai_addr, a->ai_addrlen) == 0 ? 0 : errno;
    if (err == EINPROGRESS) err = WaitConnected(fd, deadline);
    if (err == 0) {
      int one = 1;
      setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
      return Socket(fd);
    }
    close(fd);
    lastError = err;
    if (err == ETIMEDOUT) break;
  }
  throw MySQLError(CR_CONN_HOST_ERROR, "Can't connect to server on '" + host + "' port " + service + " (" +
                                           std::to_string(lastError) + " " + std::strerror(lastError) + ")");
}

Socket::Socket(Socket&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      buffer_(std::move(other.buffer_)),
      bufferPos_(other.bufferPos_),
      bufferEnd_(other.bufferEnd_) {}

Socket::~Socket() {
  if (fd_ >= 0) close(fd_);
}

void Socket::waitFor(short events, const TimeLimit& limit) {
  for (;;) {
    pollfd p{fd_, events, 0};
    int r = poll(&p, 1, PollTimeoutMs(limit));
    if (r > 0) return;  // errors and hang-ups surface in the recv/send that follows
    if (r == 0) throw SocketError{SocketError::kTimeout};
    if (errno != EINTR) throw SocketError{SocketError::kSystem, errno};
  }
}

void Socket::readExact(char* dst, size_t n, const TimeLimit& limit) {
  size_t fromBuffer = std::min(n, bufferEnd_ - bufferPos_);
  std::memcpy(dst, buffer_.data() + bufferPos_, fromBuffer);
  bufferPos_ += fromBuffer;
  dst += fromBuffer;
  n -= fromBuffer;
  while (n > 0) {  // the buffer is empty from here on
    // Large reads go straight to the destination; small ones fill the buffer to save calls.
    bool direct = n >= kReceiveChunk;
    if (!direct && buffer_.size() != kReceiveChunk) buffer_.resize(kReceiveChunk);
    ssize_t got = recv(fd_, direct ? dst : buffer_.data(), direct ? n : kReceiveChunk, 0);
    if (got == 0) throw SocketError{SocketError::kClosed};
    if (got < 0) {
      if (errno == EAGAIN || errno == EWOULDBLOCK) {
        waitFor(POLLIN, limit);
        continue;
      }
      if (errno == EINTR) continue;
      throw SocketError{SocketError::kSystem, errno};
    }
    size_t used = static_cast<size_t>(got);
    if (!direct) {
      used = std::min(used, n);
      std::memcpy(dst, buffer_.data(), used);
      bufferPos_ = used;
      bufferEnd_ = static_cast<size_t>(got);
    }
    dst += used;
    n -= used;
  }
}

void Socket::writeAll(std::string_view data, const TimeLimit& limit) {
  while (!data.empty()) {
    ssize_t sent = send(fd_, data.data(), data.size(), MSG_NOSIGNAL);
    if (sent < 0) {
      if (errno == EAGAIN || errno == EWOULDBLOCK) {
        waitFor(POLLOUT, limit);
        continue;
      }
      if (errno == EINTR) continue;
      if (errno == EPIPE || errno == ECONNRESET) throw SocketError{SocketError::kClosed};
      throw SocketError{SocketError::kSystem, errno};
    }
    data.remove_prefix(static_cast<size_t>(sent));
  }
}

}  // namespace db::direct
