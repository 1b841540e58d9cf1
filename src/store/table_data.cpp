#include "store/table_data.h"

#include <algorithm>
#include <stdexcept>

#include "store/column_values.h"

namespace tarn {

TableData::TableData(std::string name, std::vector<ColumnDef> columns,
                     std::vector<IndexDef> indexes)
    : name_(std::move(name)),
      columns_(std::move(columns)),
      indexes_(std::move(indexes)),
      valueIndexes_(columns_.size()) {}

void TableData::Fail(std::string_view message) const {
  throw TableError(name_ + ": " + std::string(message));
}

void TableData::FailFieldNotFound(std::string_view column) const {
  Fail("Field '" + std::string(column) + "' not found");
}

void TableData::CheckActive() const {
  if (!active_) Fail("Cannot perform this operation on a closed dataset");
}

template <class Call>
void TableData::Tell(Call call) {
  // By position: a listener may stop listening while it is told.
  for (size_t i = 0; i < listeners_.size(); ++i) call(*listeners_[i]);
}

RowId TableData::Append(std::vector<Value> cells) {
  const RowId row = SlotCount();
  for (size_t c = 0; c < valueIndexes_.size(); ++c) {
    if (valueIndexes_[c]) valueIndexes_[c]->Add(cells[c], row);
  }
  rows_.push_back(std::move(cells));
  live_.push_back(true);
  changed_ = true;
  Tell([row](RowListener& l) { l.RowAdded(row); });
  return row;
}

void TableData::Update(RowId row, std::vector<Value> cells) {
  Tell([row](RowListener& l) { l.RowAboutToChange(row); });
  for (size_t c = 0; c < valueIndexes_.size(); ++c) {
    if (valueIndexes_[c] && !(rows_[row][c] == cells[c])) {
      valueIndexes_[c]->Remove(rows_[row][c], row);
      valueIndexes_[c]->Add(cells[c], row);
    }
  }
  rows_[row] = std::move(cells);
  changed_ = true;
  Tell([row](RowListener& l) { l.RowChangeDone(row); });
}

void TableData::Remove(RowId row) {
  Tell([row](RowListener& l) { l.RowAboutToBeRemoved(row); });
  for (size_t c = 0; c < valueIndexes_.size(); ++c) {
    if (valueIndexes_[c]) valueIndexes_[c]->Remove(rows_[row][c], row);
  }
  rows_[row].clear();
  rows_[row].shrink_to_fit();
  live_[row] = false;
  changed_ = true;
}

void TableData::Load(std::vector<std::vector<Value>> rows, std::vector<ColumnDef> foreignColumns) {
  const size_t cellCount = columns_.size() + foreignColumns.size();
  for (size_t r = 0; r < rows.size(); ++r) {
    if (rows[r].size() != cellCount) {
      Fail("Row " + std::to_string(r + 1) + " has " + std::to_string(rows[r].size()) + " values, " +
           std::to_string(cellCount) + " expected");
    }
    for (size_t c = 0; c < cellCount; ++c) {
      const ColumnDef& column =
          c < columns_.size() ? columns_[c] : foreignColumns[c - columns_.size()];
      try {
        rows[r][c] = ToColumnValue(column, rows[r][c]);
      } catch (const std::invalid_argument& e) {
        Fail("Row " + std::to_string(r + 1) + ": " + e.what());
      }
    }
  }
  ForgetRows();
  foreignColumns_ = std::move(foreignColumns);
  rows_ = std::move(rows);
  live_.assign(rows_.size(), true);
  active_ = true;
  changed_ = false;
  Tell([](RowListener& l) { l.RowsReset(); });
}

void TableData::Close() {
  ForgetRows();
  active_ = false;
  Tell([](RowListener& l) { l.RowsReset(); });
}

void TableData::ForgetRows() {
  foreignColumns_.clear();
  rows_.clear();
  live_.clear();
  for (auto& index : valueIndexes_) index.reset();
}

std::vector<std::vector<Value>> TableData::LiveRows() const {
  std::vector<std::vector<Value>> rows;
  for (RowId row = 0; row < SlotCount(); ++row) {
    if (live_[row]) rows.push_back(rows_[row]);
  }
  return rows;
}

const std::vector<RowId>* TableData::RowsHolding(int column, const Value& key) {
  auto& index = valueIndexes_[column];
  if (!index) {
    index = std::make_unique<ValueIndex>();
    for (RowId row = 0; row < SlotCount(); ++row) {
      if (live_[row]) index->Add(rows_[row][column], row);
    }
  }
  return index->Find(key);
}

void TableData::AddListener(RowListener* listener) { listeners_.push_back(listener); }

void TableData::RemoveListener(RowListener* listener) {
  listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

}  // namespace tarn
