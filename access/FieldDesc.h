#pragma once
// How the access layer describes a column of a result to its users (the dump writer above all).
#include <cstdint>
#include <string>
#include <vector>

#include "access/Session.h"

namespace db {

// The field kinds the dump writer tells apart.
enum class TFieldKind : uint8_t { Text, WideText, Bytes, Blob, Memo, WideMemo };

// Protocol type codes.
enum MySQLType : uint8_t {
  MT_DECIMAL = 0, MT_TINY = 1, MT_SHORT = 2, MT_LONG = 3, MT_FLOAT = 4, MT_DOUBLE = 5,
  MT_NULL = 6, MT_TIMESTAMP = 7, MT_LONGLONG = 8, MT_INT24 = 9, MT_DATE = 10, MT_TIME = 11,
  MT_DATETIME = 12, MT_YEAR = 13, MT_NEWDATE = 14, MT_VARCHAR = 15, MT_BIT = 16,
  MT_JSON = 245, MT_NEWDECIMAL = 246, MT_ENUM = 247, MT_SET = 248, MT_TINY_BLOB = 249,
  MT_MEDIUM_BLOB = 250, MT_LONG_BLOB = 251, MT_BLOB = 252, MT_VAR_STRING = 253, MT_STRING = 254,
  MT_GEOMETRY = 255,
};

constexpr uint32_t kPriKeyFlag = 2;
constexpr uint32_t kBinaryFlag = 128;

// The record-set settings that change how columns are classified.
struct TFieldOptions {
  bool UseUnicode = false;      // the connection's setting
  bool FieldsAsString = false;  // the record set's setting
  unsigned MaxBytesPerChar = 1;  // of the connection's character set
};

struct TMySQLFieldDesc {
  std::string Name;
  std::string TableName;  // the column's original table; empty for computed columns
  TFieldKind FDataType = TFieldKind::Text;
  bool FIsBlob = false;    // Blob, Memo, WideMemo
  uint8_t FMySQLType = 0;  // protocol type code
  bool FIsBinary = false;  // the binary flag of the column definition
  uint16_t FCharsetNr = 0;
  uint32_t FLength = 0;    // reported length (characters under UseUnicode)
  uint32_t FFlags = 0;
  int FieldNo = 0;         // 0-based position in the result
};

// Classifies one column definition (pure, so both connection modes describe columns alike).
TMySQLFieldDesc DescribeColumn(const ColumnDef& column, int fieldNo, const TFieldOptions& options);

// The columns of a result that belong to its table (data) and its primary key (key).
struct TKeyAndDataFields {
  std::vector<const TMySQLFieldDesc*> KeyFieldDescs;
  std::vector<const TMySQLFieldDesc*> DataFieldDescs;
};

}  // namespace db
