#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "store/table_types.h"
#include "store/value.h"

namespace tarn {

enum class EditState { Browse, Edit, Insert };

// Follows one cursor's visible rows; positions are 0-based in that cursor's order and filter.
class TableObserver {
 public:
  virtual ~TableObserver() = default;
  virtual void RowInserted(int position) = 0;
  virtual void RowRemoved(int position) = 0;
  virtual void RowChanged(int position) = 0;
  virtual void CurrentMoved(int position) = 0;  // -1 when there is no current row
  virtual void Reset() = 0;                     // order, filter or whole content changed
};

class TableData;

// A view of a table's rows with its own current row, edit buffer, order and filter.
// The table itself is one; CreateCursor gives independent further ones over the same rows.
class Cursor {
 public:
  explicit Cursor(std::shared_ptr<TableData> data);
  virtual ~Cursor();
  Cursor(const Cursor&) = delete;
  Cursor& operator=(const Cursor&) = delete;

  const std::string& Name() const;
  const std::vector<ColumnDef>& Columns() const;
  bool Active() const;
  EditState State() const { return state_; }
  // Index of a column by name, letter case ignored; throws "Field 'x' not found".
  int FieldIndex(std::string_view column) const;

  // Row changes. Moves (Locate, SetRecNo, First, Next) post a pending edit first.
  void Append();
  void Edit();
  // Converts the value to the column type (text cut to the column size); throws when it cannot.
  void SetField(std::string_view column, const Value& value);
  // Typed text input as typed into a grid cell: "" stores null; a wrong value throws
  // "'abc' is not a valid integer value for field 'x'" (likewise date and time, boolean).
  void SetFieldText(std::string_view column, std::string_view text);
  void Post();
  void Cancel();
  void Delete();
  // Deletes every row the cursor shows (all rows without a filter); a pending edit is dropped.
  void DeleteAll();

  // Reads of the current row (the edit buffer while editing); null when there is no row.
  Value Field(std::string_view column) const;
  // Reads of the visible row at a 0-based position, for grids.
  Value FieldAt(int position, int column) const;

  bool Locate(std::string_view column, const Value& value);
  int RecordCount() const;
  int RecNo() const;  // 1-based; 0 when there is no current row or a new row is being inserted
  // Beyond the last row moves to the last row, below 1 to the first, as grids expect.
  void SetRecNo(int recNo);
  void First();
  void Next();
  bool Eof() const;

  // "" selects append order. Clears a sort by columns.
  void SetIndexName(std::string_view indexName);
  // Ascending by the given columns. Clears a named index. An empty list selects append order.
  void SetSortColumns(std::vector<std::string> columns);
  // Parses at once; a malformed text throws and leaves the previous filter in force.
  void SetFilter(std::string_view text);
  const std::string& Filter() const { return filterText_; }
  void SetFiltered(bool on);
  bool Filtered() const { return filtered_; }

  void AddObserver(TableObserver* observer);
  void RemoveObserver(TableObserver* observer);

 protected:
  std::shared_ptr<TableData> data_;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  EditState state_ = EditState::Browse;
  std::string filterText_;
  bool filtered_ = false;
};

// A table: its columns, named indexes and rows, plus its own cursor.
class Table : public Cursor {
 public:
  Table(std::string name, std::vector<ColumnDef> columns, std::vector<IndexDef> indexes = {});

  const std::vector<IndexDef>& Indexes() const;

  // Replaces the rows and opens the table; counts as unchanged. Each row holds its values in
  // column order, then those of the foreign columns (see TableData): columns read from a file
  // that the program does not know, which Columns, Field and FieldAt never show.
  void Load(std::vector<std::vector<Value>> rows, std::vector<ColumnDef> foreignColumns = {});
  // A closed table refuses every operation ("Cannot perform this operation on a closed dataset").
  void Close();
  const std::vector<ColumnDef>& ForeignColumns() const;
  // Every row in append order, each as Load takes it (pending edits not included).
  std::vector<std::vector<Value>> Rows() const;

  // True once a row was appended, deleted, or posted since the last Load or MarkSaved.
  bool Changed() const;
  void MarkSaved();

  std::unique_ptr<Cursor> CreateCursor() const;
};

}  // namespace tarn
