// Pure rules of the writer: identifier quoting, the names text, percentages.
#include <gtest/gtest.h>

#include <cfloat>

#include "dump/MySQLInfo.h"
#include "dump/Percent.h"

using dump::TMySQLInfo;
using dump::TObjectName;

namespace {

TEST(Rules, quotes_needed) {
  const std::pair<std::u16string, bool> cases[] = {
      {u"", false},        {u"cidades", false}, {u"Codigo", false},   {u"a$b_1", false},
      {u"data", false},    {u"status", false},  {u"date", false},     {u"name", false},
      {u"itens pedido", true}, {u"9lives", true}, {u"a-b", true},     {u"ação", true},
      {u"_x", true},       {u"desc", true},     {u"MOD", true},       {u"Key", true},
      {u"order", true},    {u"rows", true},     {u"rank", true},      {u"a`b", true},
  };
  for (const auto& [name, expected] : cases) EXPECT_EQ(TMySQLInfo::QuotesNeeded(name), expected);
}

TEST(Rules, quote_identifier) {
  EXPECT_EQ(TMySQLInfo::QuoteIdentifier(u"cidades", false), u"cidades");
  EXPECT_EQ(TMySQLInfo::QuoteIdentifier(u"cidades", true), u"`cidades`");
  EXPECT_EQ(TMySQLInfo::QuoteIdentifier(u"a`b", false), u"`a``b`");
  EXPECT_EQ(TMySQLInfo::QuoteIdentifier(u"'x'", false), u"`'x'`");
  EXPECT_EQ(TMySQLInfo::QuoteIdentifier(u"", true), u"");
}

TEST(Rules, names_text_split_and_read_back) {
  struct Case {
    std::u16string text;
    std::vector<TObjectName> names;
    std::u16string readBack;
  } cases[] = {
      {u"  a ; b,, c ;", {{u"", u"a"}, {u"", u"b"}, {u"", u"c"}}, u"a,b,c"},
      {u"`itens pedido`", {{u"", u"itens pedido"}}, u"`itens pedido`"},
      {u"`a``b`", {{u"", u"a`b"}}, u"`a``b`"},
      {u"\"x\"", {{u"", u"x"}}, u"x"},
      {u"`a,b`", {{u"", u"`a"}, {u"", u"b`"}}, u"```a`,`b```"},
      {u"`db`.`t`", {{u"db", u"t"}}, u"db.t"},
      {u"db.t", {{u"db", u"t"}}, u"db.t"},
      {u"`x.y`", {{u"", u"x.y"}}, u"`x.y`"},
      {u"`my db`.`x.y`", {{u"my db", u"x.y"}}, u"`my db`.`x.y`"},
      {u" \t;, ", {}, u""},
  };
  for (const Case& c : cases) {
    const auto names = TMySQLInfo::NamesToList(c.text);
    EXPECT_EQ(names, c.names);
    EXPECT_EQ(TMySQLInfo::NamesFromList(names), c.readBack);
  }
}

TEST(Rules, percent_of_a_row) {
  const struct {
    int64_t recNo, rowCount;
    int percent;
  } cases[] = {{1, 1, 99}, {1, 3, 33}, {2, 3, 66}, {3, 3, 99}, {29, 100, 29}, {53, 100, 52},
               {5, 3, 99}, {1, 1000000000000, 0}, {999999999999, 1000000000000, 99}};
  for (const auto& c : cases) EXPECT_EQ(dump::RowPercent(c.recNo, c.rowCount), c.percent) << c.recNo << "/" << c.rowCount;
#if LDBL_MANT_DIG == 64
  // Where long double is the 80-bit format, it is the reference.
  for (int64_t b = 1; b <= 1500; ++b)
    for (int64_t a = 1; a <= b; ++a) {
      const long double p = static_cast<long double>(a) / static_cast<long double>(b) * 100.0L;
      const int expected = static_cast<int>(p) > 99 ? 99 : static_cast<int>(p);
      ASSERT_EQ(dump::RowPercent(a, b), expected) << a << "/" << b;
    }
#endif
}

}  // namespace
