#pragma once

// Every text conversion of the program lives here, so the rules for invalid input are the same
// everywhere. "ANSI" is the code page Windows reports as the system's (GetACP); platforms without
// one (Linux) use UTF-8.

#include <string>
#include <string_view>

namespace platform {

// Invalid input (bad lead byte, truncated sequence, overlong form, UTF-8-encoded surrogate, value
// above U+10FFFF) becomes U+FFFD, as the Windows converter does: one for the start of a valid
// sequence cut short, and one for each other byte that cannot start one. Characters above U+FFFF
// become surrogate pairs.
std::u16string Utf8ToUtf16(std::string_view text);

// Unpaired surrogates become U+FFFD (EF BF BD).
std::string Utf16ToUtf8(std::u16string_view text);

// Characters the ANSI code page cannot hold become the converter's default character.
std::u16string AnsiToUtf16(std::string_view text);
std::string Utf16ToAnsi(std::u16string_view text);

// Identity (bytes unchanged) where ANSI is UTF-8 by definition; through UTF-16 on Windows.
std::string AnsiToUtf8(std::string_view text);
std::string Utf8ToAnsi(std::string_view text);

// Two bytes per code unit, low byte first.
void AppendUtf16LE(std::string& out, std::u16string_view text);

bool SystemAnsiIsUtf8();

} // namespace platform
