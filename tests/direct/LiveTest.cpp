// The direct mode against the real test server (TARVIX_TEST_HOST / TARVIX_TEST_PORT).
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "access/MySQLError.h"
#include "tests/direct/ErrorCode.h"
#include "access/Session.h"

namespace db {
namespace {

constexpr const char* kPassword = "vbr7463";

ConnectParams Live(std::string database = "") {
  const char* host = std::getenv("TARVIX_TEST_HOST");
  const char* port = std::getenv("TARVIX_TEST_PORT");
  if (!host || !port) throw std::runtime_error("TARVIX_TEST_HOST and TARVIX_TEST_PORT must name the test server");
  ConnectParams p;
  p.host = host;
  p.port = static_cast<unsigned>(std::stoul(port));
  p.user = "root";
  p.password = kPassword;
  p.database = std::move(database);
  p.charset = "utf8mb4";
  p.connectTimeoutSec = 10;
  p.readTimeoutSec = 60;
  return p;
}

using direct_test::ErrorCode;

// The single value of a one-row, one-column result.
std::string Scalar(Session& s, std::string_view sql) {
  auto r = s.query(sql, false);
  if (!r) throw std::runtime_error("no result");
  const FieldValue* v = r->fetch();
  if (!v || v[0].isNull) throw std::runtime_error("no value");
  return std::string(v[0].bytes());
}

// A database of each test's own (ctest runs the tests in parallel), dropped again at the end.
class LiveDb : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    db_ = "direct_";
    for (char c : std::string(info->test_suite_name()) + "_" + info->name())
      db_.push_back(std::isalnum(static_cast<unsigned char>(c)) ? static_cast<char>(std::tolower(static_cast<unsigned char>(c))) : '_');
    db_.resize(std::min<size_t>(db_.size(), 64));
    admin_ = OpenDirectSession(Live());
    admin_->query("DROP DATABASE IF EXISTS " + db_, false);
    admin_->query("CREATE DATABASE " + db_ + " CHARACTER SET utf8mb4", false);
    s_ = OpenDirectSession(Live(db_));
  }
  void TearDown() override {
    s_.reset();
    if (admin_) admin_->query("DROP DATABASE IF EXISTS " + db_, false);
  }
  std::string db_;
  std::unique_ptr<Session> admin_;
  std::unique_ptr<Session> s_;
};

TEST(LiveLogin, GoodLoginReportsTheSession) {
  auto s = OpenDirectSession(Live());
  EXPECT_FALSE(s->serverVersion().starts_with("5.5.5-"));
  EXPECT_EQ(s->serverVersion(), Scalar(*s, "SELECT VERSION()"));
  EXPECT_EQ(s->characterSetName(), "utf8mb4");
  EXPECT_EQ(s->maxBytesPerChar(), 4u);
  EXPECT_EQ(Scalar(*s, "SELECT @@character_set_client"), "utf8mb4");
  EXPECT_EQ(Scalar(*s, "SELECT @@character_set_results"), "utf8mb4");
  EXPECT_FALSE(s->clientVersion().empty());
  EXPECT_EQ(s->query("DO 1", false), nullptr);
}

unsigned FreePort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  bind(fd, reinterpret_cast<sockaddr*>(&a), len);
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  close(fd);
  return ntohs(a.sin_port);
}

TEST(LiveLogin, RefusedLogins) {
  struct Case { const char* name; ConnectParams params; unsigned code; };
  Case cases[] = {{"wrong password", Live(), 1045}, {"unknown database", Live("direct_no_such_db"), 1049},
                  {"nothing listening", Live(), CR_CONN_HOST_ERROR}, {"unknown host", Live(), CR_UNKNOWN_HOST},
                  {"unknown charset", Live(), 2019}};
  cases[0].params.password = "wrong";
  cases[2].params.port = FreePort();
  cases[3].params.host = "no-such-host.invalid";
  cases[4].params.charset = "klingon";
  for (const Case& c : cases) EXPECT_EQ(ErrorCode([&] { OpenDirectSession(c.params); }), c.code) << c.name;
}

TEST(LiveLogin, LocalhostResolves) {
  ConnectParams p = Live();
  p.host = "localhost";
  auto s = OpenDirectSession(p);
  EXPECT_EQ(Scalar(*s, "SELECT 1"), "1");
}

// Expected values as the server describes these columns to any client.
struct ColumnCase {
  const char* name;
  uint8_t type;
  uint32_t flags;
  uint16_t charsetnr;
  uint32_t length;
  uint8_t decimals;
};

constexpr uint32_t kNotNull = 1, kPriKey = 2, kBlob = 16, kUnsigned = 32, kZerofill = 64, kBinary = 128, kEnum = 256,
                   kAutoIncrement = 512, kSet = 2048, kNoDefault = 4096, kPartKey = 16384, kNum = 32768;

TEST_F(LiveDb, ColumnDefinitionsOfCommonTypes) {
  s_->query(
      "CREATE TABLE t (c_id INT AUTO_INCREMENT PRIMARY KEY, c_tinyint TINYINT NOT NULL, c_smallint SMALLINT UNSIGNED, "
      "c_bigint BIGINT, c_decimal DECIMAL(10,2), c_float FLOAT, c_double DOUBLE, c_date DATE, c_datetime DATETIME(3), "
      "c_timestamp TIMESTAMP NULL, c_time TIME, c_year YEAR, c_char CHAR(10), c_varchar VARCHAR(50) NOT NULL, c_text TEXT, "
      "c_blob BLOB, c_longblob LONGBLOB, c_varbinary VARBINARY(20), c_enum ENUM('a','b'), c_set SET('x','y'), c_bit BIT(3))",
      false);
  const ColumnCase expected[] = {
      {"c_id", 3, kNotNull | kPriKey | kAutoIncrement | kNum | kPartKey, 63, 11, 0},
      {"c_tinyint", 1, kNotNull | kNoDefault | kNum, 63, 4, 0},
      {"c_smallint", 2, kUnsigned | kNum, 63, 5, 0},
      {"c_bigint", 8, kNum, 63, 20, 0},
      {"c_decimal", 246, kNum, 63, 12, 2},
      {"c_float", 4, kNum, 63, 12, 31},
      {"c_double", 5, kNum, 63, 22, 31},
      {"c_date", 10, kBinary, 63, 10, 0},
      {"c_datetime", 12, kBinary, 63, 23, 3},
      {"c_timestamp", 7, kUnsigned | kBinary, 63, 19, 0},
      {"c_time", 11, kBinary, 63, 10, 0},
      {"c_year", 13, kUnsigned | kZerofill | kNum, 63, 4, 0},
      {"c_char", 254, 0, 45, 40, 0},
      {"c_varchar", 253, kNotNull | kNoDefault, 45, 200, 0},
      {"c_text", 252, kBlob, 45, 262140, 0},
      {"c_blob", 252, kBlob | kBinary, 63, 65535, 0},
      {"c_longblob", 252, kBlob | kBinary, 63, 4294967295u, 0},
      {"c_varbinary", 253, kBinary, 63, 20, 0},
      {"c_enum", 254, kEnum, 45, 4, 0},
      {"c_set", 254, kSet, 45, 12, 0},
      {"c_bit", 16, kUnsigned, 63, 3, 0},
  };
  auto r = s_->query("SELECT * FROM t AS alias", false);
  ASSERT_TRUE(r);
  ASSERT_EQ(r->columns().size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const ColumnDef& c = r->columns()[i];
    const ColumnCase& e = expected[i];
    EXPECT_EQ(c.name, e.name);
    EXPECT_EQ(c.orgName, e.name);
    EXPECT_EQ(c.table, "alias") << e.name;
    EXPECT_EQ(c.orgTable, "t") << e.name;
    EXPECT_EQ(c.db, db_) << e.name;
    EXPECT_EQ(c.type, e.type) << e.name;
    EXPECT_EQ(c.flags, e.flags) << e.name;
    EXPECT_EQ(c.charsetnr, e.charsetnr) << e.name;
    EXPECT_EQ(c.length, e.length) << e.name;
    EXPECT_EQ(c.decimals, e.decimals) << e.name;
  }
  EXPECT_EQ(r->fetch(), nullptr);
}

class LiveModes : public LiveDb, public ::testing::WithParamInterface<bool> {};

TEST_P(LiveModes, ValuesNullEmptyAndEmbeddedNul) {
  s_->query("CREATE TABLE v (id INT PRIMARY KEY, b VARBINARY(10), s VARCHAR(10))", false);
  s_->query("INSERT INTO v VALUES (1, NULL, ''), (2, X'610062', 'x'), (3, '', NULL)", false);
  auto r = s_->query("SELECT id, b, s FROM v ORDER BY id", GetParam());
  ASSERT_TRUE(r);
  struct Row { const char* id; bool bNull; std::string b; bool sNull; std::string s; };
  const Row expected[] = {{"1", true, "", false, ""}, {"2", false, std::string("a\0b", 3), false, "x"}, {"3", false, "", true, ""}};
  for (const Row& e : expected) {
    const FieldValue* v = r->fetch();
    ASSERT_TRUE(v) << e.id;
    EXPECT_EQ(v[0].bytes(), e.id);
    EXPECT_EQ(v[1].isNull, e.bNull) << e.id;
    EXPECT_EQ(v[1].bytes(), e.b) << e.id;
    EXPECT_EQ(v[2].isNull, e.sNull) << e.id;
    EXPECT_EQ(v[2].bytes(), e.s) << e.id;
  }
  EXPECT_EQ(r->fetch(), nullptr);
  EXPECT_EQ(r->fetch(), nullptr);
}

TEST_P(LiveModes, BlobBiggerThanOnePacketBothWays) {
  // 20 MiB of varied bytes, sent as a 40 MiB hex literal and read back as one split row.
  std::string blob(20u << 20, '\0');
  for (size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<char>((i * 2654435761u) >> 13);
  static const char kHex[] = "0123456789ABCDEF";
  std::string sql = "INSERT INTO big VALUES (1, X'";
  sql.reserve(sql.size() + 2 * blob.size() + 3);
  for (unsigned char c : blob) {
    sql.push_back(kHex[c >> 4]);
    sql.push_back(kHex[c & 15]);
  }
  sql += "')";
  s_->query("CREATE TABLE big (id INT PRIMARY KEY, b LONGBLOB)", false);
  s_->query(sql, false);
  EXPECT_EQ(Scalar(*s_, "SELECT LENGTH(b) FROM big"), std::to_string(blob.size()));
  auto r = s_->query("SELECT b, id FROM big", GetParam());
  const FieldValue* v = r->fetch();
  ASSERT_TRUE(v);
  EXPECT_TRUE(v[0].bytes() == blob);
  EXPECT_EQ(v[1].bytes(), "1");
  EXPECT_EQ(r->fetch(), nullptr);
}

TEST_P(LiveModes, ManyRowsInOrder) {
  auto r = s_->query("SELECT seq, REPEAT('x', seq % 300) FROM seq_1_to_20000", GetParam());
  size_t n = 0;
  while (const FieldValue* v = r->fetch()) {
    ++n;
    ASSERT_EQ(v[0].bytes(), std::to_string(n));
    ASSERT_EQ(v[1].length, n % 300);
  }
  EXPECT_EQ(n, 20000u);
}

INSTANTIATE_TEST_SUITE_P(Modes, LiveModes, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Streaming" : "Buffered"; });

TEST_F(LiveDb, StreamingBlocksOtherStatementsUntilDoneOrDestroyed) {
  {
    auto r = s_->query("SELECT seq FROM seq_1_to_100000", true);
    ASSERT_TRUE(r->fetch());
    EXPECT_EQ(ErrorCode([&] { s_->query("SELECT 1", false); }), CR_COMMANDS_OUT_OF_SYNC);
    // Destroyed half-way: the remaining rows are drained.
  }
  EXPECT_EQ(Scalar(*s_, "SELECT 2"), "2");
  auto r = s_->query("SELECT 1", true);
  while (r->fetch()) {
  }
  EXPECT_EQ(Scalar(*s_, "SELECT 3"), "3");  // read to its end, the result no longer blocks
}

TEST_F(LiveDb, ServerErrorsLeaveTheSessionUsable) {
  EXPECT_EQ(ErrorCode([&] { s_->query("SELECT * FROM no_such_table", false); }), 1146u);
  EXPECT_EQ(ErrorCode([&] { s_->query("SELEKT", true); }), 1064u);
  EXPECT_EQ(Scalar(*s_, "SELECT 'still here'"), "still here");
}

TEST_F(LiveDb, NoBackslashEscapesFollowsTheSqlMode) {
  EXPECT_FALSE(s_->noBackslashEscapes());
  s_->query("SET sql_mode='NO_BACKSLASH_ESCAPES'", false);
  EXPECT_TRUE(s_->noBackslashEscapes());
  EXPECT_EQ(Scalar(*s_, "SELECT 'a\\b'"), "a\\b");
  s_->query("SET sql_mode=''", false);
  EXPECT_FALSE(s_->noBackslashEscapes());
}

TEST_F(LiveDb, ResultsOfAProcedureAreDrained) {
  s_->query("CREATE PROCEDURE two() BEGIN SELECT 1; SELECT 2; END", false);
  auto r = s_->query("CALL two()", false);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->fetch()[0].bytes(), "1");
  EXPECT_EQ(r->fetch(), nullptr);
  EXPECT_EQ(Scalar(*s_, "SELECT 3"), "3");
}

}  // namespace
}  // namespace db
