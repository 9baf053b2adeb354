#include "access/direct/Login.h"

#include "access/MySQLError.h"
#include "access/direct/Auth.h"
#include "access/direct/Handshake.h"
#include "access/direct/Messages.h"
#include "access/direct/Protocol.h"

namespace db::direct {
namespace {

// Room for a switch, a fast-auth reply, a key and the final OK; a server going on beyond that is broken.
constexpr int kMaxAuthRounds = 8;
constexpr uint32_t kMaxPacketSizeAnnounced = 1u << 30;

bool Known(std::string_view plugin) { return plugin == kNativePassword || plugin == kCachingSha2Password; }

std::string Scramble(std::string_view plugin, std::string_view password, std::string_view nonce) {
  return plugin == kCachingSha2Password ? CachingSha2Scramble(password, nonce) : NativePasswordScramble(password, nonce);
}

uint8_t First(const std::string& payload) {
  if (payload.empty()) throw MySQLError(CR_MALFORMED_PACKET, "Malformed packet: empty reply during login");
  return static_cast<uint8_t>(payload[0]);
}

// https://dev.mysql.com/doc/dev/mysql-server/latest/page_caching_sha2_authentication_exchanges.html
void FullSha2Auth(Connection& conn, const ConnectParams& params, std::string_view nonce, std::string& packet) {
  conn.writePacket(std::string_view(&kRequestPublicKey, 1));
  conn.readPacket(packet);
  if (First(packet) == kErrHeader) throw ParseErr(packet);
  if (First(packet) != kMoreAuthDataHeader)
    throw MySQLError(CR_MALFORMED_PACKET, "Malformed packet: expected the server's public key");
  conn.writePacket(RsaEncryptPassword(params.password, nonce, std::string_view(packet).substr(1)));
}

}  // namespace

LoginResult Login(Connection& conn, const ConnectParams& params, uint8_t collation) {
  std::string packet;
  conn.readPacket(packet);
  if (First(packet) == kErrHeader) throw ParseErr(packet);  // e.g. too many connections
  ServerHandshake hello = ParseServerHandshake(packet);

  LoginResult result;
  result.serverVersion = StripVersionPrefix(hello.serverVersion);
  result.clientFlags = ChooseClientFlags(hello.capabilities, !params.database.empty());
  result.statusFlags = hello.statusFlags;

  // For a method we lack, answer as native and let the server switch us if it accepts none else.
  std::string plugin = Known(hello.authPlugin) ? hello.authPlugin : std::string(kNativePassword);
  std::string nonce = hello.nonce;
  std::string auth = Scramble(plugin, params.password, nonce);
  HandshakeResponse resp;
  resp.clientFlags = result.clientFlags;
  resp.maxPacketSize = kMaxPacketSizeAnnounced;
  resp.collation = collation;
  resp.user = params.user;
  resp.authResponse = auth;
  resp.database = params.database;
  resp.authPlugin = plugin;
  conn.writePacket(BuildHandshakeResponse(resp));

  for (int round = 0; round < kMaxAuthRounds; ++round) {
    conn.readPacket(packet);
    switch (First(packet)) {
      case kOkHeader:
        result.statusFlags = ParseOk(packet).statusFlags;
        return result;
      case kErrHeader:
        throw ParseErr(packet);
      case kEofHeader: {
        AuthSwitchRequest sw = ParseAuthSwitchRequest(packet);
        if (!Known(sw.plugin))
          throw MySQLError(kAuthPluginCannotLoad, "Authentication plugin '" + sw.plugin + "' cannot be loaded");
        plugin = sw.plugin;
        nonce = sw.nonce;
        conn.writePacket(Scramble(plugin, params.password, nonce));
        break;
      }
      case kMoreAuthDataHeader: {
        if (plugin != kCachingSha2Password || packet.size() != 2)
          throw MySQLError(CR_MALFORMED_PACKET, "Malformed packet: unexpected authentication data from the server");
        if (packet[1] == kPerformFullAuth)
          FullSha2Auth(conn, params, nonce, packet);
        else if (packet[1] != kFastAuthSuccess)
          throw MySQLError(CR_MALFORMED_PACKET, "Malformed packet: unknown caching_sha2_password reply");
        break;
      }
      default:
        throw MySQLError(CR_MALFORMED_PACKET, "Malformed packet: unexpected reply during login");
    }
  }
  throw MySQLError(CR_MALFORMED_PACKET, "Malformed packet: the authentication exchange does not end");
}

}  // namespace db::direct
