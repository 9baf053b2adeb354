#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/AppPaths.h"
#include "tests/platform/TempFolder.h"

using namespace std::string_literals;

namespace platform {
namespace {

constexpr const char* kDefault = "<default>";

struct StringCase {
    const char* name;
    std::string file;
    const char* section;
    const char* key;
    std::string expected;
};

class IniReadString : public test::ExecutableFolderTest,
                      public testing::WithParamInterface<StringCase> {};

TEST_P(IniReadString, FindsValueOrDefault)
{
    const StringCase& c = GetParam();
    WriteAdminIni(c.file);
    const TIniFile ini(AdminIniPath());
    EXPECT_EQ(ini.ReadString(c.section, c.key, kDefault), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    IniFile, IniReadString,
    testing::Values(
        StringCase{"SectionAndKeyInOtherCase", "[Local]\nPorta=3307\n", "LOCAL", "pORTA", "3307"},
        StringCase{"AbsentKey", "[LOCAL]\nPORTA=3307\n", "LOCAL", "BANCO", kDefault},
        StringCase{"AbsentSection", "[LOCAL]\nPORTA=3307\n", "REMOTO", "PORTA", kDefault},
        StringCase{"KeyOfAnotherSection", "[A]\nK=1\n[B]\n", "B", "K", kDefault},
        StringCase{"PresentEmpty", "[LOCAL]\nSERVIDOR=\n", "LOCAL", "SERVIDOR", ""},
        StringCase{"PresentBlank", "[LOCAL]\nSERVIDOR=  \t\n", "LOCAL", "SERVIDOR", ""},
        StringCase{"BlanksAroundEquals", "[S]\n \t NOME \t=  Loja do Centro \t\n", "S", "NOME",
                   "Loja do Centro"},
        StringCase{"SplitAtFirstEquals", "[S]\nFILTRO=a=b\n", "S", "FILTRO", "a=b"},
        StringCase{"DoubleQuotesKeepInnerBlanks", "[S]\nK=\"  a;b  \"\n", "S", "K", "  a;b  "},
        StringCase{"SingleQuotes", "[S]\nK='x'\n", "S", "K", "x"},
        StringCase{"EmptyQuotes", "[S]\nK=\"\"\n", "S", "K", ""},
        StringCase{"MismatchedQuotesKept", "[S]\nK=\"x'\n", "S", "K", "\"x'"},
        StringCase{"LoneQuoteKept", "[S]\nK=\"\n", "S", "K", "\""},
        StringCase{"OnlyOuterPairRemoved", "[S]\nK=\"\"x\"\"\n", "S", "K", "\"x\""},
        StringCase{"SemicolonInValueKept", "[S]\nK=a ; b\n", "S", "K", "a ; b"},
        StringCase{"CommentedKey", "[S]\n;K=old\n  ; K=older\nK=new\n", "S", "K", "new"},
        StringCase{"OnlyCommented", "[S]\n;K=old\n", "S", "K", kDefault},
        StringCase{"ByteOrderMark", "\xEF\xBB\xBF[S]\nK=v\n", "S", "K", "v"},
        StringCase{"CrLf", "[S]\r\nA=1\r\nK=v\r\n", "S", "K", "v"},
        StringCase{"LastLineWithoutEnd", "[S]\nK=v", "S", "K", "v"},
        StringCase{"DuplicateKeyFirstWins", "[S]\nK=first\nk=second\n", "S", "K", "first"},
        StringCase{"DuplicateSectionFirstWins", "[S]\nK=first\n[T]\n[s]\nK=second\n", "S", "K",
                   "first"},
        StringCase{"DuplicateSectionIgnoredEntirely", "[S]\nA=1\n[S]\nK=second\n", "S", "K",
                   kDefault},
        StringCase{"KeyOutsideSectionIgnored", "K=stray\n[S]\nA=1\n", "S", "K", kDefault},
        StringCase{"LineWithoutEqualsIgnored", "[S]\nK\nK=v\n", "S", "K", "v"},
        StringCase{"SectionNameTrimmed", "[  LOCAL \t]\nK=v\n", "LOCAL", "K", "v"},
        StringCase{"IndentedSection", "  [S]\nK=v\n", "S", "K", "v"},
        StringCase{"NonAsciiBytesUnchanged", "[S]\nCIDADE=S\xC3\xA3o Bento\xFF\n", "S", "CIDADE",
                   "S\xC3\xA3o Bento\xFF"},
        StringCase{"ProgrammedHour", "[PROGRAMACAO]\nhoraprog=08:30\n", "programacao", "HORAPROG",
                   "08:30"}),
    [](const auto& row) { return std::string(row.param.name); });

struct IntegerCase {
    const char* name;
    const char* value;
    int expected;
};

constexpr int kIntDefault = -77;

class IniReadInteger : public test::ExecutableFolderTest,
                       public testing::WithParamInterface<IntegerCase> {};

TEST_P(IniReadInteger, ParsesOrGivesDefault)
{
    WriteAdminIni("[S]\nN="s + GetParam().value + "\n");
    const TIniFile ini(AdminIniPath());
    EXPECT_EQ(ini.ReadInteger("S", "N", kIntDefault), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    IniFile, IniReadInteger,
    testing::Values(IntegerCase{"Decimal", "3307", 3307},
                    IntegerCase{"LeadingZeros", "007", 7},
                    IntegerCase{"Negative", "-5", -5},
                    IntegerCase{"Zero", "0", 0},
                    IntegerCase{"HexLowerPrefix", "0x1F", 31},
                    IntegerCase{"HexUpperPrefix", "0X1f", 31},
                    IntegerCase{"HexDollar", "$1f", 31},
                    IntegerCase{"HexMaximum", "0x7FFFFFFF", INT_MAX},
                    IntegerCase{"Maximum", "2147483647", INT_MAX},
                    IntegerCase{"Minimum", "-2147483648", INT_MIN},
                    IntegerCase{"BlanksTrimmed", "  12 \t", 12},
                    IntegerCase{"Quoted", "\"12\"", 12},
                    IntegerCase{"Letters", "abc", kIntDefault},
                    IntegerCase{"Empty", "", kIntDefault},
                    IntegerCase{"TrailingText", "12abc", kIntDefault},
                    IntegerCase{"InnerBlank", "1 2", kIntDefault},
                    IntegerCase{"Overflow", "2147483648", kIntDefault},
                    IntegerCase{"Underflow", "-2147483649", kIntDefault},
                    IntegerCase{"HugeOverflow", "99999999999999999999", kIntDefault},
                    IntegerCase{"HexOverflow", "0x80000000", kIntDefault},
                    IntegerCase{"PlusSign", "+5", kIntDefault},
                    IntegerCase{"MinusOnly", "-", kIntDefault},
                    IntegerCase{"PrefixOnly", "0x", kIntDefault},
                    IntegerCase{"DollarOnly", "$", kIntDefault},
                    IntegerCase{"NegativeHex", "-0x1F", kIntDefault},
                    IntegerCase{"HexAfterPrefixSign", "0x-1F", kIntDefault},
                    IntegerCase{"BadHexDigit", "$1G", kIntDefault},
                    IntegerCase{"Fraction", "1.5", kIntDefault}),
    [](const auto& row) { return std::string(row.param.name); });

class IniFileRead : public test::ExecutableFolderTest {};

TEST_F(IniFileRead, LocalConnectionSection)
{
    WriteAdminIni("[LOCAL]\r\n"
                  "PORTA=3307\r\n"
                  "SERVIDOR=\r\n"
                  "BANCO=loja\r\n"
                  "DIRECT=S\r\n"
                  "\r\n"
                  "[PROGRAMACAO]\r\n"
                  "horaprog=08:30\r\n");
    const TIniFile ini(AdminIniPath());
    EXPECT_EQ(ini.ReadInteger("LOCAL", "PORTA", 3306), 3307);
    EXPECT_EQ(ini.ReadString("LOCAL", "SERVIDOR", "localhost"), "");
    EXPECT_EQ(ini.ReadInteger("LOCAL", "SERVIDOR", 9), 9);
    EXPECT_EQ(ini.ReadString("LOCAL", "BANCO", ""), "loja");
    EXPECT_EQ(ini.ReadString("LOCAL", "DIRECT", "N"), "S");
    EXPECT_EQ(ini.ReadString("LOCAL", "HORAPROG", "none"), "none");
    EXPECT_EQ(ini.ReadString("PROGRAMACAO", "HoraProg", ""), "08:30");
}

TEST_F(IniFileRead, MissingFileGivesDefaults)
{
    const TIniFile ini(AdminIniPath());
    EXPECT_EQ(ini.ReadString("LOCAL", "BANCO", "padrao"), "padrao");
    EXPECT_EQ(ini.ReadInteger("LOCAL", "PORTA", 3306), 3306);
}

TEST_F(IniFileRead, EachReaderSeesTheFileAsItWasWhenBuilt)
{
    WriteAdminIni("[LOCAL]\nBANCO=antigo\n");
    const TIniFile before(AdminIniPath());
    WriteAdminIni("[LOCAL]\nBANCO=novo\n");
    const TIniFile after(AdminIniPath());
    EXPECT_EQ(before.ReadString("LOCAL", "BANCO", ""), "antigo");
    EXPECT_EQ(after.ReadString("LOCAL", "BANCO", ""), "novo");
}

} // namespace
} // namespace platform
