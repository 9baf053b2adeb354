#include "platform/IniFile.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <system_error>

namespace platform {

namespace {

std::string_view Trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    return true;
}

std::string_view Unquote(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// from_chars alone would accept a trailing tail ("12abc") and, for hexadecimal, a sign.
bool ParseInt(std::string_view text, int& value)
{
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    } else if (text.starts_with('$')) {
        text.remove_prefix(1);
        base = 16;
    }
    if (text.empty() || (base == 16 && text.front() == '-'))
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return error == std::errc() && end == text.data() + text.size();
}

} // namespace

TIniFile::TIniFile(std::string path) : path_(std::move(path))
{
    std::ifstream file(path_, std::ios::binary);
    if (!file)
        return;
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    Parse(text);
}

void TIniFile::Parse(std::string_view text)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);

    // Null until the first section, and while inside a repeated one: its lines are dropped.
    Section* current = nullptr;
    while (!text.empty()) {
        const auto lineEnd = text.find('\n');
        std::string_view line = text.substr(0, lineEnd);
        text.remove_prefix(lineEnd == std::string_view::npos ? text.size() : lineEnd + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);

        line = Trim(line);
        if (line.empty() || line.front() == ';')
            continue;

        if (line.front() == '[') {
            line.remove_prefix(1);
            const std::string_view name = Trim(line.substr(0, line.find(']')));
            current = nullptr;
            bool repeated = false;
            for (const Section& section : sections_)
                repeated = repeated || EqualsIgnoreCase(section.name, name);
            if (!repeated)
                current = &sections_.emplace_back(Section{std::string(name), {}});
            continue;
        }

        const auto equals = line.find('=');
        if (equals == std::string_view::npos || current == nullptr)
            continue;
        const std::string_view key = Trim(line.substr(0, equals));
        if (key.empty())
            continue;
        bool repeated = false;
        for (const auto& entry : current->entries)
            repeated = repeated || EqualsIgnoreCase(entry.first, key);
        if (!repeated)
            current->entries.emplace_back(std::string(key),
                                          std::string(Unquote(Trim(line.substr(equals + 1)))));
    }
}

const std::string* TIniFile::Find(std::string_view section, std::string_view key) const
{
    for (const Section& candidate : sections_) {
        if (!EqualsIgnoreCase(candidate.name, section))
            continue;
        for (const auto& entry : candidate.entries)
            if (EqualsIgnoreCase(entry.first, key))
                return &entry.second;
        return nullptr;
    }
    return nullptr;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const
{
    const std::string* value = Find(section, key);
    return value ? *value : std::string(defaultValue);
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const
{
    const std::string* value = Find(section, key);
    int result;
    return value && ParseInt(*value, result) ? result : defaultValue;
}

} // namespace platform
