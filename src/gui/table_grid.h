#pragma once

#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>

namespace tarn {

class TableModel;

// Draws the cells of a grid; check boxes stand in the middle of their cell, in the platform's
// style, rather than at its left edge.
class GridCellDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
};

// A grid over one TableModel. Its current row and the table cursor's stay in step both ways (the
// user's move moves the cursor at once; the cursor's own moves show once the operation that made
// them is through), the columns the model's column list hides stay hidden, and a click on a
// column title orders the rows by that column. Rows are chosen whole; column widths start at
// what the values need.
class TableGrid : public QTableView {
  Q_OBJECT

 public:
  explicit TableGrid(QWidget* parent = nullptr);

  // A TableModel binds the grid to its cursor; nullptr unbinds it.
  void setModel(QAbstractItemModel* model) override;
  TableModel* Model() const { return tableModel_; }

 private:
  void FollowCursorSoon();
  void FollowCursor();
  void ApplyColumnVisibility();
  void ApplyColumnWidths();
  int FirstShownColumn() const;

  QPointer<TableModel> tableModel_;
  bool followPending_ = false;
};

}  // namespace tarn
