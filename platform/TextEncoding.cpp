#include "platform/TextEncoding.h"

#include <cstdint>
#include <cstring>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <climits>
#include <stdexcept>
#endif

namespace platform {

namespace {

constexpr char16_t kReplacement = u'\uFFFD';

bool AllAscii8(const unsigned char* p)
{
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return (word & 0x8080808080808080ull) == 0;
}

} // namespace

std::u16string Utf8ToUtf16(std::string_view text)
{
    // Every input byte yields at most one code unit (four bytes yield two), so the input length
    // bounds the output.
    std::u16string result(text.size(), u'\0');
    char16_t* out = result.data();
    auto p = reinterpret_cast<const unsigned char*>(text.data());
    const auto end = p + text.size();

    while (p < end) {
        while (end - p >= 8 && AllAscii8(p)) {
            for (int i = 0; i < 8; ++i)
                out[i] = p[i];
            out += 8;
            p += 8;
        }
        while (p < end && *p < 0x80)
            *out++ = *p++;
        if (p == end)
            break;

        // The bounds of the second byte exclude overlongs, surrogates and values above U+10FFFF,
        // so a sequence that passes them needs no further range check.
        const unsigned lead = *p;
        int trail;
        char32_t cp;
        unsigned lo = 0x80, hi = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            trail = 1;
            cp = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            trail = 2;
            cp = lead & 0x0F;
            if (lead == 0xE0)
                lo = 0xA0;
            else if (lead == 0xED)
                hi = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            trail = 3;
            cp = lead & 0x07;
            if (lead == 0xF0)
                lo = 0x90;
            else if (lead == 0xF4)
                hi = 0x8F;
        } else {
            *out++ = kReplacement;
            ++p;
            continue;
        }
        ++p;

        // A failing byte is not consumed: it starts the next sequence, so a truncated sequence
        // costs one U+FFFD and the character after it survives.
        bool valid = true;
        for (int i = 0; i < trail; ++i) {
            if (p == end || *p < lo || *p > hi) {
                valid = false;
                break;
            }
            cp = (cp << 6) | (*p & 0x3F);
            ++p;
            lo = 0x80;
            hi = 0xBF;
        }
        if (!valid) {
            *out++ = kReplacement;
        } else if (cp >= 0x10000) {
            cp -= 0x10000;
            *out++ = static_cast<char16_t>(0xD800 + (cp >> 10));
            *out++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            *out++ = static_cast<char16_t>(cp);
        }
    }
    result.resize(static_cast<std::size_t>(out - result.data()));
    return result;
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    // Three bytes per code unit at most; a surrogate pair takes four for two units.
    std::string result(text.size() * 3, '\0');
    char* out = result.data();
    const char16_t* p = text.data();
    const char16_t* const end = p + text.size();

    while (p < end) {
        while (p < end && *p < 0x80)
            *out++ = static_cast<char>(*p++);
        if (p == end)
            break;

        char32_t cp = *p++;
        if (cp < 0x800) {
            *out++ = static_cast<char>(0xC0 | (cp >> 6));
            *out++ = static_cast<char>(0x80 | (cp & 0x3F));
            continue;
        }
        if (cp >= 0xD800 && cp <= 0xDFFF) {
            if (cp <= 0xDBFF && p < end && *p >= 0xDC00 && *p <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (*p++ - 0xDC00);
                *out++ = static_cast<char>(0xF0 | (cp >> 18));
                *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
                *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
                *out++ = static_cast<char>(0x80 | (cp & 0x3F));
                continue;
            }
            cp = kReplacement;
        }
        *out++ = static_cast<char>(0xE0 | (cp >> 12));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    result.resize(static_cast<std::size_t>(out - result.data()));
    return result;
}

void AppendUtf16LE(std::string& out, std::u16string_view text)
{
    const std::size_t start = out.size();
    out.resize(start + text.size() * 2);
    char* dst = out.data() + start;
    for (const char16_t unit : text) {
        *dst++ = static_cast<char>(unit & 0xFF);
        *dst++ = static_cast<char>(unit >> 8);
    }
}

#ifdef _WIN32

namespace {

// The Win32 converters take int lengths; splitting longer text could cut a character in two.
int Win32Length(std::size_t size)
{
    if (size > static_cast<std::size_t>(INT_MAX))
        throw std::length_error("text too long to convert");
    return static_cast<int>(size);
}

} // namespace

std::u16string AnsiToUtf16(std::string_view text)
{
    if (text.empty())
        return {};
    const int length = Win32Length(text.size());
    const int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    std::u16string result(static_cast<std::size_t>(needed), u'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, reinterpret_cast<wchar_t*>(result.data()),
                        needed);
    return result;
}

std::string Utf16ToAnsi(std::u16string_view text)
{
    if (text.empty())
        return {};
    const auto source = reinterpret_cast<const wchar_t*>(text.data());
    const int length = Win32Length(text.size());
    const int needed =
        WideCharToMultiByte(CP_ACP, 0, source, length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, source, length, result.data(), needed, nullptr, nullptr);
    return result;
}

std::string AnsiToUtf8(std::string_view text)
{
    return Utf16ToUtf8(AnsiToUtf16(text));
}

std::string Utf8ToAnsi(std::string_view text)
{
    return Utf16ToAnsi(Utf8ToUtf16(text));
}

bool SystemAnsiIsUtf8()
{
    return GetACP() == CP_UTF8;
}

#else

std::u16string AnsiToUtf16(std::string_view text)
{
    return Utf8ToUtf16(text);
}

std::string Utf16ToAnsi(std::u16string_view text)
{
    return Utf16ToUtf8(text);
}

std::string AnsiToUtf8(std::string_view text)
{
    return std::string(text);
}

std::string Utf8ToAnsi(std::string_view text)
{
    return std::string(text);
}

bool SystemAnsiIsUtf8()
{
    return true;
}

#endif

} // namespace platform
