#pragma once
// Letter case of ASCII text: SQL keywords, identifiers and the names in Admin.ini compare
// without regard to ASCII case only.
#include <string>
#include <string_view>

namespace platform {

inline char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
inline char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

inline bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

inline std::string LowerCaseAscii(std::string s) {
  for (char& c : s) c = LowerAscii(c);
  return s;
}
inline std::string UpperCaseAscii(std::string s) {
  for (char& c : s) c = UpperAscii(c);
  return s;
}

}  // namespace platform
