#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "store/table_types.h"
#include "store/value.h"
#include "store/value_index.h"

namespace tarn {

// Told about every change of a table's rows, so each cursor keeps its visible rows in step
// without rebuilding them. "About to" calls come while the row still holds its old values.
class RowListener {
 public:
  virtual void RowAdded(RowId row) = 0;
  virtual void RowAboutToChange(RowId row) = 0;
  virtual void RowChangeDone(RowId row) = 0;
  virtual void RowAboutToBeRemoved(RowId row) = 0;
  virtual void RowsReset() = 0;

 protected:
  ~RowListener() = default;
};

// The rows of one table, shared by all its cursors. Each row keeps its id for life; ids grow in
// append order, so append order is id order. Removed rows leave an empty slot behind.
// A row holds a cell for each column, then one for each foreign column: a column the table's file
// had that the program does not know. Foreign cells only travel with their rows; no name,
// position, filter or order ever reaches them.
class TableData {
 public:
  TableData(std::string name, std::vector<ColumnDef> columns, std::vector<IndexDef> indexes);

  const std::string& Name() const { return name_; }
  const std::vector<ColumnDef>& Columns() const { return columns_; }
  const std::vector<ColumnDef>& ForeignColumns() const { return foreignColumns_; }
  size_t CellCount() const { return columns_.size() + foreignColumns_.size(); }
  const std::vector<IndexDef>& Indexes() const { return indexes_; }
  bool Active() const { return active_; }

  // Throws a TableError whose message carries the table name in front.
  [[noreturn]] void Fail(std::string_view message) const;
  [[noreturn]] void FailFieldNotFound(std::string_view column) const;
  void CheckActive() const;

  RowId SlotCount() const { return static_cast<RowId>(rows_.size()); }
  bool IsLive(RowId row) const { return live_[row]; }
  const std::vector<Value>& Cells(RowId row) const { return rows_[row]; }

  // Cells must already be in the column types (see ToColumnValue).
  RowId Append(std::vector<Value> cells);
  void Update(RowId row, std::vector<Value> cells);
  void Remove(RowId row);

  // Converts every row first; a bad row throws and leaves the table as it was.
  void Load(std::vector<std::vector<Value>> rows, std::vector<ColumnDef> foreignColumns);
  void Close();
  std::vector<std::vector<Value>> LiveRows() const;

  // Live rows whose cell in the column equals the key; the column's index is built on first use.
  const std::vector<RowId>* RowsHolding(int column, const Value& key);

  bool Changed() const { return changed_; }
  void MarkSaved() { changed_ = false; }

  void AddListener(RowListener* listener);
  void RemoveListener(RowListener* listener);

 private:
  void ForgetRows();
  template <class Call>
  void Tell(Call call);

  std::string name_;
  std::vector<ColumnDef> columns_;
  std::vector<ColumnDef> foreignColumns_;
  std::vector<IndexDef> indexes_;
  bool active_ = true;
  bool changed_ = false;
  std::vector<std::vector<Value>> rows_;
  std::vector<bool> live_;
  std::vector<std::unique_ptr<ValueIndex>> valueIndexes_;  // per column, null until used
  std::vector<RowListener*> listeners_;
};

}  // namespace tarn
