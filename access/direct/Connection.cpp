#include "access/direct/Connection.h"

#include "access/MySQLError.h"

namespace db::direct {

void Connection::limitToDeadline(Clock::time_point deadline, int seconds) {
  limit_ = TimeLimit{deadline, std::chrono::milliseconds::max()};
  login_ = true;
  seconds_ = seconds;
}

void Connection::limitSilence(int seconds) {
  limit_ = TimeLimit{};
  if (seconds > 0) limit_.idle = std::chrono::seconds(seconds);
  login_ = false;
  seconds_ = seconds;
}

void Connection::fail(const SocketError& e, bool writing) {
  broken_ = true;
  if (login_) {
    std::string why = e.kind == SocketError::kTimeout ? "connect time-out of " + std::to_string(seconds_) + " s" : e.describe();
    throw MySQLError(CR_SERVER_LOST, "Lost connection to server at 'handshake' (" + why + ")");
  }
  if (writing) throw MySQLError(CR_SERVER_GONE_ERROR, "Server has gone away (" + e.describe() + ")");
  std::string why = e.kind == SocketError::kTimeout ? "read time-out of " + std::to_string(seconds_) + " s" : e.describe();
  throw MySQLError(CR_SERVER_LOST, "Lost connection to server during query (" + why + ")");
}

void Connection::throwIfBroken() const {
  if (broken_) throw MySQLError(CR_SERVER_GONE_ERROR, "Server has gone away (the connection failed earlier)");
}

void Connection::read(char* dst, size_t n) {
  try {
    socket_.readExact(dst, n, limit_);
  } catch (const SocketError& e) {
    fail(e, false);
  }
}

void Connection::readPacket(std::string& payload) {
  throwIfBroken();
  try {
    ReadPayload(*this, sequence_, payload);
  } catch (...) {
    broken_ = true;
    throw;
  }
}

std::string_view Connection::readPacketInPlace(std::string& spill) {
  throwIfBroken();
  const std::string_view b = socket_.buffered();
  if (b.size() >= kHeaderSize) {
    const auto* h = reinterpret_cast<const unsigned char*>(b.data());
    const size_t length = h[0] | size_t{h[1]} << 8 | size_t{h[2]} << 16;
    // Anything unusual (a split payload, a wrong sequence id) takes the checked way.
    if (h[3] == sequence_ && length < kMaxPacketSize && b.size() - kHeaderSize >= length) {
      ++sequence_;
      socket_.consume(kHeaderSize + length);
      return b.substr(kHeaderSize, length);
    }
  }
  readPacket(spill);
  return spill;
}

void Connection::writePacket(std::string_view payload) {
  throwIfBroken();
  wire_.clear();
  AppendFramed(wire_, payload, sequence_);
  try {
    socket_.writeAll(wire_, limit_);
  } catch (const SocketError& e) {
    fail(e, true);
  }
  // A large statement should not pin its copy for the life of the connection.
  if (wire_.capacity() > (size_t{1} << 20)) std::string().swap(wire_);
}

}  // namespace db::direct
