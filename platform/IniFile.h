#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// Reader of a Windows-style INI file, following what the Windows profile reader does:
// - the file is read once, when the reader is built; a missing or unreadable file reads as empty,
//   so every lookup gives its default;
// - LF and CR LF line ends; a UTF-8 byte order mark at the start is skipped; other bytes pass
//   through unchanged (the file is in the ANSI code page, UTF-8 on Linux);
// - lines are trimmed of blanks and tabs; lines starting with ';' are comments; there are no
//   inline comments, so a ';' inside a value is kept;
// - "[name]" starts a section; the name is the text up to ']' (or the line end), trimmed;
// - "key=value" splits at the first '='; key and value are trimmed; a value enclosed in one pair
//   of matching double or single quotes loses them; lines without '=' and keys before the first
//   section are ignored;
// - section and key names compare without regard to ASCII case;
// - when a section or a key appears twice, the first one wins: a repeated section is ignored
//   entirely, its keys included;
// - an absent key gives the default; a key with an empty value gives the empty text.
class TIniFile {
public:
    explicit TIniFile(std::string path);

    const std::string& FileName() const { return path_; }

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;

    // Decimal with an optional leading '-', or hexadecimal after "0x", "0X" or "$". Any other
    // text, the empty text and numbers outside int (hexadecimal included: above 0x7FFFFFFF)
    // give the default.
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;

private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> entries;
    };

    const std::string* Find(std::string_view section, std::string_view key) const;
    void Parse(std::string_view text);

    std::string path_;
    std::vector<Section> sections_;
};

} // namespace platform
