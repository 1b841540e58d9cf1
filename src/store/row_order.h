#pragma once

#include <vector>

#include "store/value_index.h"

namespace tarn {

class TableData;

struct SortKey {
  int column = 0;
  bool descending = false;
};

// The order a cursor shows its rows in: by the key columns (empty cells first when ascending),
// ties and the keyless order by append order. Strict, so every row has one place.
class RowOrder {
 public:
  RowOrder() = default;
  explicit RowOrder(std::vector<SortKey> keys) : keys_(std::move(keys)) {}

  bool IsAppendOrder() const { return keys_.empty(); }
  bool Before(const TableData& data, RowId a, RowId b) const;

 private:
  std::vector<SortKey> keys_;
};

}  // namespace tarn
