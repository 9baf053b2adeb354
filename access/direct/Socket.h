#pragma once
// A TCP connection with non-blocking I/O and poll() time limits, so no call waits forever.
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace db::direct {

using Clock = std::chrono::steady_clock;

// How long one I/O call may wait: until an absolute deadline, and no longer than idle
// without any byte moving (the idle limit restarts whenever data arrives).
struct TimeLimit {
  Clock::time_point deadline = Clock::time_point::max();
  std::chrono::milliseconds idle = std::chrono::milliseconds::max();
};

// Failures of the transport, for the caller to word as a MySQLError of its context.
struct SocketError {
  enum Kind { kTimeout, kClosed, kSystem } kind;
  int error = 0;  // errno for kSystem
  std::string describe() const;
};

class Socket {
 public:
  // Resolves host and connects to the first address that accepts within the limit. Throws
  // MySQLError(CR_UNKNOWN_HOST) or MySQLError(CR_CONN_HOST_ERROR).
  static Socket Connect(const std::string& host, unsigned port, Clock::time_point deadline);

  Socket(Socket&& other) noexcept;
  Socket& operator=(Socket&&) = delete;
  ~Socket();

  // Exactly n bytes, or throws SocketError.
  void readExact(char* dst, size_t n, const TimeLimit& limit);
  void writeAll(std::string_view data, const TimeLimit& limit);
  // What was received and not yet read, valid until the next read; consume(n) takes its first
  // n bytes as read. Lets a packet already received be used where it lies.
  std::string_view buffered() const { return {buffer_.data() + bufferPos_, bufferEnd_ - bufferPos_}; }
  void consume(size_t n) { bufferPos_ += n; }

 private:
  explicit Socket(int fd) : fd_(fd) {}
  void waitFor(short events, const TimeLimit& limit);

  int fd_ = -1;
  std::string buffer_;  // bytes received beyond what was asked for: [bufferPos_, bufferEnd_)
  size_t bufferPos_ = 0;
  size_t bufferEnd_ = 0;
};

}  // namespace db::direct
