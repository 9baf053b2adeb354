#pragma once
// The rows of a buffered result, kept compactly: one byte store and a cell per value.
#include <cstddef>
#include <string>
#include <vector>

#include "access/Session.h"

namespace db {

class RowStore {
 public:
  explicit RowStore(size_t columnCount = 0) : columns_(columnCount) {}

  void Append(const FieldValue* values);
  size_t RowCount() const { return columns_ ? cells_.size() / columns_ : 0; }
  // Fills out (columnCount values) with views of row i.
  void Row(size_t i, FieldValue* out) const;

 private:
  struct Cell {
    size_t offset;
    size_t length;
    bool isNull;
  };
  size_t columns_;
  std::string bytes_;
  std::vector<Cell> cells_;
};

}  // namespace db
