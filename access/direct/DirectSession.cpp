// Session and ResultSet over our own protocol implementation.
#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>
#include <vector>

#include "access/Charsets.h"
#include "access/MySQLError.h"
#include "access/Session.h"
#include "access/direct/Connection.h"
#include "access/direct/Login.h"
#include "access/direct/Messages.h"
#include "access/direct/Protocol.h"
#include "access/direct/Wire.h"

namespace db {
namespace direct {
namespace {

constexpr uint64_t kMaxColumns = 0xFFFF;
constexpr std::string_view kClientVersion = "tarvix-direct 1.0";

class DirectResultSet;

class DirectSession : public Session {
 public:
  DirectSession(Connection conn, const LoginResult& login, std::string charset, unsigned maxBytesPerChar, int readTimeoutSec)
      : conn_(std::move(conn)),
        version_(login.serverVersion),
        charset_(std::move(charset)),
        maxBytesPerChar_(maxBytesPerChar),
        deprecateEof_(login.clientFlags & cap::kDeprecateEof),
        status_(login.statusFlags) {
    conn_.limitSilence(readTimeoutSec);
  }

  ~DirectSession() override {
    if (conn_.broken()) return;
    try {
      conn_.startCommand();
      conn_.writePacket(std::string(1, static_cast<char>(kComQuit)));
    } catch (...) {
      // The server drops the connection either way.
    }
  }

  std::unique_ptr<ResultSet> query(std::string_view sql, bool streaming) override;
  std::string serverVersion() const override { return version_; }
  std::string characterSetName() const override { return charset_; }
  unsigned maxBytesPerChar() const override { return maxBytesPerChar_; }
  bool noBackslashEscapes() const override { return status_ & status::kNoBackslashEscapes; }
  std::string clientVersion() const override { return std::string(kClientVersion); }

  // Reads the next row, valid until the next read; false (and the status taken) at the end of
  // the result.
  bool readRow(std::string_view& row);
  void finishStreaming() { streamOpen_ = false; }
  bool usable() const { return !conn_.broken(); }

  // Runs f; a failure other than the server's own error leaves the stream in an unknown state.
  template <class F>
  auto guarded(F&& f) {
    try {
      return f();
    } catch (const ServerError&) {
      throw;
    } catch (...) {
      conn_.markBroken();
      throw;
    }
  }

 private:
  // Reads a response up to its rows: nullopt for an OK, the column definitions otherwise.
  std::optional<std::vector<ColumnDef>> readResultHead();
  void drainMoreResults();

  Connection conn_;
  std::string version_;
  std::string charset_;
  unsigned maxBytesPerChar_;
  bool deprecateEof_;
  uint16_t status_;
  bool streamOpen_ = false;
  std::string packet_;
  std::string rowBuffer_;  // a row that did not arrive whole in the socket's buffer
};

// Reads through its session, which must outlive it (as with the client library's results).
class DirectResultSet : public ResultSet {
 public:
  DirectResultSet(DirectSession& session, std::vector<ColumnDef> columns, bool streaming)
      : session_(session), columns_(std::move(columns)), values_(columns_.size()), streaming_(streaming) {}

  ~DirectResultSet() override {
    if (!streaming_ || done_) return;
    // Leaves the connection ready for the next statement.
    try {
      std::string_view row;
      if (session_.usable())
        while (session_.readRow(row)) {
        }
    } catch (...) {
    }
    session_.finishStreaming();
  }

  const std::vector<ColumnDef>& columns() const override { return columns_; }

  const FieldValue* fetch() override {
    if (done_) return nullptr;
    if (streaming_) {
      try {
        std::string_view row;
        if (!session_.readRow(row)) {
          finish();
          return nullptr;
        }
        session_.guarded([&] { ParseTextRow(row, values_.data(), values_.size()); });
      } catch (...) {
        finish();
        throw;
      }
      return values_.data();
    }
    if (next_ == rowEnds_.size()) {
      done_ = true;
      return nullptr;
    }
    size_t begin = next_ ? rowEnds_[next_ - 1] : 0;
    ParseTextRow(std::string_view(store_).substr(begin, rowEnds_[next_] - begin), values_.data(), values_.size());
    ++next_;
    return values_.data();
  }

  // Buffered mode: all rows in one byte store, each row's end in rowEnds_.
  void readAll() {
    std::string_view row;
    while (session_.readRow(row)) {
      session_.guarded([&] { ParseTextRow(row, values_.data(), values_.size()); });
      store_.append(row);
      rowEnds_.push_back(store_.size());
    }
    store_.shrink_to_fit();
  }

 private:
  void finish() {
    done_ = true;
    session_.finishStreaming();
  }

  DirectSession& session_;
  std::vector<ColumnDef> columns_;
  std::vector<FieldValue> values_;
  bool streaming_;
  bool done_ = false;
  std::string store_;
  std::vector<size_t> rowEnds_;
  size_t next_ = 0;
};

std::unique_ptr<ResultSet> DirectSession::query(std::string_view sql, bool streaming) {
  if (streamOpen_)
    throw MySQLError(CR_COMMANDS_OUT_OF_SYNC, "Commands out of sync; you can't run this command now");
  conn_.throwIfBroken();
  std::optional<std::vector<ColumnDef>> columns = guarded([&] {
    std::string command;
    command.reserve(1 + sql.size());
    command.push_back(static_cast<char>(kComQuery));
    command.append(sql);
    conn_.startCommand();
    conn_.writePacket(command);
    return readResultHead();
  });
  if (!columns) return nullptr;
  auto result = std::make_unique<DirectResultSet>(*this, std::move(*columns), streaming);
  if (streaming)
    streamOpen_ = true;
  else
    result->readAll();
  return result;
}

std::optional<std::vector<ColumnDef>> DirectSession::readResultHead() {
  conn_.readPacket(packet_);
  if (packet_.empty()) throw MySQLError(CR_MALFORMED_PACKET, "Malformed packet: empty response");
  switch (static_cast<uint8_t>(packet_[0])) {
    case kOkHeader:
      status_ = ParseOk(packet_).statusFlags;
      drainMoreResults();
      return std::nullopt;
    case kErrHeader:
      throw ParseErr(packet_);
    case kLocalInfileHeader:
      throw MySQLError(CR_MALFORMED_PACKET, "Malformed packet: LOCAL INFILE request, which this client never allows");
  }
  WireReader r(packet_);
  uint64_t count = r.lenencInt();
  if (!r.atEnd() || count == 0 || count > kMaxColumns)
    throw MySQLError(CR_MALFORMED_PACKET, "Malformed packet: bad column count");
  std::vector<ColumnDef> columns;
  columns.reserve(count);
  for (uint64_t i = 0; i < count; ++i) {
    conn_.readPacket(packet_);
    columns.push_back(ParseColumnDefinition(packet_));
  }
  if (!deprecateEof_) {
    conn_.readPacket(packet_);
    if (!IsResultTerminator(packet_)) throw MySQLError(CR_MALFORMED_PACKET, "Malformed packet: expected EOF after the columns");
    ParseEof(packet_);
  }
  return columns;
}

bool DirectSession::readRow(std::string_view& payload) {
  return guarded([&] {
    payload = conn_.readPacketInPlace(rowBuffer_);
    if (!payload.empty() && static_cast<uint8_t>(payload[0]) == kErrHeader) throw ParseErr(payload);
    if (!IsResultTerminator(payload)) return true;
    status_ = ParseResultTerminator(payload, deprecateEof_);
    drainMoreResults();
    return false;
  });
}

// Results after the first (of a CALL) are read and dropped so the next command finds the
// stream at its start. An error there ends the chain and concerns no one.
void DirectSession::drainMoreResults() {
  while (status_ & status::kMoreResultsExist) {
    status_ &= static_cast<uint16_t>(~status::kMoreResultsExist);
    std::optional<std::vector<ColumnDef>> columns;
    try {
      columns = readResultHead();
    } catch (const ServerError&) {
      return;
    }
    if (!columns) return;  // readResultHead drained what follows an OK
    for (;;) {
      conn_.readPacket(packet_);
      if (!packet_.empty() && static_cast<uint8_t>(packet_[0]) == kErrHeader) return;
      if (IsResultTerminator(packet_)) {
        status_ = ParseResultTerminator(packet_, deprecateEof_);
        break;
      }
    }
  }
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

}  // namespace
}  // namespace direct

std::unique_ptr<Session> OpenDirectSession(const ConnectParams& params) {
  using namespace direct;
  std::optional<CharsetInfo> charset = FindCharset(params.charset);
  if (!charset || charset->defaultCollation > 0xFF)
    throw MySQLError(kCantReadCharset, "Can't initialize character set '" + params.charset + "'");
  auto start = Clock::now();
  auto deadline = params.connectTimeoutSec > 0 ? start + std::chrono::seconds(params.connectTimeoutSec) : Clock::time_point::max();
  Connection conn(Socket::Connect(params.host, params.port, deadline));
  conn.limitToDeadline(deadline, params.connectTimeoutSec);
  LoginResult login = Login(conn, params, static_cast<uint8_t>(charset->defaultCollation));
  return std::make_unique<DirectSession>(std::move(conn), login, Lower(params.charset), charset->maxBytesPerChar,
                                         params.readTimeoutSec);
}

}  // namespace db
