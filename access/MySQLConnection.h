#pragma once
// The internal connection object behind a TMyConnection: the live session and the escaping
// state that the dump writer reads.
#include <memory>
#include <string>

#include "access/Session.h"

namespace db {

class TMySQLConnection {
 public:
  explicit TMySQLConnection(std::unique_ptr<Session> session) : session_(std::move(session)) {}

  Session& session() { return *session_; }
  const Session& session() const { return *session_; }

  // Whether string literals need backslash escapes on this connection.
  bool FNeedBackslashes = true;
  // The character set in use on the connection.
  std::string FUsedCharset;

 private:
  std::unique_ptr<Session> session_;
};

}  // namespace db
