// The literal of every column kind under every setting, through the written script.
#include "tests/dump/DumpFixture.h"

using namespace dumptest;

namespace {

struct ValueCase {
  const char* name;
  const char* type;   // column definition
  std::string value;  // SQL expression inserted
  std::string plain;  // literal with the system's settings
  std::string hex;    // literal with HexBlob on ("" = same as plain)
};

const ValueCase kCases[] = {
    {"null int", "INT", "NULL", "NULL", ""},
    {"null blob", "BLOB", "NULL", "NULL", ""},
    {"null varbinary", "VARBINARY(4)", "NULL", "NULL", ""},
    {"int", "INT", "-42", "-42", ""},
    {"bigint unsigned max", "BIGINT UNSIGNED", "18446744073709551615", "18446744073709551615", ""},
    {"tinyint(1) is a number", "TINYINT(1)", "1", "1", ""},
    {"decimal keeps zeros", "DECIMAL(10,3)", "12.5", "12.500", ""},
    {"double with exponent", "DOUBLE", "1.5e300", "1.5e300", ""},
    {"float", "FLOAT", "0.1", "0.1", ""},
    {"year", "YEAR", "2023", "2023", ""},
    {"date", "DATE", "'2023-04-08'", "'2023-04-08'", ""},
    {"zero datetime", "DATETIME", "'0000-00-00 00:00:00'", "'0000-00-00 00:00:00'", ""},
    {"negative fractional time", "TIME(3)", "'-838:59:58.123'", "'-838:59:58.123'", ""},
    {"timestamp", "TIMESTAMP NULL", "'2023-01-02 03:04:05'", "'2023-01-02 03:04:05'", ""},
    {"bit 1", "BIT(1)", "1", std::string("'\x01'", 3), ""},
    {"bit with zero byte kept whole", "BIT(16)", "0x0100", std::string("'\x01\\0'", 5), ""},
    {"empty string", "VARCHAR(10)", "''", "''", ""},
    {"seven escapes", "VARCHAR(20)", "0x000A0D1A22275C", "'\\0\\n\\r\\Z\\\"\\'\\\\'", ""},
    {"other control bytes pass", "VARCHAR(20)", "0x0908017F", "'\t\b\x01\x7f'", ""},
    {"embedded NUL keeps tail", "VARCHAR(20)", "0x610062", std::string("'a\\0b'"), ""},
    {"accents as the server sends them", "VARCHAR(20)", "'ação'", "'ação'", ""},
    {"long varchar is escaped whole", "VARCHAR(300)", "CONCAT(REPEAT('a', 280), '''')",
     "'" + std::string(280, 'a') + "\\''", ""},
    {"binary collation varchar", "VARCHAR(10) COLLATE utf8mb4_bin", "'ab'", "'ab'", "0x6162"},
    {"binary collation text", "TEXT COLLATE utf8mb4_bin", "'ab'", "'ab'", ""},
    {"binary", "BINARY(3)", "0x00410D", "'\\0A\\r'", "0x00410D"},
    {"varbinary empty", "VARBINARY(3)", "''", "''", "''"},
    {"blob", "BLOB", "0x00410D", "'\\0A\\r'", "0x00410D"},
    {"empty blob", "BLOB", "''", "''", "''"},
    {"longblob", "LONGBLOB", "0xFF00", std::string("'\xff\\0'", 5), "0xFF00"},
    {"text", "TEXT", "'linha\\nduas'", "'linha\\nduas'", ""},
    {"json", "JSON", "'{\"a\": 1}'", "'{\\\"a\\\": 1}'", ""},
    {"enum", "ENUM('sim','não')", "'não'", "'não'", ""},
    {"set", "SET('a','b')", "'a,b'", "'a,b'", ""},
    {"geometry", "GEOMETRY", "ST_GeomFromText('POINT(1 1)')",
     std::string("'\\0\\0\\0\\0\x01\x01\\0\\0\\0\\0\\0\\0\\0\\0\\0\xf0?\\0\\0\\0\\0\\0\\0\xf0?'"),
     "0x000000000101000000000000000000F03F000000000000F03F"},
};

class Values : public DumpTest {
 protected:
  std::string DatabasePrefix() const override { return "values"; }

  // The value list of the one row of a one-column table.
  std::string Literal(const std::string& type, const std::string& value) {
    Exec("DROP TABLE IF EXISTS v");
    Exec("CREATE TABLE v (c " + type + ")");
    Exec("INSERT INTO v VALUES (" + value + ")");
    const std::string script = Dump("v");
    const std::string head = "INSERT INTO v(c) VALUES (";
    const size_t start = script.find(head);
    const size_t end = script.rfind(");\r\n\r\n");
    if (start == std::string::npos || end == std::string::npos) return "<no row> " + script;
    return script.substr(start + head.size(), end - start - head.size());
  }
};

TEST_P(Values, literal_of_every_kind_plain_and_hex) {
  for (const ValueCase& c : kCases) {
    SCOPED_TRACE(c.name);
    dump_.Options().SetHexBlob(false);
    EXPECT_EQ(Literal(c.type, c.value), c.plain);
    dump_.Options().SetHexBlob(true);
    EXPECT_EQ(Literal(c.type, c.value), c.hex.empty() ? c.plain : c.hex);
  }
}

TEST_P(Values, several_columns_are_separated_by_a_comma_alone) {
  Exec("DROP TABLE IF EXISTS w");
  Exec("CREATE TABLE w (a INT, b VARCHAR(5), c DATE)");
  Exec("INSERT INTO w VALUES (1, NULL, '2020-01-01')");
  EXPECT_NE(Dump("w").find("INSERT INTO w(a, b, c) VALUES (1,NULL,'2020-01-01');\r\n"), std::string::npos);
}

TEST_P(Values, no_backslash_escapes_in_any_letter_case) {
  connection_->SetCheckBackslashes(true);
  for (const char* mode : {"NO_BACKSLASH_ESCAPES", "no_backslash_escapes,ansi"}) {
    SCOPED_TRACE(mode);
    Exec(std::string("SET SESSION sql_mode = '") + mode + "'");
    connection_->SetCheckBackslashes(true);
    EXPECT_EQ(Literal("VARCHAR(20)", "0x6427610A5C00"), std::string("'d''a\n\\\0'", 9));
    const std::string script = Dump("v");
    EXPECT_NE(script.find("SQL_MODE='NO_AUTO_VALUE_ON_ZERO,NO_BACKSLASH_ESCAPES' */;\r\n"), std::string::npos);
  }
  Exec("SET SESSION sql_mode = DEFAULT");
  connection_->SetCheckBackslashes(true);
  EXPECT_EQ(Literal("VARCHAR(20)", "'a\\\\b'"), "'a\\\\b'");
}

TEST_P(Values, fields_as_string_writes_binary_strings_as_text) {
  dump_.Options().SetFieldsAsString(true);
  EXPECT_EQ(Literal("VARBINARY(4)", "0x41270042"), "'A\\'\\0B'");
  dump_.Options().SetHexBlob(true);
  EXPECT_EQ(Literal("VARBINARY(4)", "0x4142"), "0x4142") << "the binary flag still selects hex";
}

INSTANTIATE_TEST_SUITE_P(Modes, Values, ::testing::Values(false, true), ModeName);

}  // namespace
