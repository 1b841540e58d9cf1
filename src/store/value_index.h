#pragma once

#include <cstddef>
#include <set>
#include <unordered_map>

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
  const std::set<RowId>* Find(const Value& key) const;

 private:
  std::unordered_map<Value, std::set<RowId>, ValueHash> rows_;
};

}  // namespace tarn
