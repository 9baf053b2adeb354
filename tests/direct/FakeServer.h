#pragma once
// A scripted server on 127.0.0.1 for protocol paths the real test server cannot play. It accepts
// one connection and runs the script on it in its own thread.
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace direct_test {

// The server's end of the connection.
class Peer {
 public:
  explicit Peer(int fd) : fd_(fd) {}
  // Sends payload as one packet with the next sequence id.
  void send(std::string_view payload);
  void sendRaw(std::string_view bytes);
  // Reads one packet (no joining) and checks its sequence id.
  std::string receive();
  void startCommand() { seq_ = 0; }
  // Waits until the client closes its end, returning what it sent on the way.
  std::string drainUntilClosed();
  void close();

 private:
  void readExact(char* dst, size_t n);
  int fd_;
  uint8_t seq_ = 0;
};

class FakeServer {
 public:
  using Script = std::function<void(Peer&)>;
  explicit FakeServer(Script script);
  ~FakeServer();
  unsigned port() const { return port_; }
  // Joins the script and returns what went wrong in it (empty when nothing).
  std::string finish();

 private:
  int listenFd_ = -1;
  unsigned port_ = 0;
  std::thread thread_;
  std::mutex mutex_;
  std::string error_;
};

}  // namespace direct_test
