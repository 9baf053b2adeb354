#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

namespace platform {
namespace {

struct ValidCase {
    const char* name;
    std::string utf8;
    std::u16string utf16;
};

class ValidText : public testing::TestWithParam<ValidCase> {};

TEST_P(ValidText, ConvertsBothWays)
{
    EXPECT_EQ(Utf8ToUtf16(GetParam().utf8), GetParam().utf16);
    EXPECT_EQ(Utf16ToUtf8(GetParam().utf16), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    TextEncoding, ValidText,
    testing::Values(
        ValidCase{"Empty", "", u""},
        ValidCase{"Ascii", "Joinville", u"Joinville"},
        ValidCase{"Portuguese", "a\xC3\xA7\xC3\xA3o", u"a\u00E7\u00E3o"},
        // Long enough for whole-word ASCII runs, with the non-ASCII byte mid-word.
        ValidCase{"AsciiRunsAroundNonAscii", "Rua XV de Novembro, 1500 \xE2\x80\x93 Joinville/SC",
                  u"Rua XV de Novembro, 1500 \u2013 Joinville/SC"},
        ValidCase{"TwoByteBounds", "\xC2\x80\xDF\xBF", u"\u0080\u07FF"},
        ValidCase{"ThreeByte", "\xE2\x82\xAC", u"\u20AC"},
        ValidCase{"ThreeByteAroundSurrogates", "\xED\x9F\xBF\xEE\x80\x80", u"\uD7FF\uE000"},
        ValidCase{"ThreeByteTop", "\xEF\xBF\xBF", u"\uFFFF"},
        ValidCase{"FourByte", "\xF0\x9F\x98\x80", u"\U0001F600"},
        ValidCase{"FourByteBounds", "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", u"\U00010000\U0010FFFF"},
        ValidCase{"EmbeddedNul", "a\0\xC3\xA7"s, u"a\0\u00E7"s}),
    [](const auto& row) { return std::string(row.param.name); });

struct InvalidUtf8Case {
    const char* name;
    std::string utf8;
    std::u16string utf16;
};

class InvalidUtf8 : public testing::TestWithParam<InvalidUtf8Case> {};

TEST_P(InvalidUtf8, BecomesOneReplacementPerBadSequence)
{
    EXPECT_EQ(Utf8ToUtf16(GetParam().utf8), GetParam().utf16);
}

INSTANTIATE_TEST_SUITE_P(
    TextEncoding, InvalidUtf8,
    testing::Values(
        InvalidUtf8Case{"LoneContinuation", "a\x80\xBF" "b", u"a\uFFFD\uFFFDb"},
        InvalidUtf8Case{"LeadC0C1", "\xC0\x80\xC1\xBF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        InvalidUtf8Case{"OverlongThreeByte", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
        InvalidUtf8Case{"OverlongFourByte", "\xF0\x8F\xBF\xBF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        InvalidUtf8Case{"EncodedSurrogates", "\xED\xA0\x80\xED\xBF\xBF",
                        u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
        InvalidUtf8Case{"AboveMaximum", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        InvalidUtf8Case{"LeadsF5ToFF", "\xF5\x80\xFE\xFF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        InvalidUtf8Case{"TruncatedAtEnd", "a\xC3", u"a\uFFFD"},
        InvalidUtf8Case{"TruncatedFourByteAtEnd", "\xF0\x9F\x98", u"\uFFFD"},
        InvalidUtf8Case{"TruncatedThenAscii", "\xE2\x82z", u"\uFFFDz"},
        InvalidUtf8Case{"TruncatedThenValid", "\xE2\x82\xC3\xA7", u"\uFFFD\u00E7"},
        // What a Latin-1 file read as UTF-8 looks like.
        InvalidUtf8Case{"Latin1Text", "a\xE7\xE3o", u"a\uFFFD\uFFFDo"}),
    [](const auto& row) { return std::string(row.param.name); });

struct UnpairedCase {
    const char* name;
    std::u16string utf16;
    std::string utf8;
};

class UnpairedSurrogate : public testing::TestWithParam<UnpairedCase> {};

TEST_P(UnpairedSurrogate, BecomesReplacement)
{
    EXPECT_EQ(Utf16ToUtf8(GetParam().utf16), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    TextEncoding, UnpairedSurrogate,
    testing::Values(
        UnpairedCase{"HighAtEnd", u"a\xD800", "a\xEF\xBF\xBD"},
        UnpairedCase{"LoneLow", u"\xDC00" u"b", "\xEF\xBF\xBD" "b"},
        UnpairedCase{"Reversed", u"\xDE00\xD83D", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        UnpairedCase{"HighThenAscii", u"\xD83Dx", "\xEF\xBF\xBDx"},
        UnpairedCase{"HighThenPair", u"\xD83D\xD83D\xDE00", "\xEF\xBF\xBD\xF0\x9F\x98\x80"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(TextEncoding, EveryScalarValueRoundTrips)
{
    std::u16string all;
    for (char32_t cp = 1; cp <= 0x10FFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue;
        if (cp < 0x10000) {
            all += static_cast<char16_t>(cp);
        } else {
            all += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            all += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        }
    }
    const std::string utf8 = Utf16ToUtf8(all);
    // One, two, three and four bytes per range: a wrong boundary changes the length.
    EXPECT_EQ(utf8.size(), 0x7Fu + 2u * (0x800 - 0x80) + 3u * (0x10000 - 0x800 - 0x800) +
                               4u * 0x100000);
    EXPECT_TRUE(Utf8ToUtf16(utf8) == all);
}

TEST(TextEncoding, AppendUtf16LEWritesLowByteFirstAfterExistingBytes)
{
    const struct {
        const char* name;
        std::u16string text;
        std::string expected;
    } cases[] = {
        {"Empty", u"", "X"},
        {"Ascii", u"Ab", "XA\0b\0"s},
        {"TwoByteUnit", u"\u00E7\u20AC", "X\xE7\0\xAC\x20"s},
        {"SurrogatePair", u"\U0001F600", "X\x3D\xD8\x00\xDE"s},
        {"Nul", u"\0"s, "X\0\0"s},
    };
    for (const auto& c : cases) {
        std::string out = "X";
        AppendUtf16LE(out, c.text);
        EXPECT_EQ(out, c.expected) << c.name;
    }
}

#ifndef _WIN32
TEST(TextEncoding, AnsiIsUtf8WithoutWindows)
{
    EXPECT_TRUE(SystemAnsiIsUtf8());
    // Identity means invalid bytes survive the trip untouched, unlike a pass through UTF-16.
    const std::string bytes = "a\xE7\xE3o\0\xFF"s;
    EXPECT_EQ(AnsiToUtf8(bytes), bytes);
    EXPECT_EQ(Utf8ToAnsi(bytes), bytes);
    EXPECT_EQ(AnsiToUtf16("a\xC3\xA7\xE7"), u"a\u00E7\uFFFD");
    EXPECT_EQ(Utf16ToAnsi(u"a\u00E7\xD800"), "a\xC3\xA7\xEF\xBF\xBD");
}
#endif

} // namespace
} // namespace platform
