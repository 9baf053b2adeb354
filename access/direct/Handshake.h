#pragma once
// The login messages: the server's greeting, our answer and the server's auth-switch request.
#include <cstdint>
#include <string>
#include <string_view>

namespace db::direct {

struct ServerHandshake {
  std::string serverVersion;  // as sent, with any "5.5.5-" prefix
  uint32_t connectionId = 0;
  uint32_t capabilities = 0;
  uint8_t collation = 0;
  uint16_t statusFlags = 0;
  std::string nonce;       // the scramble, without the trailing NUL
  std::string authPlugin;  // empty when the server does not name one
};

// https://dev.mysql.com/doc/dev/mysql-server/latest/page_protocol_connection_phase_packets_protocol_handshake_v10.html
ServerHandshake ParseServerHandshake(std::string_view payload);

// MariaDB prefixes its real version with "5.5.5-" for old clients.
std::string StripVersionPrefix(std::string_view version);

// The capabilities we ask for, limited to what the server offers. Throws when the server
// cannot speak the 4.1 protocol with secure authentication.
uint32_t ChooseClientFlags(uint32_t serverCapabilities, bool withDatabase);

struct HandshakeResponse {
  uint32_t clientFlags = 0;
  uint32_t maxPacketSize = 0;
  uint8_t collation = 0;
  std::string_view user;
  std::string_view authResponse;
  std::string_view database;  // sent when clientFlags has CONNECT_WITH_DB
  std::string_view authPlugin;
};

// https://dev.mysql.com/doc/dev/mysql-server/latest/page_protocol_connection_phase_packets_protocol_handshake_response.html
std::string BuildHandshakeResponse(const HandshakeResponse& response);

struct AuthSwitchRequest {
  std::string plugin;
  std::string nonce;  // without the trailing NUL
};

// https://dev.mysql.com/doc/dev/mysql-server/latest/page_protocol_connection_phase_packets_protocol_auth_switch_request.html
AuthSwitchRequest ParseAuthSwitchRequest(std::string_view payload);

}  // namespace db::direct
