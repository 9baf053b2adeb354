#include "access/MyQuery.h"

#include "access/Escape.h"
#include "access/MySQLError.h"
#include "access/SqlParams.h"
#include "platform/AsciiText.h"

namespace db {
TMyQuery::TMyQuery(TMyConnection* connection) { SetConnection(connection); }

TMyQuery::~TMyQuery() {
  Close();
  if (connection_) connection_->RemoveClient(this);
}

void TMyQuery::SetConnection(TMyConnection* connection) {
  if (connection == connection_) return;
  Close();
  if (connection_) connection_->RemoveClient(this);
  connection_ = connection;
  if (connection_) connection_->AddClient(this);
}

void TMyQuery::SetSQL(std::string sql) {
  Close();
  sql_ = std::move(sql);
  SyncParams();
}

void TMyQuery::SyncParams() {
  std::vector<std::pair<std::string, TParam>> params;
  for (std::string& name : ParamNames(sql_)) {
    TParam value;
    for (auto& [old, p] : params_)
      if (platform::SameTextAscii(old, name)) value = p;
    params.emplace_back(std::move(name), value);
  }
  params_ = std::move(params);
}

TParam& TMyQuery::ParamByName(std::string_view name) {
  for (auto& [n, p] : params_)
    if (platform::SameTextAscii(n, name)) return p;
  throw MySQLError(CR_UNKNOWN_ERROR, "Parameter '" + std::string(name) + "' not found");
}

TMyConnection& TMyQuery::RequireConnection() const {
  if (!connection_) throw MySQLError(CR_UNKNOWN_ERROR, "Connection is not defined");
  if (!connection_->Connected()) connection_->Open();
  return *connection_;
}

std::string TMyQuery::BoundSQL() const {
  if (params_.empty()) return sql_;
  const bool backslashes = !connection_->GetIConnection().session().noBackslashEscapes();
  return BindParams(sql_, [&](std::string_view name) {
    for (const auto& [n, p] : params_) {
      if (!platform::SameTextAscii(n, name)) continue;
      if (!p.Value()) return std::string("NULL");
      std::string literal;
      AppendQuotedLiteral(literal, *p.Value(), backslashes);
      return literal;
    }
    return std::string("NULL");
  });
}

void TMyQuery::Open() {
  if (active_) return;
  TMyConnection& connection = RequireConnection();
  Session& session = connection.GetIConnection().session();
  std::unique_ptr<ResultSet> result = session.query(BoundSQL(), UniDirectional);
  if (!result) throw MySQLError(CR_UNKNOWN_ERROR, "The statement returned no result set");

  const TFieldOptions options{connection.Options.UseUnicode, FieldsAsString, session.maxBytesPerChar()};
  const std::vector<ColumnDef>& columns = result->columns();
  descs_.clear();
  descs_.reserve(columns.size());
  for (size_t i = 0; i < columns.size(); ++i)
    descs_.push_back(DescribeColumn(columns[i], static_cast<int>(i), options));
  fields_.clear();
  fields_.reserve(descs_.size());
  for (const TMySQLFieldDesc& d : descs_) fields_.emplace_back(&d, &current_, options.UseUnicode);

  if (UniDirectional) {
    stream_ = std::move(result);
  } else {
    rows_ = RowStore(columns.size());
    while (const FieldValue* row = result->fetch()) rows_.Append(row);
    rowValues_.resize(columns.size());
  }
  active_ = true;
  recNo_ = 0;
  eof_ = false;
  Fetch();
  AfterOpen();
}

void TMyQuery::Fetch() {
  if (stream_) {
    current_ = stream_->fetch();
  } else if (static_cast<size_t>(recNo_) < rows_.RowCount()) {
    rows_.Row(static_cast<size_t>(recNo_), rowValues_.data());
    current_ = rowValues_.data();
  } else {
    current_ = nullptr;
  }
  if (current_)
    ++recNo_;
  else
    eof_ = true;
}

void TMyQuery::Close() {
  stream_.reset();
  rows_ = RowStore();
  current_ = nullptr;
  active_ = false;
  eof_ = true;
  recNo_ = 0;
}

void TMyQuery::ExecSQL() {
  Close();
  TMyConnection& connection = RequireConnection();
  connection.GetIConnection().session().query(BoundSQL(), false);
}

void TMyQuery::First() {
  if (!active_) throw MySQLError(CR_UNKNOWN_ERROR, "Dataset is not open");
  if (recNo_ <= 1 && (recNo_ == 1 || eof_)) return;
  if (stream_) throw MySQLError(CR_UNKNOWN_ERROR, "A forward-only dataset cannot go back to its first row");
  recNo_ = 0;
  eof_ = false;
  Fetch();
}

void TMyQuery::Next() {
  if (!active_ || eof_) return;
  Fetch();
}

int TMyQuery::RecordCount() const { return stream_ ? 0 : static_cast<int>(rows_.RowCount()); }

TField* TMyQuery::FindField(std::string_view name) {
  for (TField& f : fields_)
    if (platform::SameTextAscii(f.FieldName(), name)) return &f;
  return nullptr;
}

TField& TMyQuery::FieldByName(std::string_view name) {
  if (TField* f = FindField(name)) return *f;
  throw MySQLError(CR_UNKNOWN_ERROR, "Field '" + std::string(name) + "' not found");
}

TKeyAndDataFields TMyQuery::GetKeyAndDataFields() const {
  TKeyAndDataFields r;
  for (const TMySQLFieldDesc& d : descs_) {
    if (d.TableName.empty()) continue;
    r.DataFieldDescs.push_back(&d);
    if (d.FFlags & kPriKeyFlag) r.KeyFieldDescs.push_back(&d);
  }
  return r;
}

bool TMyQuery::Locate(std::string_view column, std::string_view value) {
  if (!active_) return false;
  if (stream_) throw MySQLError(CR_UNKNOWN_ERROR, "A forward-only dataset cannot locate rows");
  TField& field = FieldByName(column);
  const size_t n = rows_.RowCount();
  for (size_t i = 0; i < n; ++i) {
    rows_.Row(i, rowValues_.data());
    current_ = rowValues_.data();
    if (!field.IsNull() && platform::SameTextAscii(field.AsBytes(), value)) {
      recNo_ = static_cast<int>(i) + 1;
      eof_ = false;
      return true;
    }
  }
  // Not found: the current row stays where it was.
  if (recNo_ > 0 && static_cast<size_t>(recNo_) <= n)
    rows_.Row(static_cast<size_t>(recNo_) - 1, rowValues_.data());
  else
    current_ = nullptr;
  return false;
}

}  // namespace db
