#include "gui/table_grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <algorithm>

#include "gui/table_model.h"

namespace tarn {
namespace {

// Room beside a column's text for the cell's margins and the title's frame.
constexpr int kColumnPadding = 12;
// Room above and below a row's line for the cell's frame and a check box.
constexpr int kRowPadding = 8;

}  // namespace

void GridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  QStyleOptionViewItem cell(option);
  initStyleOption(&cell, index);
  const QWidget* widget = option.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();
  if (!(cell.features & QStyleOptionViewItem::HasCheckIndicator)) {
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
    return;
  }
  const bool checked = cell.checkState == Qt::Checked;
  cell.features &= ~QStyleOptionViewItem::HasCheckIndicator;
  cell.text.clear();
  style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);

  QStyleOptionViewItem box(cell);
  // In the desktop's own colours, as a check box control, so it stays legible whatever colours
  // the window gives its grids.
  box.palette = QApplication::palette();
  const QSize size(style->pixelMetric(QStyle::PM_IndicatorWidth, &box, widget),
                   style->pixelMetric(QStyle::PM_IndicatorHeight, &box, widget));
  box.rect = QStyle::alignedRect(cell.direction, Qt::AlignCenter, size, cell.rect);
  box.state &= ~(QStyle::State_On | QStyle::State_Off | QStyle::State_NoChange |
                 QStyle::State_HasFocus | QStyle::State_MouseOver);
  box.state |= checked ? QStyle::State_On : QStyle::State_Off;
  box.features |= QStyleOptionViewItem::HasCheckIndicator;
  box.checkState = checked ? Qt::Checked : Qt::Unchecked;
  style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, widget);
}

TableGrid::TableGrid(QWidget* parent) : QTableView(parent) {
  setSelectionBehavior(SelectRows);
  setSelectionMode(SingleSelection);
  setItemDelegate(new GridCellDelegate(this));
  // Rows of one line and one height keep a grid of many thousand rows as quick as a short one.
  setWordWrap(false);
  // Record numbers are no name of a row (they change with every order), and a row header would
  // measure itself again on every insert.
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + kRowPadding);
  connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
    if (tableModel_) tableModel_->SortByColumn(section);
  });
}

void TableGrid::setModel(QAbstractItemModel* model) {
  if (model == this->model()) return;
  if (tableModel_) disconnect(tableModel_, nullptr, this, nullptr);
  QItemSelectionModel* oldSelection = selectionModel();
  QTableView::setModel(model);
  delete oldSelection;
  tableModel_ = qobject_cast<TableModel*>(model);
  if (!tableModel_) return;

  connect(tableModel_, &TableModel::CurrentRowMoved, this, &TableGrid::FollowCursorSoon);
  connect(tableModel_, &QAbstractItemModel::modelReset, this, &TableGrid::ApplyColumnVisibility);
  connect(tableModel_, &QAbstractItemModel::headerDataChanged, this,
          [this](Qt::Orientation orientation) {
            if (orientation != Qt::Horizontal) return;
            ApplyColumnVisibility();
            ApplyColumnWidths();
          });
  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (tableModel_ && current.isValid()) tableModel_->MoveCurrent(current.row());
          });
  ApplyColumnVisibility();
  ApplyColumnWidths();
  FollowCursor();
}

// A tick that walks every row moves the cursor thousands of times; the grid shows where it
// ended, once the tick is through.
void TableGrid::FollowCursorSoon() {
  if (followPending_) return;
  followPending_ = true;
  QMetaObject::invokeMethod(this, &TableGrid::FollowCursor, Qt::QueuedConnection);
}

// The cursor went to another row on its own (a locate, a delete, a merge) or after the user's
// move; the grid only shows it, so no move goes back to the cursor.
void TableGrid::FollowCursor() {
  followPending_ = false;
  QItemSelectionModel* selection = selectionModel();
  if (!tableModel_ || !selection) return;
  const int row = tableModel_->CurrentRow();
  if (row < 0) {
    selection->clear();
    return;
  }
  const int column = currentIndex().isValid() ? currentIndex().column() : FirstShownColumn();
  selection->setCurrentIndex(tableModel_->index(row, column),
                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TableGrid::ApplyColumnVisibility() {
  if (!tableModel_) return;
  for (int column = 0; column < tableModel_->columnCount(); ++column) {
    setColumnHidden(column, !tableModel_->ColumnShown(column));
  }
}

void TableGrid::ApplyColumnWidths() {
  if (!tableModel_) return;
  const QFontMetrics cellMetrics = fontMetrics();
  const QFontMetrics titleMetrics = horizontalHeader()->fontMetrics();
  for (int column = 0; column < tableModel_->columnCount(); ++column) {
    const QString title = tableModel_->headerData(column, Qt::Horizontal).toString();
    const int width = std::max(cellMetrics.horizontalAdvance(tableModel_->DisplaySample(column)),
                               titleMetrics.horizontalAdvance(title));
    setColumnWidth(column, width + kColumnPadding);
  }
}

int TableGrid::FirstShownColumn() const {
  for (int column = 0; column < tableModel_->columnCount(); ++column) {
    if (!isColumnHidden(column)) return column;
  }
  return 0;
}

}  // namespace tarn
