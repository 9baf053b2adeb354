#pragma once
// TMyConnection: a MySQL connection component with its settings, the counted connect and
// release, and the catalogue questions that the dump writer asks.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "access/MySQLConnection.h"

namespace db {

class TMyConnection;

// Objects that depend on a connection (datasets, dump components) hear when it closes or goes.
class TConnectionClient {
 public:
  virtual void ConnectionClosing(TMyConnection&) {}
  virtual void ConnectionDestroyed(TMyConnection&) {}

 protected:
  ~TConnectionClient() = default;
};

struct TMyConnectionOptions {
  bool Direct = true;        // our own protocol; false goes through the client library
  bool UseUnicode = false;   // text values as UTF-16, connection character set utf8mb4
  std::string Charset;       // character set name; empty: utf8mb4, so no value is lost
};

class TMyConnection {
 public:
  TMyConnection() = default;
  TMyConnection(const TMyConnection&) = delete;
  TMyConnection& operator=(const TMyConnection&) = delete;
  ~TMyConnection();

  std::string Server;           // empty: the local machine
  unsigned Port = 3306;         // 0: 3306
  std::string Database;
  std::string Username;
  std::string Password;
  bool LoginPrompt = false;     // no login dialog is ever shown; kept as the windows set it
  int ConnectionTimeout = 15;   // seconds; covers the TCP connect and the handshake
  int ReadTimeout = 600;        // seconds of silence allowed on an established connection
  bool Pooling = false;         // connections are never shared between components
  TMyConnectionOptions Options;

  void Open();
  void Close();  // closes the datasets on this connection first
  bool Connected() const { return iconnection_ != nullptr; }

  // Counted connect: the use count goes up and the connection opens if it is not open.
  void ConnectCounted();
  // Counted release: the count goes down, never below zero. The connection stays open: it has
  // no disconnected mode.
  void ReleaseCounted();
  int UseCount() const { return useCount_; }

  bool CheckBackslashes() const { return checkBackslashes_; }
  void SetCheckBackslashes(bool value);

  // Requires an open connection.
  TMySQLConnection& GetIConnection();
  std::string ServerVersion();
  int ServerMajorVersion();
  std::string CurrentDatabase() const { return Database; }
  // The tables and views of the current database, in the server's order.
  std::vector<std::string> GetTableNames();
  // Runs a statement and discards any result.
  void ExecSQL(std::string_view sql);

  void AddClient(TConnectionClient* client);
  void RemoveClient(TConnectionClient* client);

 private:
  void UpdateNeedBackslashes();

  std::unique_ptr<TMySQLConnection> iconnection_;
  std::vector<TConnectionClient*> clients_;
  int useCount_ = 0;
  bool checkBackslashes_ = false;
};

// The character set a connection asks for with these options.
std::string CharsetToUse(const TMyConnectionOptions& options);

}  // namespace db
