#include "store/table.h"

#include <algorithm>
#include <optional>

#include "base/numbers.h"
#include "base/text.h"
#include "store/column_values.h"
#include "store/filter_expression.h"
#include "store/row_order.h"
#include "store/table_data.h"

namespace tarn {
namespace {

constexpr RowId kNoRow = -1;

}  // namespace

// The cursor's view: the visible rows in order, kept in step with every row change, and rebuilt
// only after the order, the filter or the whole content changed (and then only when next needed,
// unless an observer follows the cursor).
struct Cursor::Impl final : RowListener {
  Impl(Cursor& owner, TableData& rows) : self(owner), data(rows) { data.AddListener(this); }
  ~Impl() { data.RemoveListener(this); }
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  Cursor& self;
  TableData& data;
  RowOrder order;
  std::optional<FilterExpression> filter;
  std::vector<RowId> visible;
  bool visibleValid = false;
  RowId current = kNoRow;
  bool eof = false;
  int currentPos = -1;
  bool currentPosValid = false;
  std::vector<Value> buffer;
  RowId editRow = kNoRow;
  int changingPos = -1;
  std::vector<TableObserver*> observers;
  int reportedPos = -1;

  bool Visible(RowId row) const {
    return data.IsLive(row) && !(self.filtered_ && filter && !filter->Matches(data.Cells(row)));
  }
  bool Before(RowId a, RowId b) const { return order.Before(data, a, b); }
  int LowerBound(RowId row) const {
    const auto it = std::lower_bound(visible.begin(), visible.end(), row,
                                     [this](RowId a, RowId b) { return Before(a, b); });
    return static_cast<int>(it - visible.begin());
  }
  int PositionOf(RowId row) const {
    const int pos = LowerBound(row);
    return pos < static_cast<int>(visible.size()) && visible[pos] == row ? pos : -1;
  }

  void Sync() {
    if (!visibleValid) Rebuild();
  }
  void Rebuild() {
    visible.clear();
    for (RowId row = 0; row < data.SlotCount(); ++row) {
      if (Visible(row)) visible.push_back(row);
    }
    if (!order.IsAppendOrder()) {
      std::sort(visible.begin(), visible.end(), [this](RowId a, RowId b) { return Before(a, b); });
    }
    visibleValid = true;
    currentPosValid = false;
    if (current == kNoRow || PositionOf(current) < 0) {
      current = visible.empty() ? kNoRow : visible.front();
      eof = false;
    }
  }
  // The order or filter changed: observers learn at once, others when they next look.
  void Invalidate() {
    visibleValid = false;
    currentPosValid = false;
    if (observers.empty()) return;
    Sync();
    for (TableObserver* o : observers) o->Reset();
    reportedPos = -2;
    ReportCurrent();
  }

  int CurrentPos() {
    Sync();
    if (current == kNoRow) return -1;
    if (!currentPosValid) {
      currentPos = PositionOf(current);
      currentPosValid = true;
    }
    return currentPos;
  }
  void MoveTo(int pos) {
    current = visible[pos];
    currentPos = pos;
    currentPosValid = true;
    eof = false;
  }
  // The row at the position of one that left, or the one before it when it was the last.
  void MoveNear(int pos) {
    if (visible.empty()) {
      current = kNoRow;
      return;
    }
    MoveTo(std::min(pos, static_cast<int>(visible.size()) - 1));
  }
  void ReportCurrent() {
    if (observers.empty()) return;
    const int pos = CurrentPos();
    if (pos == reportedPos) return;
    reportedPos = pos;
    for (TableObserver* o : observers) o->CurrentMoved(pos);
  }
  void InsertVisible(int pos, RowId row) {
    visible.insert(visible.begin() + pos, row);
    currentPosValid = false;
  }
  void EraseVisible(int pos) {
    visible.erase(visible.begin() + pos);
    currentPosValid = false;
  }

  void DropEdit() {
    self.state_ = EditState::Browse;
    buffer.clear();
    editRow = kNoRow;
  }
  void PostPending() {
    if (self.state_ != EditState::Browse) self.Post();
  }

  // Each change reaches observers once the visible rows and the current row agree with it, so
  // an observer may read the cursor while it is told.
  void RowAdded(RowId row) override {
    if (!visibleValid || !Visible(row)) return;
    const int pos = LowerBound(row);
    InsertVisible(pos, row);
    if (current == kNoRow) MoveTo(pos);
    for (TableObserver* o : observers) o->RowInserted(pos);
    ReportCurrent();
  }
  void RowAboutToChange(RowId row) override {
    changingPos = -1;
    if (!visibleValid && row != current) return;
    Sync();
    changingPos = PositionOf(row);
  }
  void RowChangeDone(RowId row) override {
    if (!visibleValid) return;
    const int oldPos = changingPos;
    changingPos = -1;
    // The row still stands at its old place, which its new values may no longer fit.
    if (oldPos >= 0) EraseVisible(oldPos);
    const int newPos = Visible(row) ? LowerBound(row) : -1;
    if (oldPos >= 0 && oldPos == newPos) {
      InsertVisible(newPos, row);
      for (TableObserver* o : observers) o->RowChanged(newPos);
    } else {
      if (oldPos >= 0) {
        if (row == current && newPos < 0) MoveNear(oldPos);
        for (TableObserver* o : observers) o->RowRemoved(oldPos);
      }
      if (newPos >= 0) {
        InsertVisible(newPos, row);
        for (TableObserver* o : observers) o->RowInserted(newPos);
      }
    }
    ReportCurrent();
  }
  void RowAboutToBeRemoved(RowId row) override {
    if (self.state_ == EditState::Edit && editRow == row) DropEdit();
    if (!visibleValid && row != current) return;
    Sync();
    const int pos = PositionOf(row);
    if (pos < 0) return;
    EraseVisible(pos);
    if (row == current) MoveNear(pos);
    for (TableObserver* o : observers) o->RowRemoved(pos);
    ReportCurrent();
  }
  void RowsReset() override {
    DropEdit();
    current = kNoRow;
    eof = false;
    Invalidate();
  }
};

Cursor::Cursor(std::shared_ptr<TableData> data)
    : data_(std::move(data)), impl_(std::make_unique<Impl>(*this, *data_)) {}

Cursor::~Cursor() = default;

const std::string& Cursor::Name() const { return data_->Name(); }

const std::vector<ColumnDef>& Cursor::Columns() const { return data_->Columns(); }

bool Cursor::Active() const { return data_->Active(); }

int Cursor::FieldIndex(std::string_view column) const {
  const int index = FindColumn(data_->Columns(), column);
  if (index < 0) data_->FailFieldNotFound(column);
  return index;
}

void Cursor::Append() {
  data_->CheckActive();
  impl_->PostPending();
  state_ = EditState::Insert;
  impl_->buffer.assign(data_->CellCount(), Value());
  impl_->editRow = kNoRow;
}

void Cursor::Edit() {
  data_->CheckActive();
  if (state_ != EditState::Browse) return;
  impl_->Sync();
  if (impl_->current == kNoRow) {
    Append();
    return;
  }
  state_ = EditState::Edit;
  impl_->editRow = impl_->current;
  impl_->buffer = data_->Cells(impl_->current);
}

void Cursor::SetField(std::string_view column, const Value& value) {
  data_->CheckActive();
  const int index = FieldIndex(column);
  if (state_ == EditState::Browse) data_->Fail("Dataset not in edit or insert mode");
  try {
    impl_->buffer[index] = ToColumnValue(data_->Columns()[index], value);
  } catch (const std::invalid_argument& e) {
    data_->Fail(e.what());
  }
}

void Cursor::SetFieldText(std::string_view column, std::string_view text) {
  SetField(column, Value(std::string(text)));
}

void Cursor::Post() {
  data_->CheckActive();
  Impl& view = *impl_;
  const EditState state = state_;
  const RowId editRow = view.editRow;
  std::vector<Value> cells = std::move(view.buffer);
  switch (state) {
    case EditState::Browse:
      data_->Fail("Dataset not in edit or insert mode");
    case EditState::Edit:
      view.DropEdit();
      // Row changes move this cursor off the row when its new values leave the filter.
      data_->Update(editRow, std::move(cells));
      break;
    case EditState::Insert: {
      view.DropEdit();
      const RowId row = data_->Append(std::move(cells));
      // A new row the filter hides leaves the cursor where it was.
      if (view.Visible(row)) {
        view.Sync();
        view.MoveTo(view.PositionOf(row));
      }
      view.ReportCurrent();
      break;
    }
  }
}

void Cursor::Cancel() {
  data_->CheckActive();
  if (state_ == EditState::Browse) data_->Fail("Dataset not in edit or insert mode");
  impl_->DropEdit();
}

void Cursor::Delete() {
  data_->CheckActive();
  if (state_ == EditState::Insert) {
    impl_->DropEdit();
    return;
  }
  impl_->DropEdit();
  impl_->Sync();
  if (impl_->current == kNoRow) data_->Fail("Cannot perform this operation on an empty dataset");
  data_->Remove(impl_->current);
}

void Cursor::DeleteAll() {
  data_->CheckActive();
  impl_->DropEdit();
  impl_->Sync();
  const std::vector<RowId> rows = impl_->visible;
  for (const RowId row : rows) data_->Remove(row);
}

Value Cursor::Field(std::string_view column) const {
  if (!data_->Active()) data_->FailFieldNotFound(column);
  const int index = FieldIndex(column);
  if (state_ != EditState::Browse) return impl_->buffer[index];
  impl_->Sync();
  return impl_->current == kNoRow ? Value() : data_->Cells(impl_->current)[index];
}

Value Cursor::FieldAt(int position, int column) const {
  const auto& columns = data_->Columns();
  if (column < 0 || column >= static_cast<int>(columns.size())) {
    data_->FailFieldNotFound("#" + std::to_string(column));
  }
  if (!data_->Active()) data_->FailFieldNotFound(columns[column].name);
  impl_->Sync();
  if (position < 0 || position >= static_cast<int>(impl_->visible.size())) {
    data_->Fail("Row " + std::to_string(position) + " is out of range");
  }
  const RowId row = impl_->visible[position];
  if (state_ == EditState::Edit && row == impl_->editRow) return impl_->buffer[column];
  return data_->Cells(row)[column];
}

bool Cursor::Locate(std::string_view column, const Value& value) {
  data_->CheckActive();
  const int index = FieldIndex(column);
  impl_->PostPending();
  Value key;
  try {
    key = ToColumnValue(data_->Columns()[index], value);
  } catch (const std::invalid_argument&) {
    return false;  // no cell of this column can hold such a value
  }
  const std::vector<RowId>* candidates = data_->RowsHolding(index, key);
  if (!candidates) return false;
  Impl& view = *impl_;
  view.Sync();
  RowId found = kNoRow;
  for (const RowId row : *candidates) {
    if (!view.Visible(row)) continue;
    if (found == kNoRow || view.Before(row, found)) found = row;
    // Candidates come in append order, which is the cursor's order when no keys are set.
    if (view.order.IsAppendOrder()) break;
  }
  if (found == kNoRow) return false;
  view.MoveTo(view.PositionOf(found));
  view.ReportCurrent();
  return true;
}

int Cursor::RecordCount() const {
  data_->CheckActive();
  impl_->Sync();
  return static_cast<int>(impl_->visible.size());
}

int Cursor::RecNo() const {
  data_->CheckActive();
  if (state_ == EditState::Insert) return 0;
  return impl_->CurrentPos() + 1;
}

void Cursor::SetRecNo(int recNo) {
  data_->CheckActive();
  impl_->PostPending();
  impl_->Sync();
  const int count = static_cast<int>(impl_->visible.size());
  if (count == 0) return;
  impl_->MoveTo(std::clamp(recNo, 1, count) - 1);
  impl_->ReportCurrent();
}

void Cursor::First() { SetRecNo(1); }

void Cursor::Next() {
  data_->CheckActive();
  impl_->PostPending();
  const int pos = impl_->CurrentPos();
  if (pos >= 0 && pos + 1 < static_cast<int>(impl_->visible.size())) {
    impl_->MoveTo(pos + 1);
    impl_->ReportCurrent();
  } else {
    impl_->eof = true;
  }
}

bool Cursor::Eof() const {
  data_->CheckActive();
  impl_->Sync();
  return impl_->current == kNoRow || impl_->eof;
}

void Cursor::SetIndexName(std::string_view indexName) {
  std::vector<SortKey> keys;
  if (!indexName.empty()) {
    const auto& indexes = data_->Indexes();
    const auto it = std::find_if(indexes.begin(), indexes.end(), [&](const IndexDef& i) {
      return EqualsIgnoringCase(i.name, indexName);
    });
    if (it == indexes.end()) data_->Fail("Index '" + std::string(indexName) + "' not found");
    keys.push_back({FieldIndex(it->column), it->descending});
  }
  if (data_->Active()) impl_->PostPending();
  impl_->order = RowOrder(std::move(keys));
  impl_->Invalidate();
}

void Cursor::SetSortColumns(std::vector<std::string> columns) {
  std::vector<SortKey> keys;
  for (const std::string& column : columns) keys.push_back({FieldIndex(column), false});
  if (data_->Active()) impl_->PostPending();
  impl_->order = RowOrder(std::move(keys));
  impl_->Invalidate();
}

void Cursor::SetFilter(std::string_view text) {
  std::optional<FilterExpression> parsed;
  try {
    parsed = FilterExpression::Parse(text, data_->Columns());
  } catch (const std::invalid_argument& e) {
    data_->Fail(e.what());
  }
  if (data_->Active()) impl_->PostPending();
  impl_->filter = std::move(parsed);
  filterText_ = std::string(text);
  if (filtered_) impl_->Invalidate();
}

void Cursor::SetFiltered(bool on) {
  if (on == filtered_) return;
  if (data_->Active()) impl_->PostPending();
  filtered_ = on;
  impl_->Invalidate();
}

void Cursor::AddObserver(TableObserver* observer) {
  impl_->observers.push_back(observer);
  // Observed cursors keep their visible rows built, so every change can be told by position.
  impl_->reportedPos = impl_->CurrentPos();
}

void Cursor::RemoveObserver(TableObserver* observer) {
  auto& observers = impl_->observers;
  observers.erase(std::remove(observers.begin(), observers.end(), observer), observers.end());
}

Table::Table(std::string name, std::vector<ColumnDef> columns, std::vector<IndexDef> indexes)
    : Cursor(std::make_shared<TableData>(std::move(name), std::move(columns), std::move(indexes))) {
}

const std::vector<IndexDef>& Table::Indexes() const { return data_->Indexes(); }

void Table::Load(std::vector<std::vector<Value>> rows, std::vector<ColumnDef> foreignColumns) {
  data_->Load(std::move(rows), std::move(foreignColumns));
}

void Table::Close() { data_->Close(); }

const std::vector<ColumnDef>& Table::ForeignColumns() const { return data_->ForeignColumns(); }

std::vector<std::vector<Value>> Table::Rows() const {
  data_->CheckActive();
  return data_->LiveRows();
}

bool Table::Changed() const { return data_->Changed(); }

void Table::MarkSaved() { data_->MarkSaved(); }

std::unique_ptr<Cursor> Table::CreateCursor() const { return std::make_unique<Cursor>(data_); }

}  // namespace tarn
