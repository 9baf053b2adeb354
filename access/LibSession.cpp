// Client-library mode: the Session seam over the MySQL client library (libmariadb).
#include <mysql.h>

#include "access/Charsets.h"
#include "access/MySQLError.h"
#include "access/Session.h"

namespace db {
namespace {

[[noreturn]] void ThrowFrom(MYSQL* m) { throw MySQLError(mysql_errno(m), mysql_error(m)); }

class LibResultSet final : public ResultSet {
 public:
  LibResultSet(MYSQL* mysql, MYSQL_RES* res, bool* streamingOpen)
      : mysql_(mysql), res_(res), streamingOpen_(streamingOpen) {
    const unsigned n = mysql_num_fields(res);
    const MYSQL_FIELD* f = mysql_fetch_fields(res);
    columns_.reserve(n);
    for (unsigned i = 0; i < n; ++i) {
      ColumnDef c;
      c.name.assign(f[i].name, f[i].name_length);
      c.orgName.assign(f[i].org_name, f[i].org_name_length);
      c.table.assign(f[i].table, f[i].table_length);
      c.orgTable.assign(f[i].org_table, f[i].org_table_length);
      c.db.assign(f[i].db, f[i].db_length);
      c.type = static_cast<uint8_t>(f[i].type);
      c.flags = f[i].flags;
      c.charsetnr = static_cast<uint16_t>(f[i].charsetnr);
      c.length = static_cast<uint32_t>(f[i].length);
      c.decimals = static_cast<uint8_t>(f[i].decimals);
      columns_.push_back(std::move(c));
    }
    values_.resize(n);
  }
  ~LibResultSet() override {
    mysql_free_result(res_);  // drains the rest of a streaming result
    if (streamingOpen_) *streamingOpen_ = false;
  }

  const std::vector<ColumnDef>& columns() const override { return columns_; }

  const FieldValue* fetch() override {
    MYSQL_ROW row = mysql_fetch_row(res_);
    if (!row) {
      if (mysql_errno(mysql_)) ThrowFrom(mysql_);
      return nullptr;
    }
    const unsigned long* lengths = mysql_fetch_lengths(res_);
    for (size_t i = 0; i < values_.size(); ++i) {
      values_[i].data = row[i];
      values_[i].length = row[i] ? lengths[i] : 0;
      values_[i].isNull = row[i] == nullptr;
    }
    return values_.data();
  }

 private:
  MYSQL* mysql_;
  MYSQL_RES* res_;
  bool* streamingOpen_;  // the session's flag, cleared when this streaming result ends
  std::vector<ColumnDef> columns_;
  std::vector<FieldValue> values_;
};

class LibSession final : public Session {
 public:
  explicit LibSession(const ConnectParams& p) : mysql_(mysql_init(nullptr)) {
    if (!mysql_) throw MySQLError(CR_UNKNOWN_ERROR, "Out of memory initialising the MySQL client");
    const unsigned connectTimeout = static_cast<unsigned>(p.connectTimeoutSec);
    const unsigned readTimeout = static_cast<unsigned>(p.readTimeoutSec);
    const unsigned protocol = MYSQL_PROTOCOL_TCP;  // also for localhost, so the port counts
    mysql_options(mysql_, MYSQL_OPT_CONNECT_TIMEOUT, &connectTimeout);
    mysql_options(mysql_, MYSQL_OPT_READ_TIMEOUT, &readTimeout);
    mysql_options(mysql_, MYSQL_OPT_WRITE_TIMEOUT, &readTimeout);
    mysql_options(mysql_, MYSQL_OPT_PROTOCOL, &protocol);
    mysql_options(mysql_, MYSQL_SET_CHARSET_NAME, p.charset.c_str());
    const char* db = p.database.empty() ? nullptr : p.database.c_str();
    if (!mysql_real_connect(mysql_, p.host.c_str(), p.user.c_str(), p.password.c_str(), db, p.port,
                            nullptr, 0)) {
      MySQLError e(mysql_errno(mysql_), mysql_error(mysql_));
      mysql_close(mysql_);
      throw e;
    }
    MY_CHARSET_INFO cs;
    mysql_get_character_set_info(mysql_, &cs);
    charset_ = p.charset;
    maxBytesPerChar_ = cs.mbmaxlen ? cs.mbmaxlen : 1;
  }
  ~LibSession() override { mysql_close(mysql_); }

  std::unique_ptr<ResultSet> query(std::string_view sql, bool streaming) override {
    if (streamingOpen_)
      throw MySQLError(CR_COMMANDS_OUT_OF_SYNC,
                       "Commands out of sync: a streaming result is still open on this connection");
    if (mysql_real_query(mysql_, sql.data(), sql.size())) ThrowFrom(mysql_);
    MYSQL_RES* res = streaming ? mysql_use_result(mysql_) : mysql_store_result(mysql_);
    if (!res) {
      if (mysql_field_count(mysql_) != 0) ThrowFrom(mysql_);
      return nullptr;
    }
    streamingOpen_ = streaming;
    return std::make_unique<LibResultSet>(mysql_, res, streaming ? &streamingOpen_ : nullptr);
  }

  std::string serverVersion() const override { return mysql_get_server_info(mysql_); }
  std::string characterSetName() const override { return charset_; }
  unsigned maxBytesPerChar() const override { return maxBytesPerChar_; }
  bool noBackslashEscapes() const override {
    unsigned status = 0;
    mariadb_get_infov(mysql_, MARIADB_CONNECTION_SERVER_STATUS, &status);
    return (status & SERVER_STATUS_NO_BACKSLASH_ESCAPES) != 0;
  }
  std::string clientVersion() const override { return mysql_get_client_info(); }

 private:
  MYSQL* mysql_;
  std::string charset_;
  unsigned maxBytesPerChar_ = 1;
  bool streamingOpen_ = false;
};

}  // namespace

std::unique_ptr<Session> OpenLibSession(const ConnectParams& params) {
  return std::make_unique<LibSession>(params);
}

}  // namespace db
