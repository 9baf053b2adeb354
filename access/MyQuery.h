#pragma once
// TMyQuery: a query dataset on a TMyConnection. Read-only; forward-only streaming when
// UniDirectional (rows are not kept, memory independent of the result's size), buffered otherwise
// (record count, First, case-insensitive Locate).
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "access/Field.h"
#include "access/FieldDesc.h"
#include "access/MyConnection.h"
#include "access/RowStore.h"

namespace db {

class TParam {
 public:
  void SetAsString(std::string value) { value_ = std::move(value); }
  void Clear() { value_.reset(); }
  const std::optional<std::string>& Value() const { return value_; }

 private:
  std::optional<std::string> value_;  // none: NULL
};

class TMyQuery : public TConnectionClient {
 public:
  explicit TMyQuery(TMyConnection* connection = nullptr);
  TMyQuery(const TMyQuery&) = delete;
  TMyQuery& operator=(const TMyQuery&) = delete;
  virtual ~TMyQuery();

  void SetConnection(TMyConnection* connection);
  TMyConnection* Connection() const { return connection_; }

  // The statement; ":name" marks a parameter.
  void SetSQL(std::string sql);
  const std::string& SQL() const { return sql_; }
  // Throws when the statement has no parameter of that name (compared without regard to case).
  TParam& ParamByName(std::string_view name);

  bool UniDirectional = false;
  // Record-set setting: strings of binary columns as text (see DescribeColumn). Numbers, dates
  // and bits always arrive as the server's text.
  bool FieldsAsString = false;

  virtual void Open();
  void Close();
  bool Active() const { return active_; }
  // Runs a statement that returns no rows.
  void ExecSQL();

  void First();
  void Next();
  bool Eof() const { return eof_; }
  // 1-based number of the current row.
  int RecNo() const { return recNo_; }
  // Rows of a buffered result (0 for a streaming one, which does not count).
  int RecordCount() const;

  size_t FieldCount() const { return fields_.size(); }
  TField& Fields(size_t i) { return fields_[i]; }
  TField* FindField(std::string_view name);
  TField& FieldByName(std::string_view name);
  const std::vector<TMySQLFieldDesc>& FieldDescs() const { return descs_; }
  // The columns of the open result that belong to a table, and its primary-key columns.
  TKeyAndDataFields GetKeyAndDataFields() const;
  // Moves to the first row whose column equals value ignoring case (buffered results only).
  bool Locate(std::string_view column, std::string_view value);

 protected:
  void ConnectionClosing(TMyConnection&) override { Close(); }
  void ConnectionDestroyed(TMyConnection&) override { connection_ = nullptr; }
  TMyConnection& RequireConnection() const;
  std::string BoundSQL() const;
  virtual void AfterOpen() {}

 private:
  void SyncParams();
  void Fetch();

  TMyConnection* connection_ = nullptr;
  std::string sql_;
  std::vector<std::pair<std::string, TParam>> params_;

  bool active_ = false;
  bool eof_ = true;
  int recNo_ = 0;
  std::unique_ptr<ResultSet> stream_;  // streaming results
  RowStore rows_;                      // buffered results
  std::vector<FieldValue> rowValues_;  // current row of a buffered result
  const FieldValue* current_ = nullptr;
  std::vector<TMySQLFieldDesc> descs_;
  std::vector<TField> fields_;
};

}  // namespace db
