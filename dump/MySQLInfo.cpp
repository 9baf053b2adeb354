#include "dump/MySQLInfo.h"

#include <algorithm>
#include <iterator>

namespace dump {
namespace {

constexpr std::string_view kReservedWords[] = {
#include "dump/ReservedWords.inc"
};

bool IsAsciiLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }
bool IsAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsQuoteChar(char16_t c) { return c == u'`' || c == u'"' || c == u'\''; }

bool IsReservedWord(std::u16string_view name) {
  constexpr size_t kLongestWord = 32;
  if (name.size() > kLongestWord) return false;
  char upper[kLongestWord];
  for (size_t i = 0; i < name.size(); ++i) {
    const char16_t c = name[i];
    if (c > 0x7F) return false;
    upper[i] = static_cast<char>(c >= u'a' && c <= u'z' ? c - 32 : c);
  }
  return std::binary_search(std::begin(kReservedWords), std::end(kReservedWords),
                            std::string_view(upper, name.size()));
}

// The end (one past the closing quote) of a quoted identifier that starts at 0, or npos.
size_t QuotedEnd(std::u16string_view s) {
  const char16_t q = s[0];
  for (size_t i = 1; i < s.size(); ++i) {
    if (s[i] != q) continue;
    if (i + 1 < s.size() && s[i + 1] == q) {
      ++i;  // doubled quote inside
      continue;
    }
    return i + 1;
  }
  return std::u16string_view::npos;
}

}  // namespace

std::u16string_view TrimText(std::u16string_view text) {
  auto isSpace = [](char16_t c) { return c <= u' '; };
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  return text;
}

bool TMySQLInfo::QuotesNeeded(std::u16string_view name) {
  if (name.empty()) return false;
  if (!IsAsciiLetter(name[0])) return true;
  for (size_t i = 1; i < name.size(); ++i) {
    const char16_t c = name[i];
    if (!IsAsciiLetter(c) && !IsAsciiDigit(c) && c != u'$' && c != u'_') return true;
  }
  return IsReservedWord(name);
}

bool TMySQLInfo::IsQuoted(std::u16string_view name) {
  return name.size() >= 2 && IsQuoteChar(name.front()) && name.front() == name.back();
}

std::u16string TMySQLInfo::Unquote(std::u16string_view name) {
  if (!IsQuoted(name)) return std::u16string(name);
  const char16_t q = name.front();
  std::u16string r;
  r.reserve(name.size() - 2);
  for (size_t i = 1; i + 1 < name.size(); ++i) {
    r += name[i];
    if (name[i] == q && i + 2 < name.size() && name[i + 1] == q) ++i;
  }
  return r;
}

std::u16string TMySQLInfo::QuoteIdentifier(std::u16string_view bareName, bool quoteNames) {
  if (bareName.empty()) return {};
  if (!quoteNames && !QuotesNeeded(bareName)) return std::u16string(bareName);
  // Always quoted here: a bare name may itself begin and end with a quote character.
  std::u16string q = u"`";
  for (char16_t c : bareName) {
    q += c;
    if (c == u'`') q += u'`';
  }
  return q + u'`';
}

std::u16string TMySQLInfo::QualifiedName(const TObjectName& object, bool quoteNames) {
  std::u16string name = QuoteIdentifier(object.name, quoteNames);
  if (object.database.empty()) return name;
  return QuoteIdentifier(object.database, quoteNames) + u'.' + name;
}

TObjectName TMySQLInfo::ParseObjectName(std::u16string_view piece) {
  size_t dot = std::u16string_view::npos;
  if (!piece.empty() && IsQuoteChar(piece[0])) {
    const size_t end = QuotedEnd(piece);
    if (end != std::u16string_view::npos && end < piece.size() && piece[end] == u'.') dot = end;
  } else {
    dot = piece.find(u'.');
  }
  if (dot == std::u16string_view::npos) return {u"", Unquote(TrimText(piece))};
  return {Unquote(TrimText(piece.substr(0, dot))), Unquote(TrimText(piece.substr(dot + 1)))};
}

std::vector<TObjectName> TMySQLInfo::NamesToList(std::u16string_view text) {
  std::vector<TObjectName> names;
  text = TrimText(text);
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != u',' && text[i] != u';') continue;
    const std::u16string_view piece = TrimText(text.substr(start, i - start));
    start = i + 1;
    if (piece.empty()) continue;
    TObjectName n = ParseObjectName(piece);
    if (!n.name.empty()) names.push_back(std::move(n));
  }
  return names;
}

std::u16string TMySQLInfo::NamesFromList(const std::vector<TObjectName>& names) {
  std::u16string text;
  for (const TObjectName& n : names) {
    if (!text.empty()) text += u',';
    text += QualifiedName(n, false);
  }
  return text;
}

}  // namespace dump
