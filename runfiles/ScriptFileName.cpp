#include "runfiles/ScriptFileName.h"

#include <array>
#include <cstdio>

#include "platform/TextEncoding.h"

namespace runfiles {

namespace {

bool MustEscape(char16_t c)
{
    if (c < 0x20)
        return true;
    if (c >= 0xD800 && c <= 0xDFFF)
        return true;
    switch (c) {
    case u'/': case u'\\': case u':': case u'*': case u'?':
    case u'"': case u'<': case u'>': case u'|': case u'@':
        return true;
    default:
        return false;
    }
}

char16_t AsciiUpper(char16_t c)
{
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

bool IsDeviceNumber(char16_t c)
{
    // Windows also reserves COM and LPT with a superscript 1, 2 or 3.
    return (c >= u'1' && c <= u'9') || c == u'\u00B9' || c == u'\u00B2' || c == u'\u00B3';
}

// Windows looks at the name up to its first dot, ignoring blanks before that dot.
bool IsReservedDeviceName(std::u16string_view name)
{
    name = name.substr(0, name.find(u'.'));
    while (!name.empty() && name.back() == u' ')
        name.remove_suffix(1);

    std::u16string upper;
    for (char16_t c : name)
        upper += AsciiUpper(c);

    if (upper == u"CON" || upper == u"PRN" || upper == u"AUX" || upper == u"NUL")
        return true;
    return upper.size() == 4 && (upper.starts_with(u"COM") || upper.starts_with(u"LPT")) &&
           IsDeviceNumber(upper[3]);
}

void AppendEscaped(std::u16string& out, char16_t c)
{
    char digits[8];
    std::snprintf(digits, sizeof digits, "@%04x", static_cast<unsigned>(c));
    out.append(digits, digits + 5);
}

} // namespace

TableFileName ScriptFileName(std::string_view tableNameUtf8)
{
    const std::u16string name = platform::Utf8ToUtf16(tableNameUtf8);
    bool escaped = platform::Utf16ToUtf8(name) != tableNameUtf8;

    const bool reserved = IsReservedDeviceName(name);
    std::u16string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char16_t c = name[i];
        const bool first = i == 0;
        const bool last = i + 1 == name.size();
        if (MustEscape(c) || (first && reserved) || (last && (c == u'.' || c == u' '))) {
            AppendEscaped(out, c);
            escaped = true;
        } else {
            out += c;
        }
    }
    return {platform::Utf16ToUtf8(out) + ".sql", escaped};
}

} // namespace runfiles
