#include "dump/values.h"

#include "access/Escape.h"
#include "platform/TextEncoding.h"

namespace dump {

using db::TFieldKind;

std::string EscapeAndQuoteStr(const db::TMySQLConnection& connection, std::string_view bytes) {
  std::string out;
  db::AppendQuotedLiteral(out, bytes, connection.FNeedBackslashes);
  return out;
}

void AppendEscapedAndQuoted(const db::TMySQLConnection& connection, TRowBuffer& buffer, std::string_view bytes) {
  buffer.Reserve(2 * bytes.size() + 2);
  db::AppendQuotedLiteral(buffer.Bytes(), bytes, connection.FNeedBackslashes);
}

std::u16string EscapeAndQuoteWideStr(const db::TMySQLConnection& connection, std::u16string_view text) {
  std::u16string out(2 * text.size() + 2, u'\0');
  char16_t* w = out.data();
  *w++ = u'\'';
  for (const char16_t c : text) {
    if (connection.FNeedBackslashes) {
      char16_t e = 0;
      switch (c) {
        case 0x00: e = u'0'; break;
        case 0x0A: e = u'n'; break;
        case 0x0D: e = u'r'; break;
        case 0x1A: e = u'Z'; break;
        case u'"': e = u'"'; break;
        case u'\'': e = u'\''; break;
        case u'\\': e = u'\\'; break;
        default: break;
      }
      if (e) {
        *w++ = u'\\';
        *w++ = e;
        continue;
      }
    } else if (c == u'\'') {
      *w++ = u'\'';
    }
    *w++ = c;
  }
  *w++ = u'\'';
  out.resize(static_cast<size_t>(w - out.data()));
  return out;
}

void AppendHexLiteral(TRowBuffer& buffer, std::string_view bytes) {
  if (bytes.empty()) {
    buffer.Append("''");
    return;
  }
  static constexpr char kDigits[] = "0123456789ABCDEF";
  buffer.Reserve(2 * bytes.size() + 2);
  std::string& out = buffer.Bytes();
  const size_t start = out.size();
  out.resize(start + 2 + 2 * bytes.size());
  char* w = out.data() + start;
  *w++ = '0';
  *w++ = 'x';
  for (const char b : bytes) {
    const auto u = static_cast<unsigned char>(b);
    *w++ = kDigits[u >> 4];
    *w++ = kDigits[u & 15];
  }
}

void AppendValueToSQL(const db::TMySQLConnection& connection, TRowBuffer& buffer, TFieldKind kind,
                      const TSQLValue& value, bool isNull, bool utf8) {
  if (isNull) {
    buffer.Append("NULL");
    return;
  }
  if (kind == TFieldKind::Bytes) {
    AppendEscapedAndQuoted(connection, buffer, std::get<std::string_view>(value));
    return;
  }
  // The large-object literal; a blob is never text.
  const db::TBlob& blob = *std::get<const db::TBlob*>(value);
  if (kind == TFieldKind::Blob) utf8 = false;
  if (blob.Size() == 0) {
    buffer.Append("''");
  } else if (blob.FIsUnicode) {
    buffer.Append(platform::Utf16ToUtf8(EscapeAndQuoteWideStr(connection, blob.Wide())));
  } else if (utf8) {
    buffer.Append(platform::AnsiToUtf8(EscapeAndQuoteStr(connection, blob.Bytes())));
  } else {
    AppendEscapedAndQuoted(connection, buffer, blob.Bytes());
  }
}

void TValueRenderer::AppendRowValues(const std::vector<db::TField*>& fields, TRowBuffer& buffer) const {
  const size_t listStart = buffer.Length();
  for (const db::TField* f : fields) AppendFieldValue(*f, buffer, listStart);
}

void TValueRenderer::AppendBytes(TRowBuffer& buffer, std::string_view bytes) const {
  // A Unicode script is decoded as UTF-8 line by line, which would mangle other bytes.
  if (useUnicode_ && !IsValidUtf8(bytes))
    AppendHexLiteral(buffer, bytes);
  else
    AppendEscapedAndQuoted(connection_, buffer, bytes);
}

void TValueRenderer::AppendFieldValue(const db::TField& field, TRowBuffer& buffer, size_t listStart) const {
  if (buffer.Length() > listStart) buffer.Append(',');
  const db::TMySQLFieldDesc& d = field.Desc();
  if (field.IsNull()) {
    buffer.Append("NULL");
    return;
  }
  const db::TBlob* blob = d.FIsBlob ? &field.GetBlob() : nullptr;
  const uint8_t type = d.FMySQLType;

  const bool binaryString = d.FIsBinary && (type == db::MT_VARCHAR || type == db::MT_VAR_STRING || type == db::MT_STRING);
  if (hexBlob_ && (binaryString || d.FDataType == TFieldKind::Blob)) {
    AppendHexLiteral(buffer, blob ? blob->Bytes() : field.AsBytes());
    return;
  }
  if (useUnicode_ && d.FDataType == TFieldKind::WideText) {
    buffer.Append(platform::Utf16ToUtf8(EscapeAndQuoteWideStr(connection_, field.AsWideString())));
    return;
  }
  if (d.FDataType != TFieldKind::Text) {
    if (useUnicode_ && (!blob || !blob->FIsUnicode)) {
      if (const std::string_view bytes = blob ? blob->Bytes() : field.AsBytes(); !IsValidUtf8(bytes)) {
        AppendHexLiteral(buffer, bytes);
        return;
      }
    }
    const TSQLValue value = blob ? TSQLValue(blob) : TSQLValue(field.AsBytes());
    AppendValueToSQL(connection_, buffer, d.FDataType, value, false, blob && useUnicode_);
    return;
  }

  const std::string_view bytes = field.AsBytes();
  switch (type) {
    case db::MT_DECIMAL: case db::MT_TINY: case db::MT_SHORT: case db::MT_LONG: case db::MT_FLOAT:
    case db::MT_DOUBLE: case db::MT_LONGLONG: case db::MT_INT24: case db::MT_YEAR: case db::MT_NEWDECIMAL:
      buffer.Append(bytes);
      break;
    case db::MT_TIMESTAMP: case db::MT_DATE: case db::MT_TIME: case db::MT_DATETIME: case db::MT_NEWDATE:
      buffer.Reserve(bytes.size() + 2);
      buffer.Append('\'');
      buffer.Append(bytes);
      buffer.Append('\'');
      break;
    default:
      AppendBytes(buffer, bytes);
      break;
  }
}

bool IsValidUtf8(std::string_view s) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const auto* end = p + s.size();
  while (p < end) {
    const unsigned char c = *p;
    if (c < 0x80) {
      ++p;
      continue;
    }
    size_t n;
    uint32_t cp;
    if ((c & 0xE0) == 0xC0) { n = 1; cp = c & 0x1F; }
    else if ((c & 0xF0) == 0xE0) { n = 2; cp = c & 0x0F; }
    else if ((c & 0xF8) == 0xF0) { n = 3; cp = c & 0x07; }
    else return false;
    if (static_cast<size_t>(end - p) <= n) return false;
    for (size_t i = 1; i <= n; ++i) {
      if ((p[i] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (p[i] & 0x3F);
    }
    static constexpr uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    p += n + 1;
  }
  return true;
}

}  // namespace dump
