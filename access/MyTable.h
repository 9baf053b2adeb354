#pragma once
// TMyTable: a table dataset with declared (persistent) fields: open checks that each exists;
// append and post insert a row; EmptyTable runs "TRUNCATE TABLE".
#include <string>
#include <vector>

#include "access/MyQuery.h"

namespace db {

struct TPersistentField {
  std::string Name;
  int Size = 0;  // characters kept of a string value; 0: no limit
};

class TMyTable : public TMyQuery {
 public:
  explicit TMyTable(TMyConnection* connection = nullptr) : TMyQuery(connection) {}

  void SetTableName(std::string name);
  const std::string& TableName() const { return tableName_; }
  void AddPersistentField(TPersistentField field) { persistent_.push_back(std::move(field)); }

  // Selects the whole table; throws "Field '<name>' not found" for a missing declared field.
  void Open() override;
  // Starts a new row; set its values with SetFieldValue, then Post.
  void Append();
  void SetFieldValue(std::string_view field, std::string value);
  // Inserts the new row on the server. The open dataset does not show it until reopened.
  void Post();
  void EmptyTable();

 private:
  void AfterOpen() override;
  std::string QuotedTableName() const;

  std::string tableName_;
  std::vector<TPersistentField> persistent_;
  bool appending_ = false;
  std::vector<std::pair<std::string, std::string>> newRow_;
};

}  // namespace db
