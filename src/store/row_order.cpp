#include "store/row_order.h"

#include "store/table_data.h"

namespace tarn {

bool RowOrder::Before(const TableData& data, RowId a, RowId b) const {
  const std::vector<Value>& cellsA = data.Cells(a);
  const std::vector<Value>& cellsB = data.Cells(b);
  for (const SortKey& key : keys_) {
    // Cells of one column share their kind, or are empty; the empty kind sorts first.
    const auto& x = cellsA[key.column].Variant();
    const auto& y = cellsB[key.column].Variant();
    if (x < y) return !key.descending;
    if (y < x) return key.descending;
  }
  return a < b;
}

}  // namespace tarn
