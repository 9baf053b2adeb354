#pragma once
// Value rendering: the literal of every column value of a row, and the escaping routines.
#include <string>
#include <string_view>
#include <variant>

#include "access/Field.h"
#include "access/FieldDesc.h"
#include "access/MyQuery.h"
#include "access/MySQLConnection.h"
#include "dump/RowBuffer.h"

namespace dump {

// The quoted, escaped form of bytes, by the connection's FNeedBackslashes.
std::string EscapeAndQuoteStr(const db::TMySQLConnection& connection, std::string_view bytes);
// The same over UTF-16 code units.
std::u16string EscapeAndQuoteWideStr(const db::TMySQLConnection& connection, std::u16string_view text);
// Appends EscapeAndQuoteStr of bytes to the buffer without an intermediate string.
void AppendEscapedAndQuoted(const db::TMySQLConnection& connection, TRowBuffer& buffer, std::string_view bytes);
// "0x" and two upper-case hexadecimal digits per byte; "''" when there are none.
void AppendHexLiteral(TRowBuffer& buffer, std::string_view bytes);

// A value for AppendValueToSQL: the bytes of a bytes field, or a large object.
using TSQLValue = std::variant<std::string_view, const db::TBlob*>;

// Appends the literal of one value of the bytes, blob, memo or wide memo kind.
void AppendValueToSQL(const db::TMySQLConnection& connection, TRowBuffer& buffer, db::TFieldKind kind,
                      const TSQLValue& value, bool isNull, bool utf8);

// Renders the rows of one result. Settings are taken at construction, once per table.
class TValueRenderer {
 public:
  TValueRenderer(const db::TMySQLConnection& connection, bool useUnicode, bool hexBlob)
      : connection_(connection), useUnicode_(useUnicode), hexBlob_(hexBlob) {}

  // Appends the current row's literals for the fields, separated by ','.
  void AppendRowValues(const std::vector<db::TField*>& fields, TRowBuffer& buffer) const;
  void AppendFieldValue(const db::TField& field, TRowBuffer& buffer, size_t listStart) const;

 private:
  // Raw bytes that are about to go into the line as an escaped string.
  void AppendBytes(TRowBuffer& buffer, std::string_view bytes) const;

  const db::TMySQLConnection& connection_;
  bool useUnicode_;
  bool hexBlob_;
};

// Whether bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);

}  // namespace dump
