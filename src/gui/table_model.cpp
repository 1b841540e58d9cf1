#include "gui/table_model.h"

#include <QDate>
#include <QLocale>
#include <QTime>
#include <algorithm>
#include <exception>

#include "platform/dialogs.h"

namespace tarn {
namespace {

constexpr int kIntegerChars = 11;
constexpr int kSmallIntChars = 6;
// Wider texts (a tournament name may take 100 characters) would push the other columns away.
constexpr int kMostTextChars = 30;

QString WithoutTimeZone(const QString& pattern) {
  QString result;
  bool quoted = false;
  for (const QChar c : pattern) {
    if (c == QLatin1Char('\'')) quoted = !quoted;
    if (!quoted && c == QLatin1Char('t')) continue;
    result += c;
  }
  return result.trimmed();
}

// The pattern when its only letters are the runs HH, mm and ss, which the core writes alike.
std::string ClockPattern(const QString& pattern, const std::string& fallback) {
  for (qsizetype i = 0; i < pattern.size();) {
    const QChar c = pattern[i];
    qsizetype run = 1;
    while (i + run < pattern.size() && pattern[i + run] == c) ++run;
    if (c == QLatin1Char('\'')) return fallback;
    const bool token = c == QLatin1Char('H') || c == QLatin1Char('m') || c == QLatin1Char('s');
    if (c.isLetter() && !(token && run == 2)) return fallback;
    i += run;
  }
  return pattern.toStdString();
}

bool IsNumber(ColumnType type) {
  return type == ColumnType::Integer || type == ColumnType::SmallInt;
}

}  // namespace

bool ReportErrors(Dialogs& dialogs, const std::function<void()>& action) {
  try {
    action();
    return true;
  } catch (const std::exception& error) {
    dialogs.ShowError(error.what());
  } catch (...) {
    dialogs.ShowError("An unexpected error ended the operation");
  }
  return false;
}

DateFormats DateFormats::FromPatterns(QString date, const QString& longTime) {
  DateFormats formats;
  formats.date = std::move(date);
  formats.time = WithoutTimeZone(longTime);
  formats.clockTime = ClockPattern(formats.time, formats.clockTime);
  return formats;
}

DateFormats DateFormats::System() {
  const QLocale system = QLocale::system();
  return FromPatterns(system.dateFormat(QLocale::ShortFormat),
                      system.timeFormat(QLocale::LongFormat));
}

TableModel::TableModel(Cursor& cursor, Dialogs& dialogs, DateFormats formats, QObject* parent)
    : QAbstractTableModel(parent),
      cursor_(cursor),
      dialogs_(dialogs),
      formats_(std::move(formats)) {
  cursor_.AddObserver(this);
  rows_ = CursorRows();
}

TableModel::~TableModel() { cursor_.RemoveObserver(this); }

void TableModel::SetGridColumns(std::vector<GridColumn> columns) {
  gridColumns_ = std::move(columns);
  emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

bool TableModel::ColumnShown(int column) const {
  return column >= static_cast<int>(gridColumns_.size()) || gridColumns_[column].shown;
}

const ColumnDef& TableModel::Column(int column) const { return cursor_.Columns().at(column); }

QString TableModel::DisplaySample(int column) const {
  const ColumnDef& def = Column(column);
  switch (def.type) {
    case ColumnType::Integer:
      return QString(kIntegerChars, QLatin1Char('0'));
    case ColumnType::SmallInt:
      return QString(kSmallIntChars, QLatin1Char('0'));
    case ColumnType::Boolean:
      return QStringLiteral("False");
    case ColumnType::DateTime:
      return DateTimeText(*DateTime::FromFields(2000, 12, 28, 23, 59, 59));
    case ColumnType::Text:
      break;
  }
  return QString(std::clamp(def.size, 1, kMostTextChars), QLatin1Char('x'));
}

Value TableModel::CellValue(int row, int column) const {
  if (row < 0 || row >= rows_ || column < 0 || column >= columnCount() || !cursor_.Active()) {
    return {};
  }
  const int position = CursorPosition(row);
  if (position < 0 || position >= cursor_.RecordCount()) return {};
  return cursor_.FieldAt(position, column);
}

int TableModel::CurrentRow() const { return cursor_.Active() ? cursor_.RecNo() - 1 : -1; }

void TableModel::MoveCurrent(int row) {
  if (change_ != Change::None || row < 0 || row >= rows_ || row == CurrentRow()) return;
  ReportErrors(dialogs_, [&] { cursor_.SetRecNo(row + 1); });
}

void TableModel::SortByColumn(int column) {
  if (column < 0 || column >= columnCount() || column == sortedBy_) return;
  sorting_ = true;
  const bool sorted =
      ReportErrors(dialogs_, [&] { cursor_.SetSortColumns({Column(column).name}); });
  sorting_ = false;
  if (sorted) sortedBy_ = column;
}

int TableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int TableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(cursor_.Columns().size());
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.model() != this) return {};
  const ColumnDef& column = Column(index.column());
  const bool check = column.type == ColumnType::Boolean;
  switch (role) {
    case Qt::DisplayRole:
      return check ? QVariant() : DisplayText(CellValue(index.row(), index.column()), column);
    case Qt::EditRole:
      if (check) return {};
      return QString::fromStdString(CellValue(index.row(), index.column()).AsText());
    case Qt::CheckStateRole:
      if (!check) return {};
      return static_cast<int>(CellValue(index.row(), index.column()).AsBool() ? Qt::Checked
                                                                              : Qt::Unchecked);
    case Qt::TextAlignmentRole:
      if (!IsNumber(column.type)) return {};
      return static_cast<int>(Qt::AlignRight | Qt::AlignVCenter);
    default:
      return {};
  }
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= columnCount()) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  if (section < static_cast<int>(gridColumns_.size()) && !gridColumns_[section].caption.isEmpty()) {
    return gridColumns_[section].caption;
  }
  return QString::fromStdString(Column(section).name);
}

Qt::ItemFlags TableModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractTableModel::flags(index);
  if (!index.isValid()) return flags;
  flags |= Qt::ItemNeverHasChildren;
  if (editable_) {
    flags |= Column(index.column()).type == ColumnType::Boolean ? Qt::ItemIsUserCheckable
                                                                : Qt::ItemIsEditable;
  }
  return flags;
}

bool TableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!editable_ || !index.isValid() || index.row() >= rows_ || change_ != Change::None) {
    return false;
  }
  const bool check = Column(index.column()).type == ColumnType::Boolean;
  if (role != (check ? Qt::CheckStateRole : Qt::EditRole)) return false;
  // The cursor tells the change itself (RowChanged), as it tells every other one.
  return ReportErrors(dialogs_, [&] { WriteCell(index.row(), index.column(), value); });
}

void TableModel::WriteCell(int row, int column, const QVariant& value) {
  cursor_.SetRecNo(row + 1);
  const bool started = cursor_.State() == EditState::Browse;
  cursor_.Edit();
  try {
    const ColumnDef& def = Column(column);
    if (def.type == ColumnType::Boolean) {
      cursor_.SetField(def.name, value.toInt() == Qt::Checked);
    } else {
      cursor_.SetFieldText(def.name, value.toString().toStdString());
    }
    cursor_.Post();
  } catch (...) {
    // An edit that was under way before stays for its owner to finish.
    if (started && cursor_.Active() && cursor_.State() != EditState::Browse) cursor_.Cancel();
    throw;
  }
}

void TableModel::RowInserted(int position) {
  change_ = Change::Insert;
  changeAt_ = position;
  beginInsertRows({}, position, position);
  change_ = Change::None;
  ++rows_;
  endInsertRows();
}

void TableModel::RowRemoved(int position) {
  change_ = Change::Remove;
  changeAt_ = position;
  beginRemoveRows({}, position, position);
  change_ = Change::None;
  --rows_;
  endRemoveRows();
}

void TableModel::RowChanged(int position) {
  emit dataChanged(index(position, 0), index(position, columnCount() - 1));
}

void TableModel::CurrentMoved(int position) { emit CurrentRowMoved(position); }

void TableModel::Reset() {
  // Only this model's own sort is remembered; any other change of order forgets it.
  if (!sorting_) sortedBy_ = -1;
  change_ = Change::Reset;
  beginResetModel();
  rows_ = CursorRows();
  change_ = Change::None;
  endResetModel();
}

int TableModel::CursorRows() const { return cursor_.Active() ? cursor_.RecordCount() : 0; }

int TableModel::CursorPosition(int row) const {
  switch (change_) {
    case Change::Insert:
      return row >= changeAt_ ? row + 1 : row;
    case Change::Remove:
      if (row == changeAt_) return -1;
      return row > changeAt_ ? row - 1 : row;
    case Change::None:
    case Change::Reset:
      break;
  }
  return row;
}

QString TableModel::DisplayText(const Value& value, const ColumnDef& column) const {
  if (value.IsNull() || column.type == ColumnType::Boolean) return {};
  if (value.IsDateTime()) return DateTimeText(value.AsDateTime());
  if (value.IsInt()) return QString::number(value.AsInt());
  return QString::fromStdString(value.AsText());
}

// Date and time are written apart, so a local time that a change to summer time skips still
// shows as stored.
QString TableModel::DateTimeText(DateTime value) const {
  const DateTime::Fields f = value.ToFields();
  const QLocale locale;
  const QString date = locale.toString(QDate(f.year, f.month, f.day), formats_.date);
  if (f.hour == 0 && f.minute == 0 && f.second == 0 && f.msec == 0) return date;
  return date + QLatin1Char(' ') +
         locale.toString(QTime(f.hour, f.minute, f.second, f.msec), formats_.time);
}

}  // namespace tarn
