#pragma once
// TField: the value of one column in the current row of a dataset; TBlob: a large-object value.
#include <cstdint>
#include <string>
#include <string_view>

#include "access/FieldDesc.h"
#include "access/Session.h"

namespace db {

// A large-object value: bytes (blob, memo) or UTF-16 text (wide memo).
class TBlob {
 public:
  bool FIsUnicode = false;
  // Size in bytes (two per code unit for UTF-16 content).
  size_t Size() const { return FIsUnicode ? wide_.size() * 2 : bytes_.size(); }
  // The content as one piece.
  std::string_view Bytes() const { return bytes_; }
  std::u16string_view Wide() const { return wide_; }

 private:
  friend class TField;
  std::string_view bytes_;
  std::u16string wide_;
};

class TField {
 public:
  TField(const TMySQLFieldDesc* desc, const FieldValue* const* row, bool useUnicode)
      : desc_(desc), row_(row), useUnicode_(useUnicode) {}

  const TMySQLFieldDesc& Desc() const { return *desc_; }
  const std::string& FieldName() const { return desc_->Name; }
  bool IsNull() const { return Value().isNull; }
  // The value's bytes as the field holds them (embedded zero bytes included); under UseUnicode
  // text is in the system ANSI code page.
  // Inline: the dump reads every value through it.
  std::string_view AsBytes() const {
    const FieldValue& v = Value();
    if (v.isNull) return {};
    if (useUnicode_ && desc_->FCharsetNr != 63) return TextAsAnsi(v);
    return v.bytes();
  }
  std::string AsString() const { return std::string(AsBytes()); }
  // Text kinds as UTF-16.
  std::u16string AsWideString() const;
  int64_t AsInteger() const;
  // Requires a large-object kind; valid until the dataset moves.
  const TBlob& GetBlob() const;

 private:
  const FieldValue& Value() const { return (*row_)[desc_->FieldNo]; }
  std::string_view TextAsAnsi(const FieldValue& v) const;

  const TMySQLFieldDesc* desc_;
  const FieldValue* const* row_;  // the dataset's current row
  bool useUnicode_;
  mutable std::string converted_;
  mutable TBlob blob_;
};

}  // namespace db
