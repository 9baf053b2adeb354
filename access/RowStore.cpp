#include "access/RowStore.h"

namespace db {

void RowStore::Append(const FieldValue* values) {
  for (size_t i = 0; i < columns_; ++i) {
    cells_.push_back({bytes_.size(), values[i].length, values[i].isNull});
    bytes_.append(values[i].data ? values[i].data : "", values[i].length);
  }
}

void RowStore::Row(size_t i, FieldValue* out) const {
  const Cell* c = &cells_[i * columns_];
  for (size_t k = 0; k < columns_; ++k)
    out[k] = {bytes_.data() + c[k].offset, c[k].length, c[k].isNull};
}

}  // namespace db
