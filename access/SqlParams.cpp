#include "access/SqlParams.h"

#include <algorithm>

namespace db {
namespace {

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// Calls onParam(name) for every parameter and onText(run) for the text between them.
template <typename OnText, typename OnParam>
void Scan(std::string_view s, OnText onText, OnParam onParam) {
  size_t runStart = 0;
  size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    if (c == '\'' || c == '"' || c == '`') {
      // Inside quotes a backslash escapes the next byte; a doubled quote is part of the text.
      for (++i; i < s.size() && s[i] != c; ++i)
        if (s[i] == '\\' && c != '`') ++i;
      ++i;
    } else if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
      i = std::min(s.find('\n', i), s.size());
    } else if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
      const size_t end = s.find("*/", i + 2);
      i = end == std::string_view::npos ? s.size() : end + 2;
    } else if (c == ':' && i + 1 < s.size() && s[i + 1] == ':') {
      i += 2;
    } else if (c == ':' && i + 1 < s.size() && IsNameChar(s[i + 1])) {
      size_t j = i + 1;
      while (j < s.size() && IsNameChar(s[j])) ++j;
      onText(s.substr(runStart, i - runStart));
      onParam(s.substr(i + 1, j - i - 1));
      i = runStart = j;
    } else {
      ++i;
    }
  }
  onText(s.substr(runStart));
}

}  // namespace

std::vector<std::string> ParamNames(std::string_view sql) {
  std::vector<std::string> names;
  Scan(sql, [](std::string_view) {}, [&](std::string_view name) {
    if (std::find(names.begin(), names.end(), name) == names.end()) names.emplace_back(name);
  });
  return names;
}

std::string BindParams(std::string_view sql,
                       const std::function<std::string(std::string_view)>& literalOf) {
  std::string out;
  out.reserve(sql.size());
  Scan(sql, [&](std::string_view text) { out += text; },
       [&](std::string_view name) { out += literalOf(name); });
  return out;
}

}  // namespace db
