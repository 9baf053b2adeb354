#pragma once
// The escaping of byte strings inside single-quoted MySQL string literals.
#include <string>
#include <string_view>

namespace db {

// Appends a single quote, the escaped bytes and a single quote to out. With backslashes the
// seven bytes NUL, LF, CR, ^Z, '"', '\'' and '\\' become a backslash and a letter; without
// (server mode NO_BACKSLASH_ESCAPES) only a single quote is doubled. Reserves the worst case
// once, so the loop never grows the string.
void AppendQuotedLiteral(std::string& out, std::string_view bytes, bool backslashes);

}  // namespace db
