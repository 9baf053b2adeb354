#pragma once
// Packets over a Socket: framing, the sequence id shared by both directions, time limits, and
// the wording of transport failures as MySQLError.
#include <cstdint>
#include <string>
#include <string_view>

#include "access/direct/Framing.h"
#include "access/direct/Socket.h"

namespace db::direct {

class Connection : public ByteSource {
 public:
  explicit Connection(Socket socket) : socket_(std::move(socket)) {}

  // Login: every I/O call must finish by the deadline set at connect.
  void limitToDeadline(Clock::time_point deadline, int seconds);
  // Afterwards: any silence longer than seconds fails (0: wait for ever).
  void limitSilence(int seconds);

  void read(char* dst, size_t n) override;
  void readPacket(std::string& payload);
  // The next packet, in place when it has been received whole (valid until the next read),
  // else read into spill. Saves a copy of each row.
  std::string_view readPacketInPlace(std::string& spill);
  void writePacket(std::string_view payload);
  void startCommand() { sequence_ = 0; }

  // After a transport or protocol failure the byte stream cannot be trusted any more.
  void markBroken() { broken_ = true; }
  bool broken() const { return broken_; }
  void throwIfBroken() const;

 private:
  [[noreturn]] void fail(const SocketError& e, bool writing);

  Socket socket_;
  TimeLimit limit_;
  bool login_ = true;
  int seconds_ = 0;
  uint8_t sequence_ = 0;
  bool broken_ = false;
  std::string wire_;
};

}  // namespace db::direct
