// Byte-order marks and the encoding of text and data lines.
#include "tests/dump/DumpFixture.h"

using namespace dumptest;

namespace {

class Encoding : public DumpTest {
 protected:
  void CreateTables() override {
    Setup("CREATE TABLE `nação` (nome VARCHAR(20), foto BLOB, bits BIT(8))");
    Setup("INSERT INTO `nação` VALUES ('Não é', 0x00FF41, b'10000001')");
  }
  std::string DatabasePrefix() const override { return "encoding"; }

  std::string WithOptions(bool useUnicode, const std::string& charset) {
    connection_->Close();
    connection_->Options.UseUnicode = useUnicode;
    connection_->Options.Charset = charset;
    connection_->Open();
    return Dump("nação");
  }
};

std::string Utf16LE(const std::string& utf8) {
  std::string out;
  platform::AppendUtf16LE(out, platform::Utf8ToUtf16(utf8));
  return out;
}

TEST_P(Encoding, charset_utf8_in_any_case_gives_a_utf8_mark) {
  for (const char* charset : {"utf8", "UTF8"}) {
    SCOPED_TRACE(charset);
    const std::string script = WithOptions(false, charset);
    ASSERT_EQ(script.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_NE(script.find("/*!40101 SET NAMES utf8 */;\r\n"), std::string::npos);
    EXPECT_NE(script.find("INSERT INTO `nação`(nome, foto, bits) VALUES ('Não é',"), std::string::npos);
    EXPECT_NE(script.find("/*!40101 SET COLLATION_CONNECTION=@OLD_COLLATION_CONNECTION */;\r\n"), std::string::npos);
  }
}

TEST_P(Encoding, other_charsets_give_no_mark) {
  const std::string script = WithOptions(false, "utf8mb4");
  EXPECT_EQ(script.rfind("/*!40101 SET @OLD_CHARACTER_SET_CLIENT=@@CHARACTER_SET_CLIENT */;\r\n", 0), 0u);
  EXPECT_NE(script.find("/*!40101 SET NAMES utf8mb4 */;\r\n"), std::string::npos);
  EXPECT_EQ(WithOptions(false, "").rfind("/*!40014", 0), 0u);
}

TEST_P(Encoding, use_unicode_writes_every_line_in_utf16le) {
  const std::string script = WithOptions(true, "");
  ASSERT_EQ(script.substr(0, 2), "\xFF\xFE");
  // Bytes that are not UTF-8 survive as hexadecimal literals.
  const std::string line = "INSERT INTO `nação`(nome, foto, bits) VALUES ('Não é',0x00FF41,0x81);\r\n";
  EXPECT_NE(script.find(Utf16LE(line)), std::string::npos);
  EXPECT_NE(script.find(Utf16LE("/*!40101 SET NAMES utf8mb4 */;\r\n")), std::string::npos);
  EXPECT_EQ(script.size() % 2, 0u);
}

INSTANTIATE_TEST_SUITE_P(Modes, Encoding, ::testing::Values(false, true), ModeName);

}  // namespace
