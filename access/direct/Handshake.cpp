#include "access/direct/Handshake.h"

#include <algorithm>

#include "access/MySQLError.h"
#include "access/direct/Protocol.h"
#include "access/direct/Wire.h"

namespace db::direct {
namespace {

constexpr uint8_t kProtocolVersion = 10;
constexpr size_t kNoncePart1Size = 8;
constexpr size_t kMinNoncePart2Size = 13;
constexpr size_t kReservedSize = 10;
constexpr size_t kResponseFillerSize = 23;

std::string WithoutTrailingNul(std::string_view s) {
  if (!s.empty() && s.back() == '\0') s.remove_suffix(1);
  return std::string(s);
}

}  // namespace

ServerHandshake ParseServerHandshake(std::string_view payload) {
  WireReader r(payload);
  uint8_t protocol = r.u8();
  if (protocol != kProtocolVersion)
    throw MySQLError(CR_MALFORMED_PACKET,
                     "Unsupported protocol version " + std::to_string(protocol) + " in the server's greeting");
  ServerHandshake h;
  h.serverVersion = r.nulTerminated();
  h.connectionId = r.u32();
  std::string nonce(r.fixed(kNoncePart1Size));
  r.skip(1);
  h.capabilities = r.u16();
  if (r.atEnd()) {
    h.nonce = nonce;
    return h;
  }
  h.collation = r.u8();
  h.statusFlags = r.u16();
  h.capabilities |= static_cast<uint32_t>(r.u16()) << 16;
  uint8_t nonceLength = r.u8();
  r.skip(kReservedSize);
  if (h.capabilities & cap::kSecureConnection) {
    size_t part2 = std::max<size_t>(kMinNoncePart2Size, nonceLength > kNoncePart1Size ? nonceLength - kNoncePart1Size : 0);
    nonce.append(r.fixed(part2));
  }
  h.nonce = WithoutTrailingNul(nonce);
  // Some servers omit the NUL after the plugin name.
  if (h.capabilities & cap::kPluginAuth) h.authPlugin = r.nulTerminatedOrRest();
  return h;
}

std::string StripVersionPrefix(std::string_view version) {
  constexpr std::string_view kPrefix = "5.5.5-";
  if (version.starts_with(kPrefix) && version.size() > kPrefix.size()) version.remove_prefix(kPrefix.size());
  return std::string(version);
}

uint32_t ChooseClientFlags(uint32_t serverCapabilities, bool withDatabase) {
  constexpr uint32_t kRequired = cap::kProtocol41 | cap::kSecureConnection;
  if ((serverCapabilities & kRequired) != kRequired)
    throw MySQLError(CR_MALFORMED_PACKET, "The server does not support the 4.1 protocol with secure authentication");
  uint32_t wanted = kRequired | cap::kLongPassword | cap::kLongFlag | cap::kTransactions | cap::kMultiResults |
                    cap::kPluginAuth | cap::kPluginAuthLenencData | cap::kDeprecateEof;
  if (withDatabase) wanted |= cap::kConnectWithDb;
  return wanted & serverCapabilities;
}

std::string BuildHandshakeResponse(const HandshakeResponse& resp) {
  std::string out;
  out.reserve(64 + resp.user.size() + resp.authResponse.size() + resp.database.size());
  PutU32(out, resp.clientFlags);
  PutU32(out, resp.maxPacketSize);
  PutU8(out, resp.collation);
  out.append(kResponseFillerSize, '\0');
  PutNulTerminated(out, resp.user);
  if (resp.clientFlags & cap::kPluginAuthLenencData) {
    PutLenencString(out, resp.authResponse);
  } else {
    if (resp.authResponse.size() > 0xFF) throw MySQLError(CR_UNKNOWN_ERROR, "Authentication data too long");
    PutU8(out, static_cast<uint8_t>(resp.authResponse.size()));
    out.append(resp.authResponse);
  }
  if (resp.clientFlags & cap::kConnectWithDb) PutNulTerminated(out, resp.database);
  if (resp.clientFlags & cap::kPluginAuth) PutNulTerminated(out, resp.authPlugin);
  return out;
}

AuthSwitchRequest ParseAuthSwitchRequest(std::string_view payload) {
  WireReader r(payload);
  if (r.u8() != kEofHeader) throw MySQLError(CR_MALFORMED_PACKET, "Malformed authentication switch request");
  AuthSwitchRequest req;
  req.plugin = r.nulTerminatedOrRest();
  req.nonce = WithoutTrailingNul(r.rest());
  return req;
}

}  // namespace db::direct
