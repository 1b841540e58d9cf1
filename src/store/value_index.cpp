#include "store/value_index.h"

#include <algorithm>
#include <functional>
#include <string>

namespace tarn {

size_t ValueHash::operator()(const Value& value) const {
  const auto& v = value.Variant();
  const size_t kind = v.index();
  size_t hash = 0;
  if (const auto* number = std::get_if<int64_t>(&v)) hash = std::hash<int64_t>()(*number);
  if (const auto* text = std::get_if<std::string>(&v)) hash = std::hash<std::string>()(*text);
  if (const auto* flag = std::get_if<bool>(&v)) hash = std::hash<bool>()(*flag);
  if (const auto* dt = std::get_if<DateTime>(&v)) hash = std::hash<double>()(dt->Days());
  return hash * 31 + kind;
}

void ValueIndex::Add(const Value& key, RowId row) {
  std::vector<RowId>& rows = rows_[key];
  // Appended rows have the highest id; only an edited row goes back into the middle.
  if (rows.empty() || rows.back() < row) {
    rows.push_back(row);
  } else {
    const auto at = std::lower_bound(rows.begin(), rows.end(), row);
    if (at == rows.end() || *at != row) rows.insert(at, row);
  }
}

void ValueIndex::Remove(const Value& key, RowId row) {
  const auto it = rows_.find(key);
  if (it == rows_.end()) return;
  std::vector<RowId>& rows = it->second;
  const auto at = std::lower_bound(rows.begin(), rows.end(), row);
  if (at != rows.end() && *at == row) rows.erase(at);
  if (rows.empty()) rows_.erase(it);
}

const std::vector<RowId>* ValueIndex::Find(const Value& key) const {
  const auto it = rows_.find(key);
  return it == rows_.end() ? nullptr : &it->second;
}

}  // namespace tarn
