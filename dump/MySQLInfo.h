#pragma once
// MySQL identifier rules: when a table or column name is written between backticks, and how the
// TableNames text is split into names and read back.
#include <string>
#include <string_view>
#include <vector>

namespace dump {

// A table or view, each part bare (no identifier quotes). database is empty unless the name was
// given as database.table with an unquoted dot.
struct TObjectName {
  std::u16string database;
  std::u16string name;
  bool operator==(const TObjectName&) const = default;
};

class TMySQLInfo {
 public:
  // False for an empty name; true when the first character is not an ASCII letter, a later one
  // not an ASCII letter, digit, '$' or '_', or the name is a reserved word.
  static bool QuotesNeeded(std::u16string_view name);
  // At least two characters, first and last both '`', both '"' or both '\''.
  static bool IsQuoted(std::u16string_view name);
  // Strips one surrounding quote pair, a doubled quote character inside standing for one.
  static std::u16string Unquote(std::u16string_view name);
  // The name as the statements write it: bare, or quoted when quoteNames or QuotesNeeded.
  static std::u16string QuoteIdentifier(std::u16string_view bareName, bool quoteNames);
  // database.name with each part through QuoteIdentifier.
  static std::u16string QualifiedName(const TObjectName& object, bool quoteNames);

  // Splits one piece of a names text into its parts: a name that begins with an identifier
  // quote extends to the matching closing quote, so a dot inside it is part of the name; only
  // an unquoted dot separates a database from a table.
  static TObjectName ParseObjectName(std::u16string_view piece);
  // The TableNames text as a list: trimmed, split at every ',' and ';' (also between quotes),
  // each piece trimmed and parsed; empty pieces are dropped.
  static std::vector<TObjectName> NamesToList(std::u16string_view text);
  // The list read back: each name as QualifiedName (QuoteNames off), joined with ','.
  static std::u16string NamesFromList(const std::vector<TObjectName>& names);
};

// Trims leading and trailing blanks and control characters.
std::u16string_view TrimText(std::u16string_view text);

}  // namespace dump
