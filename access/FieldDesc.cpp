#include "access/FieldDesc.h"

#include "access/Charsets.h"

namespace db {
namespace {

constexpr uint32_t kEnumFlag = 256;
constexpr uint32_t kSetFlag = 2048;
constexpr uint32_t kLongStringLength = 255;  // longer strings are large objects

bool IsStringType(uint8_t t) {
  return t == MT_STRING || t == MT_VAR_STRING || t == MT_VARCHAR || t == MT_ENUM || t == MT_SET;
}
bool IsBlobType(uint8_t t) { return t >= MT_TINY_BLOB && t <= MT_BLOB; }

TFieldKind Kind(const ColumnDef& c, uint32_t reportedLength, const TFieldOptions& o) {
  const bool binary = (c.flags & kBinaryFlag) && c.charsetnr == kBinaryCollation;
  const bool longString = reportedLength > kLongStringLength;
  // ENUM and SET arrive as 254 with their flag; they are strings all the same.
  const bool isString = IsStringType(c.type) || (c.flags & (kEnumFlag | kSetFlag));
  if (isString && !IsBlobType(c.type)) {
    if (binary && !o.FieldsAsString) return TFieldKind::Bytes;
    if (o.UseUnicode && !o.FieldsAsString && !binary)
      return longString ? TFieldKind::WideMemo : TFieldKind::WideText;
    return longString ? TFieldKind::Memo : TFieldKind::Text;
  }
  if (c.type == MT_GEOMETRY) return TFieldKind::Blob;
  if (IsBlobType(c.type)) {
    if (binary) return TFieldKind::Blob;
    return o.UseUnicode ? TFieldKind::WideMemo : TFieldKind::Memo;
  }
  if (c.type == MT_JSON) return o.UseUnicode ? TFieldKind::WideMemo : TFieldKind::Memo;
  return TFieldKind::Text;  // numbers, dates, times, years, bits: the server's text
}

}  // namespace

TMySQLFieldDesc DescribeColumn(const ColumnDef& c, int fieldNo, const TFieldOptions& o) {
  TMySQLFieldDesc d;
  d.Name = c.name;
  d.TableName = c.orgTable;
  d.FMySQLType = c.type;
  d.FIsBinary = (c.flags & kBinaryFlag) != 0;
  d.FCharsetNr = c.charsetnr;
  d.FFlags = c.flags;
  d.FieldNo = fieldNo;
  const bool binaryCharset = c.charsetnr == kBinaryCollation;
  d.FLength = (o.UseUnicode && !binaryCharset && o.MaxBytesPerChar > 1) ? c.length / o.MaxBytesPerChar
                                                                         : c.length;
  d.FDataType = Kind(c, d.FLength, o);
  d.FIsBlob = d.FDataType == TFieldKind::Blob || d.FDataType == TFieldKind::Memo ||
              d.FDataType == TFieldKind::WideMemo;
  return d;
}

}  // namespace db
