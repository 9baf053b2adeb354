#pragma once
// Numbers of the client/server protocol that more than one file of ours needs.
#include <cstdint>

namespace db::direct {

// https://dev.mysql.com/doc/dev/mysql-server/latest/group__group__cs__capabilities__flags.html
namespace cap {
inline constexpr uint32_t kLongPassword = 1;
inline constexpr uint32_t kLongFlag = 1u << 2;
inline constexpr uint32_t kConnectWithDb = 1u << 3;
inline constexpr uint32_t kCompress = 1u << 5;
inline constexpr uint32_t kLocalFiles = 1u << 7;
inline constexpr uint32_t kProtocol41 = 1u << 9;
inline constexpr uint32_t kSsl = 1u << 11;
inline constexpr uint32_t kTransactions = 1u << 13;
inline constexpr uint32_t kSecureConnection = 1u << 15;
inline constexpr uint32_t kMultiStatements = 1u << 16;
inline constexpr uint32_t kMultiResults = 1u << 17;
inline constexpr uint32_t kPluginAuth = 1u << 19;
inline constexpr uint32_t kConnectAttrs = 1u << 20;
inline constexpr uint32_t kPluginAuthLenencData = 1u << 21;
inline constexpr uint32_t kDeprecateEof = 1u << 24;
}  // namespace cap

// https://dev.mysql.com/doc/dev/mysql-server/latest/mysql__com_8h.html (SERVER_STATUS_*)
namespace status {
inline constexpr uint16_t kMoreResultsExist = 0x0008;
inline constexpr uint16_t kNoBackslashEscapes = 0x0200;
}  // namespace status

inline constexpr uint8_t kComQuit = 0x01;
inline constexpr uint8_t kComQuery = 0x03;

// First bytes of server packets.
inline constexpr uint8_t kOkHeader = 0x00;
inline constexpr uint8_t kMoreAuthDataHeader = 0x01;
inline constexpr uint8_t kLocalInfileHeader = 0xFB;
inline constexpr uint8_t kEofHeader = 0xFE;  // also the auth-switch request during login
inline constexpr uint8_t kErrHeader = 0xFF;

// The client library's code when the server asks for an authentication method it lacks.
inline constexpr unsigned kAuthPluginCannotLoad = 2059;
// ... and when the character set asked for is unknown.
inline constexpr unsigned kCantReadCharset = 2019;

}  // namespace db::direct
