#include "access/MyTable.h"

#include "access/Escape.h"
#include "access/MySQLError.h"
#include "platform/AsciiText.h"

namespace db {
namespace {

std::string QuoteName(std::string_view name) {
  std::string q = "`";
  for (char c : name) {
    q += c;
    if (c == '`') q += '`';
  }
  return q + "`";
}

// The first count characters of UTF-8 text (the ANSI code page here); bytes past a cut
// character are never split.
std::string CutToCharacters(const std::string& s, int count) {
  size_t i = 0;
  for (int n = 0; i < s.size() && n < count; ++n) {
    ++i;
    while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
  }
  return s.substr(0, i);
}

}  // namespace

void TMyTable::SetTableName(std::string name) {
  Close();
  tableName_ = std::move(name);
}

std::string TMyTable::QuotedTableName() const { return QuoteName(tableName_); }

void TMyTable::Open() {
  SetSQL("SELECT * FROM " + QuotedTableName());
  UniDirectional = false;
  TMyQuery::Open();
}

void TMyTable::AfterOpen() {
  for (const TPersistentField& f : persistent_) {
    if (!FindField(f.Name)) {
      Close();
      throw MySQLError(CR_UNKNOWN_ERROR, tableName_ + ": Field '" + f.Name + "' not found");
    }
  }
}

void TMyTable::Append() {
  if (!Active()) throw MySQLError(CR_UNKNOWN_ERROR, tableName_ + ": Cannot perform this operation on a closed dataset");
  appending_ = true;
  newRow_.clear();
}

void TMyTable::SetFieldValue(std::string_view field, std::string value) {
  if (!appending_) throw MySQLError(CR_UNKNOWN_ERROR, tableName_ + ": Dataset not in edit or insert mode");
  FieldByName(field);  // the field must exist
  for (const TPersistentField& f : persistent_)
    if (platform::SameTextAscii(f.Name, field) && f.Size > 0) value = CutToCharacters(value, f.Size);
  for (auto& [name, v] : newRow_)
    if (platform::SameTextAscii(name, field)) {
      v = std::move(value);
      return;
    }
  newRow_.emplace_back(std::string(field), std::move(value));
}

void TMyTable::Post() {
  if (!appending_) return;
  TMyConnection& connection = RequireConnection();
  const bool backslashes = !connection.GetIConnection().session().noBackslashEscapes();
  std::string columns, values;
  for (const auto& [name, value] : newRow_) {
    if (!columns.empty()) {
      columns += ", ";
      values += ", ";
    }
    columns += QuoteName(name);
    AppendQuotedLiteral(values, value, backslashes);
  }
  connection.ExecSQL("INSERT INTO " + QuotedTableName() + " (" + columns + ") VALUES (" + values + ")");
  appending_ = false;
  newRow_.clear();
}

void TMyTable::EmptyTable() {
  Close();
  RequireConnection().ExecSQL("TRUNCATE TABLE " + tableName_);
}

}  // namespace db
