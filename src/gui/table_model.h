#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "store/table.h"

namespace tarn {

class Dialogs;

// Runs one user action; an error it raises is shown through `dialogs` and answered with false,
// so nothing escapes into the event loop.
bool ReportErrors(Dialogs& dialogs, const std::function<void()>& action);

// How the windows write dates and times.
struct DateFormats {
  QString date;  // Qt pattern of a date in a grid
  QString time;  // Qt pattern of the time of day in a grid; left out at midnight
  // The time of day of a remaining time, in the core's pattern tokens (HH, mm, ss).
  std::string clockTime = "HH:mm:ss";

  // From a date and a long time pattern. The time zone is left out, since stored times carry
  // none; the clocks take the long time only when it is a 24-hour HH, mm, ss pattern, as a
  // remaining time is no time of day a 12-hour clock could tell.
  static DateFormats FromPatterns(QString date, const QString& longTime);
  // The system's short date and long time.
  static DateFormats System();
};

// How a grid shows one table column.
struct GridColumn {
  QString caption;  // empty: the column's name
  bool shown = true;
};

// The visible rows of one table cursor as a Qt model, following the cursor's change notifications
// row by row (a reset only when the order, the filter or the whole content changed). Columns are
// the table's, in table order. Read-only unless made editable.
class TableModel : public QAbstractTableModel, private TableObserver {
  Q_OBJECT

 public:
  // Errors of edits and moves are shown through `dialogs`. The cursor must outlive the model.
  TableModel(Cursor& cursor, Dialogs& dialogs, DateFormats formats = DateFormats::System(),
             QObject* parent = nullptr);
  ~TableModel() override;

  // Captions and visibility by column position; columns beyond the list keep their names and are
  // shown.
  void SetGridColumns(std::vector<GridColumn> columns);
  bool ColumnShown(int column) const;
  const ColumnDef& Column(int column) const;
  // A text as wide as the column's values need to be shown whole.
  QString DisplaySample(int column) const;

  // Edits go through the cursor (Edit, SetFieldText or SetField for check boxes, Post); a value
  // the column refuses is shown as an error and leaves the row as it was.
  void SetEditable(bool editable) { editable_ = editable; }
  bool Editable() const { return editable_; }

  // The cell at a row of this model; null outside the rows.
  Value CellValue(int row, int column) const;
  // The row of the cursor's current row; -1 when there is none.
  int CurrentRow() const;
  // Moves the cursor to a row the user chose. Moves the view makes by itself while rows are
  // inserted or removed are not the user's and are ignored; the cursor tells where it went.
  void MoveCurrent(int row);
  // Orders the rows ascending by the column. A second request for the column this model ordered
  // by changes nothing.
  void SortByColumn(int column);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

 signals:
  // The cursor's current row moved to `row` (-1: none).
  void CurrentRowMoved(int row);

 private:
  // While rows are being inserted or removed the views still count rows as before the change,
  // while the cursor already holds it; during a reset no move is the user's.
  enum class Change { None, Insert, Remove, Reset };

  void RowInserted(int position) override;
  void RowRemoved(int position) override;
  void RowChanged(int position) override;
  void CurrentMoved(int position) override;
  void Reset() override;

  int CursorRows() const;
  int CursorPosition(int row) const;
  QString DisplayText(const Value& value, const ColumnDef& column) const;
  QString DateTimeText(DateTime value) const;
  void WriteCell(int row, int column, const QVariant& value);

  Cursor& cursor_;
  Dialogs& dialogs_;
  DateFormats formats_;
  std::vector<GridColumn> gridColumns_;
  bool editable_ = false;
  int rows_ = 0;
  Change change_ = Change::None;
  int changeAt_ = -1;
  int sortedBy_ = -1;
  bool sorting_ = false;
};

}  // namespace tarn
