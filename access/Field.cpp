#include "access/Field.h"

#include <charconv>

#include "access/MySQLError.h"
#include "platform/TextEncoding.h"

namespace db {

// Under UseUnicode the connection speaks UTF-8; text reaches its users in the ANSI code page.
std::string_view TField::TextAsAnsi(const FieldValue& v) const {
  if (platform::SystemAnsiIsUtf8()) return v.bytes();
  converted_ = platform::Utf8ToAnsi(v.bytes());
  return converted_;
}

std::u16string TField::AsWideString() const {
  const FieldValue& v = Value();
  if (v.isNull) return {};
  return platform::Utf8ToUtf16(v.bytes());
}

int64_t TField::AsInteger() const {
  const std::string_view s = Value().bytes();
  int64_t n = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
  if (ec != std::errc() || end != s.data() + s.size())
    throw MySQLError(CR_UNKNOWN_ERROR, "'" + std::string(s) + "' is not a valid integer value for field '" +
                                           desc_->Name + "'");
  return n;
}

const TBlob& TField::GetBlob() const {
  blob_.FIsUnicode = desc_->FDataType == TFieldKind::WideMemo;
  blob_.wide_.clear();
  blob_.bytes_ = {};
  if (blob_.FIsUnicode)
    blob_.wide_ = AsWideString();
  else
    blob_.bytes_ = AsBytes();
  return blob_;
}

}  // namespace db
