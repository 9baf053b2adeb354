// Round trips: a script replayed by the mariadb client into a fresh table recreates every row of
// every column type exactly, under each setting that changes the literals.
#include <cstdio>
#include <functional>

#include "tests/dump/DumpFixture.h"

using namespace dumptest;

namespace {


const char* kColumns =
    "id INT PRIMARY KEY, i TINYINT, u BIGINT UNSIGNED, d DECIMAL(20,6), f FLOAT, g DOUBLE, y YEAR,"
    " dt DATE, tm TIME(6), dtm DATETIME(3), ts TIMESTAMP NULL, b BIT(12), c CHAR(5), v VARCHAR(100),"
    " lv VARCHAR(400), vb VARCHAR(20) COLLATE utf8mb4_bin, e ENUM('a','ção'), s SET('x','y','z'),"
    " bi BINARY(4), vbi VARBINARY(300), tb TINYBLOB, bl LONGBLOB, tx TEXT, j JSON, geo GEOMETRY,"
    " l1 VARCHAR(20) CHARACTER SET latin1";

class Replay : public DumpTest {
 protected:
  void CreateTables() override {
    kSrc = database_;
    kDst = database_ + "_r";
    Setup(std::string("CREATE TABLE todos (") + kColumns + ")");
    Setup(
        "INSERT INTO todos VALUES"
        " (1, -128, 18446744073709551615, -12345678901234.123456, 1.17549e-38, -2.2250738585072014e-308, 1901,"
        "  '0000-00-00', '-838:59:59.000000', '0000-00-00 00:00:00.000', NULL, b'101010101010', 'ab', 'd''agua\\nfria\\\\',"
        "  REPEAT('çã\\'\"', 90), 'Ab', 'ção', 'x,z', 0x00410D00, 0x00, '', '', '', '[1, \"a\\\\b\"]',"
        "  ST_GeomFromText('LINESTRING(0 0, 1 1)'), 'São Paulo'),"
        " (2, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,"
        "  NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),"
        " (3, 0, 0, 0, 0, 1e300, 2155, '9999-12-31', '00:00:00.5', '2038-01-19 03:14:07.999', '2023-04-08 12:04:23',"
        "  b'0', '', '', '', '', 'a', '', '', 0x1A5C27220D0A, 0xFF, 0x00FF, 'emoji 😀 \\Z', '{}',"
        "  ST_GeomFromText('POINT(1 1)'), '')");
    // Every byte value in a blob and a varbinary.
    Setup(
        "INSERT INTO todos (id, vbi, bl) SELECT 4, UNHEX(GROUP_CONCAT(LPAD(HEX(seq), 2, '0') ORDER BY seq SEPARATOR '')),"
        " UNHEX(REPEAT(GROUP_CONCAT(LPAD(HEX(seq), 2, '0') ORDER BY seq SEPARATOR ''), 1)) FROM seq_0_to_255");
  }
  void TearDown() override {
    testing_support::Exec("DROP DATABASE IF EXISTS `" + kDst + "`");
    DumpTest::TearDown();
  }
  std::string DatabasePrefix() const override { return "replay"; }
  std::string kSrc, kDst;

  // A hexadecimal image of every value of every row.
  static std::string Image(const std::string& database) {
    auto c = testing_support::MakeConnection(false, database);
    c->Open();
    db::TMyQuery columns(c.get());
    columns.SetSQL("SELECT GROUP_CONCAT(CONCAT('IFNULL(HEX(`', COLUMN_NAME, '`),''-'')') ORDER BY ORDINAL_POSITION) "
                   "FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = :db AND TABLE_NAME = 'todos'");
    columns.ParamByName("db").SetAsString(database);
    columns.Open();
    db::TMyQuery rows(c.get());
    rows.SetSQL("SELECT CONCAT_WS('|', " + columns.Fields(0).AsString() + ") FROM todos ORDER BY id");
    rows.Open();
    std::string image;
    for (; !rows.Eof(); rows.Next()) image += rows.Fields(0).AsString() + "\n";
    return image;
  }

  void ReplayAndCompare(const std::string& script, bool utf16) {
    testing_support::RecreateDatabase(kDst);
    testing_support::Exec(std::string("CREATE TABLE todos (") + kColumns + ")", kDst);
    std::string bytes = script;
    if (utf16) {  // the client reads UTF-8; the content is the same
      std::u16string text;
      for (size_t i = 2; i + 1 < script.size(); i += 2)
        text += static_cast<char16_t>(static_cast<unsigned char>(script[i]) | (static_cast<unsigned char>(script[i + 1]) << 8));
      bytes = platform::Utf16ToUtf8(text);
    }
    const std::string path = dir_ + "/replay.sql";
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    const std::string cmd = "mariadb --no-defaults --default-character-set=utf8mb4 --binary-mode -h" + testing_support::TestHost() +
                            " -P" + std::to_string(testing_support::TestPort()) + " -uroot -p" +
                            testing_support::kRootPassword + " " + kDst + " < " + path + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    std::string output;
    char buf[512];
    while (size_t n = std::fread(buf, 1, sizeof buf, p)) output.append(buf, n);
    ASSERT_EQ(pclose(p), 0) << output;
    const std::string replayed = Image(kDst), original = Image(kSrc);
    if (replayed != original) {
      size_t at = 0;
      while (at < replayed.size() && at < original.size() && replayed[at] == original[at]) ++at;
      ADD_FAILURE() << "replayed rows differ at byte " << at << ": ..." << original.substr(at > 40 ? at - 40 : 0, 80)
                    << "... became ..." << replayed.substr(at > 40 ? at - 40 : 0, 80) << "...";
    }
  }
};

TEST_P(Replay, every_type_comes_back_exactly_under_each_setting) {
  struct Case {
    const char* name;
    std::function<void(dump::TMyDump&, db::TMyConnection&)> set;
    bool utf16;
  } cases[] = {
      {"system settings", [](dump::TMyDump&, db::TMyConnection&) {}, false},
      {"hex blob", [](dump::TMyDump& d, db::TMyConnection&) { d.Options().SetHexBlob(true); }, false},
      {"extended with batches",
       [](dump::TMyDump& d, db::TMyConnection&) {
         d.Options().SetUseExtSyntax(true);
         d.Options().SetCommitBatchSize(2);
       },
       false},
      {"no backslash escapes",
       [](dump::TMyDump&, db::TMyConnection& c) {
         c.ExecSQL("SET SESSION sql_mode = 'NO_BACKSLASH_ESCAPES'");
         c.SetCheckBackslashes(true);
       },
       false},
      {"fields as string", [](dump::TMyDump& d, db::TMyConnection&) { d.Options().SetFieldsAsString(true); }, false},
      {"use unicode",
       [](dump::TMyDump&, db::TMyConnection& c) {
         c.Close();
         c.Options.UseUnicode = true;
         c.Open();
       },
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    connection_ = testing_support::MakeConnection(GetParam(), kSrc);
    connection_->Open();
    dump::TMyDump d;
    SystemSettings(d);
    d.SetConnection(connection_.get());
    c.set(d, *connection_);
    d.SetTableNames(u"todos");
    d.BackupToFile(dir_ + "/todos.sql");
    ReplayAndCompare(ReadFile(dir_ + "/todos.sql"), c.utf16);
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, Replay, ::testing::Values(false, true), ModeName);

}  // namespace
