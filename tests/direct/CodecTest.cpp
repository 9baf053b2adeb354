// The pure codecs: basic types, framing, login messages, replies, result parts, scrambles.
#include <gtest/gtest.h>

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <memory>

#include "access/MySQLError.h"
#include "tests/direct/ErrorCode.h"
#include "access/direct/Auth.h"
#include "access/direct/Framing.h"
#include "access/direct/Handshake.h"
#include "access/direct/Messages.h"
#include "access/direct/Protocol.h"
#include "access/direct/Wire.h"
#include "tests/direct/Bytes.h"

namespace db::direct {
namespace {

using direct_test::Bytes;
using direct_test::FromHex;

using direct_test::ErrorCode;

// ---- length-encoded integers

struct LenencCase {
  const char* name;
  std::string bytes;
  uint64_t value;
};

class LenencIntTest : public ::testing::TestWithParam<LenencCase> {};

TEST_P(LenencIntTest, ReadsValueAndConsumesExactlyItsBytes) {
  const LenencCase& c = GetParam();
  std::string withTail = c.bytes + "X";
  WireReader r(withTail);
  EXPECT_EQ(r.lenencInt(), c.value);
  EXPECT_EQ(r.remaining(), 1u);
}

TEST_P(LenencIntTest, WriterProducesTheSameBytes) {
  std::string out;
  PutLenencInt(out, GetParam().value);
  EXPECT_EQ(out, GetParam().bytes);
}

TEST_P(LenencIntTest, EveryTruncationIsMalformed) {
  const std::string& b = GetParam().bytes;
  for (size_t n = 0; n < b.size(); ++n) {
    WireReader r(std::string_view(b).substr(0, n));
    EXPECT_EQ(ErrorCode([&] { r.lenencInt(); }), CR_MALFORMED_PACKET) << n;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Widths, LenencIntTest,
    ::testing::Values(LenencCase{"Zero", Bytes().u8(0), 0}, LenencCase{"OneByteMax", Bytes().u8(0xFA), 0xFA},
                      LenencCase{"TwoByteMin", Bytes().u8(0xFC).u16(0xFB), 0xFB},
                      LenencCase{"TwoByteMax", Bytes().u8(0xFC).u16(0xFFFF), 0xFFFF},
                      LenencCase{"ThreeByteMin", Bytes().u8(0xFD).u24(0x10000), 0x10000},
                      LenencCase{"ThreeByteMax", Bytes().u8(0xFD).u24(0xFFFFFF), 0xFFFFFF},
                      LenencCase{"EightByteMin", Bytes().u8(0xFE).u64(0x1000000), 0x1000000},
                      LenencCase{"EightByteMax", Bytes().u8(0xFE).u64(~0ull), ~0ull}),
    [](const auto& info) { return info.param.name; });

TEST(LenencInt, NullMarkerAndInvalidPrefix) {
  EXPECT_FALSE(WireReader(Bytes().u8(0xFB)).lenencIntOrNull().has_value());
  EXPECT_EQ(ErrorCode([] { WireReader(Bytes().u8(0xFB)).lenencInt(); }), CR_MALFORMED_PACKET);
  EXPECT_EQ(ErrorCode([] { WireReader(Bytes().u8(0xFF)).lenencInt(); }), CR_MALFORMED_PACKET);
}

TEST(WireStrings, ReadsAndRejectsOverruns) {
  std::string b = Bytes().lenenc(std::string("a\0b", 3)).nul("xy").str("tail");
  WireReader r(b);
  EXPECT_EQ(r.lenencString(), std::string_view("a\0b", 3));
  EXPECT_EQ(r.nulTerminated(), "xy");
  EXPECT_EQ(r.nulTerminatedOrRest(), "tail");
  EXPECT_TRUE(r.atEnd());

  struct Bad { const char* name; std::string bytes; std::string_view (WireReader::*read)(); };
  for (const Bad& c : {Bad{"length beyond end", Bytes().u8(5).str("abc"), &WireReader::lenencString},
                       Bad{"huge 8-byte length", Bytes().u8(0xFE).u64(~0ull).str("abc"), &WireReader::lenencString},
                       Bad{"no NUL", Bytes().str("abc"), &WireReader::nulTerminated}}) {
    WireReader bad(c.bytes);
    EXPECT_EQ(ErrorCode([&] { (bad.*c.read)(); }), CR_MALFORMED_PACKET) << c.name;
  }
}

// ---- framing

class StringSource : public ByteSource {
 public:
  explicit StringSource(std::string data) : data_(std::move(data)) {}
  void read(char* dst, size_t n) override {
    if (n > data_.size() - pos_) throw MySQLError(CR_SERVER_LOST, "Lost connection");
    data_.copy(dst, n, pos_);
    pos_ += n;
  }
  size_t left() const { return data_.size() - pos_; }

 private:
  std::string data_;
  size_t pos_ = 0;
};

class FramingRoundTrip : public ::testing::TestWithParam<size_t> {};

TEST_P(FramingRoundTrip, SplitsAtMaxPacketSizeAndJoins) {
  size_t size = GetParam();
  std::string payload(size, 'x');
  for (size_t i = 0; i < size; i += 4093) payload[i] = static_cast<char>(i);
  std::string wire;
  uint8_t seq = 250;  // wraps past 255 for the large ones
  AppendFramed(wire, payload, seq);
  size_t pieces = size / kMaxPacketSize + 1;
  EXPECT_EQ(wire.size(), size + pieces * kHeaderSize);
  EXPECT_EQ(seq, static_cast<uint8_t>(250 + pieces));
  // Every piece but the last is full; the last is shorter (possibly empty).
  EXPECT_EQ(ParseHeader(std::string_view(wire).substr(0, 4)).length, std::min(size, kMaxPacketSize));

  StringSource source(wire);
  uint8_t readSeq = 250;
  std::string joined;
  ReadPayload(source, readSeq, joined);
  EXPECT_EQ(joined, payload);
  EXPECT_EQ(readSeq, seq);
  EXPECT_EQ(source.left(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Sizes, FramingRoundTrip,
                         ::testing::Values(0, 1, kMaxPacketSize - 1, kMaxPacketSize, kMaxPacketSize + 1,
                                           2 * kMaxPacketSize));

TEST(Framing, ExactMultipleNeedsTheEmptyPiece) {
  std::string wire = Bytes().packet(std::string(kMaxPacketSize, 'a'), 0);
  StringSource source(wire);  // the empty piece is missing: the reader must wait for it
  uint8_t seq = 0;
  std::string out;
  EXPECT_EQ(ErrorCode([&] { ReadPayload(source, seq, out); }), CR_SERVER_LOST);
}

TEST(Framing, ErrorsOfTheStream) {
  struct Case { const char* name; std::string wire; size_t cap; unsigned code; };
  const Case cases[] = {
      {"wrong first sequence", Bytes().packet("abc", 3), kMaxPayloadSize, CR_MALFORMED_PACKET},
      {"wrong second sequence", Bytes().packet(std::string(kMaxPacketSize, 'a'), 0).packet("b", 2), kMaxPayloadSize,
       CR_MALFORMED_PACKET},
      {"truncated header", Bytes().u16(3), kMaxPayloadSize, CR_SERVER_LOST},
      {"truncated payload", Bytes().u24(10).u8(0).str("abc"), kMaxPayloadSize, CR_SERVER_LOST},
      {"over the cap", Bytes().u24(100).u8(0), 99, CR_NET_PACKET_TOO_LARGE},
      {"joined over the cap", Bytes().packet(std::string(kMaxPacketSize, 'a'), 0).u24(2).u8(1),
       kMaxPacketSize + 1, CR_NET_PACKET_TOO_LARGE},
  };
  for (const Case& c : cases) {
    StringSource source(c.wire);
    uint8_t seq = 0;
    std::string out;
    EXPECT_EQ(ErrorCode([&] { ReadPayload(source, seq, out, c.cap); }), c.code) << c.name;
  }
}

TEST(Framing, OutOfOrderMessageNamesBothIds) {
  StringSource source(Bytes().packet("x", 7));
  uint8_t seq = 1;
  std::string out;
  try {
    ReadPayload(source, seq, out);
    FAIL();
  } catch (const MySQLError& e) {
    EXPECT_STREQ(e.what(), "Packets out of order (got 7, expected 1)");
  }
}

// ---- handshake

const std::string kNonce = "abcdefgh" "ijklmnopqrst";

std::string Greeting(std::string_view version, uint32_t caps, std::string_view plugin, uint8_t nonceLen = 21) {
  return Bytes().u8(10).nul(version).u32(77).str(kNonce.substr(0, 8)).u8(0).u16(caps & 0xFFFF).u8(45).u16(0x0002)
      .u16(caps >> 16).u8(nonceLen).zeros(10).str(kNonce.substr(8)).u8(0).nul(plugin);
}

constexpr uint32_t kMariaDbCaps = (0xF7FE & ~1u) | cap::kProtocol41 | cap::kSecureConnection | cap::kPluginAuth |
                                  cap::kPluginAuthLenencData | cap::kMultiResults | cap::kDeprecateEof | cap::kConnectAttrs;
constexpr uint32_t kMySql8Caps = 0xFFFFFFFF & ~cap::kCompress;

TEST(Handshake, ParsesMariaDbAndMySqlGreetings) {
  struct Case { const char* name; std::string payload; std::string version; std::string plugin; uint32_t caps; };
  const Case cases[] = {
      {"MariaDB", Greeting("5.5.5-10.11.6-MariaDB-0+deb12u1", kMariaDbCaps, "mysql_native_password"),
       "10.11.6-MariaDB-0+deb12u1", "mysql_native_password", kMariaDbCaps},
      {"MySQL 8", Greeting("8.0.36", kMySql8Caps, "caching_sha2_password"), "8.0.36", "caching_sha2_password", kMySql8Caps},
      {"plugin without NUL", Greeting("8.0.36", kMySql8Caps, "x").substr(0, Greeting("8.0.36", kMySql8Caps, "x").size() - 1),
       "8.0.36", "x", kMySql8Caps},
  };
  for (const Case& c : cases) {
    ServerHandshake h = ParseServerHandshake(c.payload);
    EXPECT_EQ(StripVersionPrefix(h.serverVersion), c.version) << c.name;
    EXPECT_EQ(h.authPlugin, c.plugin) << c.name;
    EXPECT_EQ(h.capabilities, c.caps) << c.name;
    EXPECT_EQ(h.nonce, kNonce) << c.name;
    EXPECT_EQ(h.connectionId, 77u) << c.name;
    EXPECT_EQ(h.collation, 45) << c.name;
  }
}

TEST(Handshake, MalformedGreetings) {
  std::string good = Greeting("8.0.36", kMySql8Caps, "caching_sha2_password");
  std::string protocol9 = good;
  protocol9[0] = 9;
  struct Case { const char* name; std::string payload; };
  const Case cases[] = {
      {"empty", ""},
      {"protocol 9", protocol9},
      {"version unterminated", Bytes().u8(10).str("8.0.36")},
      {"cut in the nonce", good.substr(0, 1 + 7 + 4 + 5)},
      {"cut in the second nonce part", good.substr(0, good.size() - 30)},
  };
  for (const Case& c : cases) EXPECT_EQ(ErrorCode([&] { ParseServerHandshake(c.payload); }), CR_MALFORMED_PACKET) << c.name;
}

TEST(Handshake, VersionPrefix) {
  EXPECT_EQ(StripVersionPrefix("5.5.5-10.11.19-MariaDB"), "10.11.19-MariaDB");
  EXPECT_EQ(StripVersionPrefix("5.5.5-"), "5.5.5-");
  EXPECT_EQ(StripVersionPrefix("5.5.50-log"), "5.5.50-log");
}

TEST(Handshake, ClientFlagsFollowTheServer) {
  uint32_t all = ChooseClientFlags(kMySql8Caps, true);
  for (uint32_t f : {cap::kProtocol41, cap::kSecureConnection, cap::kPluginAuth, cap::kPluginAuthLenencData,
                     cap::kConnectWithDb, cap::kLongPassword, cap::kLongFlag, cap::kTransactions, cap::kDeprecateEof,
                     cap::kMultiResults})
    EXPECT_TRUE(all & f) << f;
  for (uint32_t f : {cap::kCompress, cap::kSsl, cap::kLocalFiles, cap::kMultiStatements, cap::kConnectAttrs})
    EXPECT_FALSE(all & f) << f;
  EXPECT_FALSE(ChooseClientFlags(kMySql8Caps, false) & cap::kConnectWithDb);
  EXPECT_FALSE(ChooseClientFlags(kMySql8Caps & ~cap::kDeprecateEof, true) & cap::kDeprecateEof);
  EXPECT_EQ(ErrorCode([] { ChooseClientFlags(kMySql8Caps & ~cap::kProtocol41, false); }), CR_MALFORMED_PACKET);
}

TEST(Handshake, BuildsResponse) {
  HandshakeResponse r;
  r.maxPacketSize = 1u << 30;
  r.collation = 45;
  r.user = "root";
  r.authResponse = std::string_view("\x01\x00\x02", 3);
  r.database = "shop";
  r.authPlugin = "mysql_native_password";
  struct Case { const char* name; uint32_t flags; std::string expected; };
  auto head = [&](uint32_t flags) { return Bytes().u32(flags).u32(1u << 30).u8(45).zeros(23).nul("root"); };
  uint32_t base = cap::kProtocol41 | cap::kSecureConnection;
  const Case cases[] = {
      {"everything", base | cap::kPluginAuthLenencData | cap::kConnectWithDb | cap::kPluginAuth,
       head(base | cap::kPluginAuthLenencData | cap::kConnectWithDb | cap::kPluginAuth)
           .lenenc(r.authResponse).nul("shop").nul("mysql_native_password")},
      {"one-byte auth length, no db, no plugin", base, head(base).u8(3).str(r.authResponse)},
  };
  for (const Case& c : cases) {
    r.clientFlags = c.flags;
    EXPECT_EQ(BuildHandshakeResponse(r), c.expected) << c.name;
  }
}

TEST(Handshake, AuthSwitchRequest) {
  AuthSwitchRequest s = ParseAuthSwitchRequest(Bytes().u8(0xFE).nul("caching_sha2_password").str(kNonce).u8(0));
  EXPECT_EQ(s.plugin, "caching_sha2_password");
  EXPECT_EQ(s.nonce, kNonce);
  EXPECT_EQ(ErrorCode([] { ParseAuthSwitchRequest(""); }), CR_MALFORMED_PACKET);
}

// ---- replies and result parts

TEST(Replies, OkErrEof) {
  OkPacket ok = ParseOk(Bytes().u8(0).u8(0xFC).u16(300).u8(7).u16(0x0202).u16(1).str("info"));
  EXPECT_EQ(ok.affectedRows, 300u);
  EXPECT_EQ(ok.lastInsertId, 7u);
  EXPECT_EQ(ok.statusFlags, 0x0202);
  EXPECT_EQ(ok.warnings, 1);
  EXPECT_EQ(ParseOk(direct_test::Ok(0x0200, 0xFE)).statusFlags, 0x0200);
  EXPECT_EQ(ParseEof(direct_test::Eof(0x0008)), 0x0008);

  MySQLError e = ParseErr(direct_test::Err(1045, "Access denied"));
  EXPECT_EQ(e.code(), 1045u);
  EXPECT_STREQ(e.what(), "Access denied");
  MySQLError early = ParseErr(Bytes().u8(0xFF).u16(1040).str("Too many connections"));
  EXPECT_EQ(early.code(), 1040u);
  EXPECT_STREQ(early.what(), "Too many connections");

  EXPECT_EQ(ErrorCode([] { ParseOk(""); }), CR_MALFORMED_PACKET);
  EXPECT_EQ(ErrorCode([] { ParseOk(Bytes().u8(0).u8(0).u8(0).get()); }), CR_MALFORMED_PACKET);
  EXPECT_EQ(ErrorCode([] { ParseEof(Bytes().u8(0xFE).u16(0).get()); }), CR_MALFORMED_PACKET);
  EXPECT_EQ(ErrorCode([] { ParseErr(Bytes().u8(0xFF).get()); }), CR_MALFORMED_PACKET);
}

TEST(Replies, TerminatorOrRow) {
  EXPECT_TRUE(IsResultTerminator(direct_test::Eof()));
  EXPECT_TRUE(IsResultTerminator(direct_test::Ok(0, 0xFE)));
  EXPECT_FALSE(IsResultTerminator(Bytes().lenenc("x")));
  // A row whose first value is 16 MiB or more starts with the 0xFE length prefix.
  EXPECT_FALSE(IsResultTerminator(Bytes().lenenc(std::string(kMaxPacketSize, 'v'))));
}

TEST(ResultParts, ColumnDefinition) {
  ColumnDef c = ParseColumnDefinition(direct_test::ColumnDefinition("price", 246, 0x1001, 63, 12, 2));
  EXPECT_EQ(c.db, "db1");
  EXPECT_EQ(c.table, "t");
  EXPECT_EQ(c.orgTable, "t_org");
  EXPECT_EQ(c.name, "price");
  EXPECT_EQ(c.orgName, "price_org");
  EXPECT_EQ(c.type, 246);
  EXPECT_EQ(c.flags, 0x1001u | 0x8000u);  // NUM_FLAG added as the client library does
  EXPECT_EQ(c.charsetnr, 63);
  EXPECT_EQ(c.length, 12u);
  EXPECT_EQ(c.decimals, 2);

  struct NumCase { uint8_t type; uint32_t length; bool numeric; };
  for (const NumCase& n : {NumCase{0, 5, true}, NumCase{1, 4, true}, NumCase{6, 0, true}, NumCase{7, 19, false},
                           NumCase{7, 14, true}, NumCase{9, 8, true}, NumCase{10, 10, false}, NumCase{13, 4, true},
                           NumCase{16, 3, false}, NumCase{246, 12, true}, NumCase{253, 20, false}})
    EXPECT_EQ(ParseColumnDefinition(direct_test::ColumnDefinition("n", n.type, 0, 63, n.length)).flags, n.numeric ? 0x8000u : 0u)
        << int(n.type) << "/" << n.length;

  std::string good = direct_test::ColumnDefinition("x", 3);
  for (size_t n : {size_t{0}, size_t{5}, good.size() - 3})
    EXPECT_EQ(ErrorCode([&] { ParseColumnDefinition(good.substr(0, n)); }), CR_MALFORMED_PACKET) << n;
  std::string wrongFixed = good;
  wrongFixed[good.size() - 13] = 0x0B;
  EXPECT_EQ(ErrorCode([&] { ParseColumnDefinition(wrongFixed); }), CR_MALFORMED_PACKET);
}

TEST(ResultParts, TextRow) {
  std::string row = Bytes().lenenc("42").u8(0xFB).lenenc("").lenenc(std::string("a\0b", 3));
  FieldValue v[4];
  ParseTextRow(row, v, 4);
  EXPECT_EQ(v[0].bytes(), "42");
  EXPECT_TRUE(v[1].isNull);
  EXPECT_FALSE(v[2].isNull);
  EXPECT_EQ(v[2].length, 0u);
  EXPECT_EQ(v[3].bytes(), std::string_view("a\0b", 3));
  // Views into the packet, not copies.
  EXPECT_EQ(v[0].data, row.data() + 1);

  struct Bad { const char* name; std::string row; size_t count; };
  for (const Bad& c : {Bad{"fewer values", Bytes().lenenc("1"), 2}, Bad{"more values", Bytes().lenenc("1").lenenc("2"), 1},
                       Bad{"value past end", Bytes().u8(9).str("abc"), 1}, Bad{"0xFF prefix", Bytes().u8(0xFF), 1}})
    EXPECT_EQ(ErrorCode([&] { ParseTextRow(c.row, v, c.count); }), CR_MALFORMED_PACKET) << c.name;
}

// ---- scrambles (expected values computed with Python's hashlib)

TEST(Scrambles, KnownVectors) {
  struct Case { const char* name; std::string password; std::string nonce; const char* native; const char* sha2; };
  std::string counting;
  for (char i = 1; i <= 20; ++i) counting.push_back(i);
  const Case cases[] = {
      {"ascii", "secret", counting, "b32bb3a583e1340c0a1108d58b1be49781ad8c2f",
       "746ebe205d56a0707acb3e796e834e0dd7b1d61743b26bd5202c7a623230c7c9"},
      {"utf8 with space", "p\xc3\xa4ss w0rd!", "abcdefghijklmnopqrst", "b18deb4de7e43512dc2dea2fc412d6ef5e73698b",
       "4ab70ff8277894ff244c97a7d4a16eaf18b7cc09e276d19e177ab586101e3327"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NativePasswordScramble(c.password, c.nonce), FromHex(c.native)) << c.name;
    EXPECT_EQ(CachingSha2Scramble(c.password, c.nonce), FromHex(c.sha2)) << c.name;
  }
  EXPECT_EQ(NativePasswordScramble("", counting), "");
  EXPECT_EQ(CachingSha2Scramble("", counting), "");
}

TEST(Scrambles, RsaEncryptedPasswordDecryptsToXoredPassword) {
  std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(EVP_RSA_gen(2048), EVP_PKEY_free);
  ASSERT_TRUE(key);
  std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), BIO_free);
  ASSERT_EQ(PEM_write_bio_PUBKEY(bio.get(), key.get()), 1);
  char* pem = nullptr;
  long pemSize = BIO_get_mem_data(bio.get(), &pem);

  std::string cipher = RsaEncryptPassword("pw", kNonce, std::string_view(pem, pemSize));
  ASSERT_EQ(cipher.size(), 256u);
  std::unique_ptr<EVP_PKEY_CTX, decltype(&EVP_PKEY_CTX_free)> ctx(EVP_PKEY_CTX_new(key.get(), nullptr), EVP_PKEY_CTX_free);
  ASSERT_EQ(EVP_PKEY_decrypt_init(ctx.get()), 1);
  ASSERT_EQ(EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_OAEP_PADDING), 1);
  ASSERT_EQ(EVP_PKEY_CTX_set_rsa_oaep_md(ctx.get(), EVP_sha1()), 1);
  unsigned char plain[512];
  size_t plainSize = sizeof plain;
  ASSERT_EQ(EVP_PKEY_decrypt(ctx.get(), plain, &plainSize, reinterpret_cast<const unsigned char*>(cipher.data()), cipher.size()), 1);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(plain), plainSize), std::string({'p' ^ 'a', 'w' ^ 'b', '\0' ^ 'c'}));

  EXPECT_EQ(ErrorCode([] { RsaEncryptPassword("pw", kNonce, "not a key"); }), CR_UNKNOWN_ERROR);
}

}  // namespace
}  // namespace db::direct
