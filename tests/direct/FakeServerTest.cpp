// The direct mode against a scripted server: authentication exchanges, both result endings,
// time-outs, and replies that are broken on purpose.
#include <gtest/gtest.h>

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <thread>

#include "access/MySQLError.h"
#include "tests/direct/ErrorCode.h"
#include "access/Session.h"
#include "access/direct/Auth.h"
#include "access/direct/Protocol.h"
#include "access/direct/Wire.h"
#include "tests/direct/Bytes.h"
#include "tests/direct/FakeServer.h"

namespace db::direct {
namespace {

using direct_test::Bytes;
using direct_test::FakeServer;
using direct_test::Peer;

const std::string kNonce = "0123456789abcdefghij";
const std::string kSwitchNonce = "ABCDEFGHIJ0123456789";
constexpr uint32_t kCaps = cap::kProtocol41 | cap::kSecureConnection | cap::kPluginAuth | cap::kPluginAuthLenencData |
                           cap::kConnectWithDb | cap::kLongPassword | cap::kLongFlag | cap::kTransactions |
                           cap::kMultiResults | cap::kDeprecateEof;

void Expect(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error("fake server: " + what);
}

std::string Greeting(std::string_view plugin, uint32_t caps = kCaps) {
  return Bytes().u8(10).nul("5.5.5-10.11.99-MariaDB").u32(9).str(kNonce.substr(0, 8)).u8(0).u16(caps & 0xFFFF).u8(8)
      .u16(0x0002).u16(caps >> 16).u8(21).zeros(10).str(kNonce.substr(8)).u8(0).nul(plugin);
}

struct Hello {
  uint32_t flags;
  uint8_t collation;
  std::string user, auth, db, plugin;
};

Hello ParseHello(std::string_view payload) {
  WireReader r(payload);
  Hello h;
  h.flags = r.u32();
  r.u32();
  h.collation = r.u8();
  r.skip(23);
  h.user = r.nulTerminated();
  h.auth = r.lenencString();
  if (h.flags & cap::kConnectWithDb) h.db = r.nulTerminated();
  h.plugin = r.nulTerminated();
  Expect(r.atEnd(), "trailing bytes in the handshake response");
  return h;
}

ConnectParams Params(unsigned port, std::string password = "pw") {
  ConnectParams p;
  p.host = "127.0.0.1";
  p.port = port;
  p.user = "u";
  p.password = std::move(password);
  p.database = "shop";
  p.charset = "utf8mb4";
  p.connectTimeoutSec = 5;
  p.readTimeoutSec = 5;
  return p;
}

using direct_test::ErrorCode;

void ExpectQuit(Peer& p) {
  p.startCommand();
  Expect(p.receive() == "\x01", "no COM_QUIT at the end");
}

// A native-password login of user "u" with password "pw".
void AcceptLogin(Peer& p, uint32_t caps = kCaps) {
  p.send(Greeting("mysql_native_password", caps));
  Hello h = ParseHello(p.receive());
  Expect(h.auth == NativePasswordScramble("pw", kNonce), "wrong native scramble");
  p.send(direct_test::Ok());
}

// The RSA key pair the full caching_sha2_password exchange uses.
struct RsaKey {
  std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key{EVP_RSA_gen(2048), EVP_PKEY_free};
  std::string pem() const {
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), BIO_free);
    PEM_write_bio_PUBKEY(bio.get(), key.get());
    char* data = nullptr;
    long n = BIO_get_mem_data(bio.get(), &data);
    return std::string(data, static_cast<size_t>(n));
  }
  std::string decrypt(std::string_view cipher) const {
    std::unique_ptr<EVP_PKEY_CTX, decltype(&EVP_PKEY_CTX_free)> ctx(EVP_PKEY_CTX_new(key.get(), nullptr), EVP_PKEY_CTX_free);
    unsigned char out[512];
    size_t n = sizeof out;
    Expect(EVP_PKEY_decrypt_init(ctx.get()) == 1 && EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_OAEP_PADDING) == 1 &&
               EVP_PKEY_CTX_set_rsa_oaep_md(ctx.get(), EVP_sha1()) == 1 &&
               EVP_PKEY_decrypt(ctx.get(), out, &n, reinterpret_cast<const unsigned char*>(cipher.data()), cipher.size()) == 1,
           "cannot decrypt the password");
    return std::string(reinterpret_cast<char*>(out), n);
  }
};

const RsaKey& Key() {
  static const RsaKey key;
  return key;
}

struct LoginCase {
  const char* name;
  std::string password;
  std::function<void(Peer&)> script;
  unsigned code;  // 0: the login succeeds
};

void PrintTo(const LoginCase& c, std::ostream* os) { *os << c.name; }

class FakeLogin : public ::testing::TestWithParam<LoginCase> {};

TEST_P(FakeLogin, Exchange) {
  const LoginCase& c = GetParam();
  FakeServer server([&](Peer& p) {
    c.script(p);
    if (c.code == 0) ExpectQuit(p);
  });
  unsigned code = ErrorCode([&] { OpenDirectSession(Params(server.port(), c.password)); });
  EXPECT_EQ(code, c.code);
  EXPECT_EQ(server.finish(), "");
}

const LoginCase kLoginCases[] = {
    {"NativeWithDatabaseAndCharset", "pw",
     [](Peer& p) {
       p.send(Greeting("mysql_native_password"));
       Hello h = ParseHello(p.receive());
       Expect(h.user == "u" && h.db == "shop" && h.collation == 45 && h.plugin == "mysql_native_password", "hello fields");
       Expect((h.flags & kCaps) == h.flags && (h.flags & cap::kConnectWithDb) && (h.flags & cap::kDeprecateEof), "flags");
       Expect(h.auth == NativePasswordScramble("pw", kNonce), "native scramble");
       p.send(direct_test::Ok());
     },
     0},
    {"EmptyPasswordSendsNoAuthData", "",
     [](Peer& p) {
       p.send(Greeting("caching_sha2_password"));
       Expect(ParseHello(p.receive()).auth.empty(), "auth data for an empty password");
       p.send(direct_test::Ok());
     },
     0},
    {"CachingSha2FastPath", "pw",
     [](Peer& p) {
       p.send(Greeting("caching_sha2_password"));
       Hello h = ParseHello(p.receive());
       Expect(h.plugin == "caching_sha2_password" && h.auth == CachingSha2Scramble("pw", kNonce), "sha2 scramble");
       p.send("\x01\x03");
       p.send(direct_test::Ok());
     },
     0},
    {"CachingSha2FullPathWithKeyRequest", "pw",
     [](Peer& p) {
       p.send(Greeting("caching_sha2_password"));
       ParseHello(p.receive());
       p.send("\x01\x04");
       Expect(p.receive() == "\x02", "public key request");
       p.send("\x01" + Key().pem());
       Expect(Key().decrypt(p.receive()) == XorPasswordWithNonce("pw", kNonce), "encrypted password");
       p.send(direct_test::Ok());
     },
     0},
    {"SwitchToNative", "pw",
     [](Peer& p) {
       p.send(Greeting("caching_sha2_password"));
       ParseHello(p.receive());
       p.send(Bytes().u8(0xFE).nul("mysql_native_password").str(kSwitchNonce).u8(0));
       Expect(p.receive() == NativePasswordScramble("pw", kSwitchNonce), "native scramble of the new nonce");
       p.send(direct_test::Ok());
     },
     0},
    {"SwitchToCachingSha2", "pw",
     [](Peer& p) {
       p.send(Greeting("mysql_native_password"));
       ParseHello(p.receive());
       p.send(Bytes().u8(0xFE).nul("caching_sha2_password").str(kSwitchNonce).u8(0));
       Expect(p.receive() == CachingSha2Scramble("pw", kSwitchNonce), "sha2 scramble of the new nonce");
       p.send("\x01\x03");
       p.send(direct_test::Ok());
     },
     0},
    {"UnknownPluginOfferedAnswersNative", "pw",
     [](Peer& p) {
       p.send(Greeting("client_ed25519"));
       Hello h = ParseHello(p.receive());
       Expect(h.plugin == "mysql_native_password" && h.auth == NativePasswordScramble("pw", kNonce), "native fallback");
       p.send(direct_test::Ok());
     },
     0},
    {"SwitchToUnknownPlugin", "pw",
     [](Peer& p) {
       p.send(Greeting("mysql_native_password"));
       ParseHello(p.receive());
       p.send(Bytes().u8(0xFE).nul("dialog").str("x"));
     },
     kAuthPluginCannotLoad},
    {"AccessDenied", "pw",
     [](Peer& p) {
       p.send(Greeting("mysql_native_password"));
       ParseHello(p.receive());
       p.send(direct_test::Err(1045, "Access denied for user 'u'"));
     },
     1045},
    {"ErrorInsteadOfGreeting", "pw", [](Peer& p) { p.send(Bytes().u8(0xFF).u16(1040).str("Too many connections")); }, 1040},
    {"GarbageGreeting", "pw", [](Peer& p) { p.send("\x09garbage"); }, CR_MALFORMED_PACKET},
    {"GreetingOutOfOrder", "pw", [](Peer& p) { p.sendRaw(Bytes().packet(Greeting("mysql_native_password"), 5)); },
     CR_MALFORMED_PACKET},
    {"UnknownFastAuthReply", "pw",
     [](Peer& p) {
       p.send(Greeting("caching_sha2_password"));
       ParseHello(p.receive());
       p.send("\x01\x07");
     },
     CR_MALFORMED_PACKET},
    {"ClosedAfterGreeting", "pw",
     [](Peer& p) {
       p.send(Greeting("mysql_native_password"));
       p.receive();
     },
     CR_SERVER_LOST},
};

INSTANTIATE_TEST_SUITE_P(Cases, FakeLogin, ::testing::ValuesIn(kLoginCases), [](const auto& info) { return info.param.name; });

// ---- results

// Serves "SELECT a, b" with two rows and the given final status.
void ServeTwoRows(Peer& p, bool deprecateEof, uint16_t status) {
  p.send(Bytes().u8(2));
  p.send(direct_test::ColumnDefinition("a", 253));
  p.send(direct_test::ColumnDefinition("b", 252, 16, 63, 65535));
  if (!deprecateEof) p.send(direct_test::Eof());
  p.send(Bytes().lenenc("1").u8(0xFB));
  p.send(Bytes().lenenc("").lenenc(std::string("x\0y", 3)));
  p.send(deprecateEof ? direct_test::Ok(status, 0xFE) : direct_test::Eof(status));
}

class FakeResult : public ::testing::TestWithParam<bool> {};

TEST_P(FakeResult, BothEndingsOfAResult) {
  bool deprecateEof = GetParam();
  FakeServer server([&](Peer& p) {
    AcceptLogin(p, deprecateEof ? kCaps : kCaps & ~cap::kDeprecateEof);
    for (int mode = 0; mode < 2; ++mode) {
      p.startCommand();
      Expect(p.receive() == "\x03SELECT a, b", "query text");
      ServeTwoRows(p, deprecateEof, 0x0202);
      p.startCommand();
      Expect(p.receive() == "\x03SET x", "second query");
      p.send(direct_test::Ok(0x0002));
    }
    p.startCommand();
    p.receive();
    ServeTwoRows(p, deprecateEof, 0x0002);
    p.startCommand();
    Expect(p.receive() == "\x03SELECT 3", "query after the dropped result");
    p.send(direct_test::Ok());
    ExpectQuit(p);
  });
  {
    auto s = OpenDirectSession(Params(server.port()));
    EXPECT_EQ(s->serverVersion(), "10.11.99-MariaDB");
    for (bool streaming : {true, false}) {
      auto r = s->query("SELECT a, b", streaming);
      ASSERT_TRUE(r);
      ASSERT_EQ(r->columns().size(), 2u);
      EXPECT_EQ(r->columns()[1].name, "b");
      const FieldValue* v = r->fetch();
      ASSERT_TRUE(v);
      EXPECT_EQ(v[0].bytes(), "1");
      EXPECT_TRUE(v[1].isNull);
      v = r->fetch();
      ASSERT_TRUE(v);
      EXPECT_FALSE(v[0].isNull);
      EXPECT_EQ(v[0].length, 0u);
      EXPECT_EQ(v[1].bytes(), std::string_view("x\0y", 3));
      EXPECT_EQ(r->fetch(), nullptr);
      EXPECT_TRUE(s->noBackslashEscapes());  // from the status that ended the rows
      EXPECT_EQ(s->query("SET x", false), nullptr);
      EXPECT_FALSE(s->noBackslashEscapes());
    }
    auto dropped = s->query("SELECT a, b", true);
    ASSERT_TRUE(dropped->fetch());
    dropped.reset();
    EXPECT_EQ(s->query("SELECT 3", false), nullptr);
  }
  EXPECT_EQ(server.finish(), "");
}

INSTANTIATE_TEST_SUITE_P(Endings, FakeResult, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "DeprecateEof" : "EofPackets"; });

struct BrokenCase {
  const char* name;
  std::function<void(Peer&)> reply;  // the answer to the query
  unsigned code;
};

void PrintTo(const BrokenCase& c, std::ostream* os) { *os << c.name; }

class FakeBrokenReply : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(FakeBrokenReply, FailsClearlyAndTheSessionStaysFailed) {
  const BrokenCase& c = GetParam();
  for (bool streaming : {true, false}) {
    FakeServer server([&](Peer& p) {
      AcceptLogin(p);
      p.startCommand();
      p.receive();
      c.reply(p);
      p.drainUntilClosed();
    });
    auto s = OpenDirectSession(Params(server.port()));
    unsigned code = ErrorCode([&] {
      auto r = s->query("SELECT 1", streaming);
      while (r && r->fetch()) {
      }
    });
    EXPECT_EQ(code, c.code) << streaming;
    // Nothing more is read from a stream that cannot be trusted.
    EXPECT_EQ(ErrorCode([&] { s->query("SELECT 1", false); }), CR_SERVER_GONE_ERROR) << streaming;
    s.reset();
    EXPECT_EQ(server.finish(), "");
  }
}

const BrokenCase kBrokenCases[] = {
    {"EmptyPacket", [](Peer& p) { p.send(""); }, CR_MALFORMED_PACKET},
    {"ZeroColumns", [](Peer& p) { p.send(Bytes().u8(0xFC).u16(0)); }, CR_MALFORMED_PACKET},
    {"LocalInfileRequest", [](Peer& p) { p.send(Bytes().u8(0xFB).str("/etc/passwd")); }, CR_MALFORMED_PACKET},
    {"TruncatedColumnDefinition",
     [](Peer& p) {
       p.send(Bytes().u8(1));
       p.send(direct_test::ColumnDefinition("a", 3).substr(0, 20));
     },
     CR_MALFORMED_PACKET},
    {"RowWithTooFewValues",
     [](Peer& p) {
       p.send(Bytes().u8(2));
       p.send(direct_test::ColumnDefinition("a", 3));
       p.send(direct_test::ColumnDefinition("b", 3));
       p.send(Bytes().lenenc("1"));
     },
     CR_MALFORMED_PACKET},
    {"RowValuePastTheEnd",
     [](Peer& p) {
       p.send(Bytes().u8(1));
       p.send(direct_test::ColumnDefinition("a", 3));
       p.send(Bytes().u8(0xFC).u16(5000).str("abc"));
     },
     CR_MALFORMED_PACKET},
    {"PacketsOutOfOrder",
     [](Peer& p) {
       p.send(Bytes().u8(1));
       p.sendRaw(Bytes().packet(direct_test::ColumnDefinition("a", 3), 9));
     },
     CR_MALFORMED_PACKET},
    {"ClosedMidPacket",
     [](Peer& p) {
       p.send(Bytes().u8(1));
       p.sendRaw(Bytes().u24(100).u8(2).str("partial"));
       p.close();
     },
     CR_SERVER_LOST},
    {"ClosedBeforeReplying", [](Peer& p) { p.close(); }, CR_SERVER_LOST},
};

INSTANTIATE_TEST_SUITE_P(Cases, FakeBrokenReply, ::testing::ValuesIn(kBrokenCases), [](const auto& info) { return info.param.name; });

TEST(FakePeer, ClosedWhileIdleFailsTheNextStatement) {
  FakeServer server([](Peer& p) {
    AcceptLogin(p);
    p.close();
  });
  auto s = OpenDirectSession(Params(server.port()));
  EXPECT_EQ(server.finish(), "");
  unsigned code = ErrorCode([&] { s->query("SELECT 1", false); });
  EXPECT_TRUE(code == CR_SERVER_LOST || code == CR_SERVER_GONE_ERROR) << code;
}

// ---- time-outs

double SecondsOf(const std::function<void()>& f) {
  auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct SilentCase {
  const char* name;
  std::function<void(Peer&)> script;  // ends where the server falls silent
};

void PrintTo(const SilentCase& c, std::ostream* os) { *os << c.name; }

class FakeSilentLogin : public ::testing::TestWithParam<SilentCase> {};

TEST_P(FakeSilentLogin, ConnectTimeoutCoversTheHandshake) {
  FakeServer server([&](Peer& p) {
    GetParam().script(p);
    p.drainUntilClosed();
  });
  ConnectParams params = Params(server.port());
  params.connectTimeoutSec = 1;
  unsigned code = 0;
  double seconds = SecondsOf([&] { code = ErrorCode([&] { OpenDirectSession(params); }); });
  EXPECT_EQ(code, CR_SERVER_LOST);
  EXPECT_GE(seconds, 0.9);
  EXPECT_LT(seconds, 2.0);
  EXPECT_EQ(server.finish(), "");
}

INSTANTIATE_TEST_SUITE_P(Cases, FakeSilentLogin,
                         ::testing::Values(SilentCase{"NoGreeting", [](Peer&) {}},
                                           SilentCase{"NoAnswerToTheResponse",
                                                      [](Peer& p) {
                                                        p.send(Greeting("mysql_native_password"));
                                                        p.receive();
                                                      }},
                                           SilentCase{"TrickleOfSwitchRequests",
                                                      [](Peer& p) {
                                                        // Each reply comes in time; only the whole exceeds the limit.
                                                        p.send(Greeting("mysql_native_password"));
                                                        p.receive();
                                                        try {
                                                          for (int i = 0; i < 3; ++i) {
                                                            std::this_thread::sleep_for(std::chrono::milliseconds(400));
                                                            p.send(Bytes().u8(0xFE).nul("mysql_native_password").str(kNonce).u8(0));
                                                            p.receive();
                                                          }
                                                        } catch (const std::runtime_error&) {
                                                          // the client gave up, as it should
                                                        }
                                                      }}),
                         [](const auto& info) { return info.param.name; });

class FakeSilentResult : public ::testing::TestWithParam<bool> {};

TEST_P(FakeSilentResult, ReadTimeoutFiresMidResult) {
  bool streaming = GetParam();
  FakeServer server([](Peer& p) {
    AcceptLogin(p);
    p.startCommand();
    p.receive();
    p.send(Bytes().u8(1));
    p.send(direct_test::ColumnDefinition("a", 3));
    p.send(Bytes().lenenc("1"));
    p.drainUntilClosed();
  });
  ConnectParams params = Params(server.port());
  params.readTimeoutSec = 1;
  auto s = OpenDirectSession(params);
  std::string message;
  double seconds = SecondsOf([&] {
    try {
      auto r = s->query("SELECT a", streaming);
      while (r->fetch()) {
      }
    } catch (const MySQLError& e) {
      EXPECT_EQ(e.code(), CR_SERVER_LOST);
      message = e.what();
    }
  });
  EXPECT_NE(message.find("read time-out"), std::string::npos) << message;
  EXPECT_GE(seconds, 0.9);
  EXPECT_LT(seconds, 2.0);
  EXPECT_EQ(ErrorCode([&] { s->query("SELECT 1", false); }), CR_SERVER_GONE_ERROR);
  s.reset();
  EXPECT_EQ(server.finish(), "");
}

INSTANTIATE_TEST_SUITE_P(Modes, FakeSilentResult, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Streaming" : "Buffered"; });

}  // namespace
}  // namespace db::direct
