#pragma once

#include <string>
#include <string_view>

namespace runfiles {

struct TableFileName {
    std::string fileName; // UTF-8, without a folder
    bool escaped;         // the table name could not be used as it is
};

// tableNameUtf8 + ".sql", escaped the way the server names its own files, so that the name is
// valid on Windows and on Linux alike and the table name can be read back from it. A character
// that cannot be kept becomes '@' and four lower-case hexadecimal digits of its UTF-16 code:
// - '/', '\\', ':', '*', '?', '"', '<', '>', '|', U+0000-U+001F, and '@' itself;
// - a character outside the BMP, as its two surrogates ("@d83d@de00" for U+1F600): the server's
//   identifiers stay within the BMP, and a fixed width keeps the escaping unambiguous;
// - the first character of a name Windows reserves for a device (CON, PRN, AUX, NUL, COM1-COM9,
//   LPT1-LPT9, any case, also before a dot as in "con.x"): "con" -> "@0063on.sql";
// - a trailing dot or blank of the table name, which Windows would drop; so "." and ".." too.
// Other characters, accented letters included, are kept. Invalid UTF-8 becomes U+FFFD (and counts
// as escaped), which cannot be read back.
TableFileName ScriptFileName(std::string_view tableNameUtf8);

} // namespace runfiles
