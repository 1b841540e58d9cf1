#pragma once

#include <cstddef>
#include <unordered_map>
#include <vector>

#include "store/value.h"

namespace tarn {

using RowId = int;

struct ValueHash {
  size_t operator()(const Value& value) const;
};

// The rows holding each value of one column, in append order, so a locate looks at the few rows
// that can match instead of scanning the table.
class ValueIndex {
 public:
  void Add(const Value& key, RowId row);
  void Remove(const Value& key, RowId row);
  // Rows whose cell equals the key, ascending by row id; null when there are none.
  const std::vector<RowId>* Find(const Value& key) const;

 private:
  // A sorted vector rather than a tree: most keys (game ids) hold one row, and a merge loop over
  // a long history is bound by the memory each look-up touches.
  std::unordered_map<Value, std::vector<RowId>, ValueHash> rows_;
};

}  // namespace tarn
