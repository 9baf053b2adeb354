#include "access/MyConnection.h"

#include <algorithm>

#include "access/MySQLError.h"
#include "platform/AsciiText.h"

namespace db {

std::string CharsetToUse(const TMyConnectionOptions& options) {
  if (options.UseUnicode || options.Charset.empty()) return "utf8mb4";
  return platform::LowerCaseAscii(options.Charset);
}

TMyConnection::~TMyConnection() {
  Close();
  // Copy first: a client may remove itself while hearing of it.
  const std::vector<TConnectionClient*> clients = clients_;
  for (TConnectionClient* c : clients) c->ConnectionDestroyed(*this);
}

void TMyConnection::Open() {
  if (Connected()) return;
  ConnectParams p;
  p.host = Server.empty() ? "localhost" : Server;
  p.port = Port == 0 ? 3306 : Port;
  p.user = Username;
  p.password = Password;
  p.database = Database;
  p.charset = CharsetToUse(Options);
  p.connectTimeoutSec = ConnectionTimeout;
  p.readTimeoutSec = ReadTimeout;
  std::unique_ptr<Session> session = Options.Direct ? OpenDirectSession(p) : OpenLibSession(p);
  auto icon = std::make_unique<TMySQLConnection>(std::move(session));
  icon->FUsedCharset = p.charset;
  iconnection_ = std::move(icon);
  try {
    UpdateNeedBackslashes();
  } catch (...) {
    iconnection_.reset();
    throw;
  }
}

void TMyConnection::Close() {
  if (!Connected()) return;
  const std::vector<TConnectionClient*> clients = clients_;
  for (TConnectionClient* c : clients) c->ConnectionClosing(*this);
  iconnection_.reset();
}

void TMyConnection::ConnectCounted() {
  ++useCount_;
  if (!Connected()) {
    try {
      Open();
    } catch (...) {
      --useCount_;
      throw;
    }
  }
}

void TMyConnection::ReleaseCounted() {
  if (useCount_ > 0) --useCount_;
}

void TMyConnection::SetCheckBackslashes(bool value) {
  checkBackslashes_ = value;
  if (Connected()) UpdateNeedBackslashes();
}

void TMyConnection::UpdateNeedBackslashes() {
  if (!checkBackslashes_) {
    iconnection_->FNeedBackslashes = true;
    return;
  }
  auto result = iconnection_->session().query("SELECT @@session.sql_mode", false);
  std::string mode;
  if (result)
    if (const FieldValue* row = result->fetch(); row && !row[0].isNull) mode = row[0].bytes();
  iconnection_->FNeedBackslashes = platform::UpperCaseAscii(mode).find("NO_BACKSLASH_ESCAPES") == std::string::npos;
}

TMySQLConnection& TMyConnection::GetIConnection() {
  if (!Connected()) throw MySQLError(CR_SERVER_GONE_ERROR, "Connection is not opened");
  return *iconnection_;
}

std::string TMyConnection::ServerVersion() { return GetIConnection().session().serverVersion(); }

int TMyConnection::ServerMajorVersion() {
  const std::string v = ServerVersion();
  int major = 0;
  for (char c : v) {
    if (c < '0' || c > '9') break;
    major = major * 10 + (c - '0');
  }
  return major;
}

std::vector<std::string> TMyConnection::GetTableNames() {
  std::vector<std::string> names;
  auto result = GetIConnection().session().query("SHOW FULL TABLES", false);
  if (!result) return names;
  while (const FieldValue* row = result->fetch()) names.emplace_back(row[0].bytes());
  return names;
}

void TMyConnection::ExecSQL(std::string_view sql) {
  auto result = GetIConnection().session().query(sql, false);
}

void TMyConnection::AddClient(TConnectionClient* client) {
  if (std::find(clients_.begin(), clients_.end(), client) == clients_.end()) clients_.push_back(client);
}

void TMyConnection::RemoveClient(TConnectionClient* client) {
  clients_.erase(std::remove(clients_.begin(), clients_.end(), client), clients_.end());
}

}  // namespace db
