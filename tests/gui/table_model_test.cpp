#include "gui/table_model.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <memory>

#include "gui/gui_test_support.h"
#include "gui/table_grid.h"
#include "store/table_test_support.h"
#include "support/fakes.h"

namespace tarn {
namespace {

using testing::AppendGame;
using ::testing::ElementsAre;
using testing::MakeGamesTable;
using testing::RecordingDialogs;
using testing::VisibleIds;

const DateFormats kFormats =
    DateFormats::FromPatterns(QStringLiteral("yyyy-MM-dd"), QStringLiteral("HH:mm:ss"));

// Every warning Qt writes while it lives; the model tester reports what it finds this way.
class QtWarnings {
 public:
  QtWarnings() : previous_(qInstallMessageHandler(&Collect)) { collected_ = &messages_; }
  ~QtWarnings() {
    qInstallMessageHandler(previous_);
    collected_ = nullptr;
  }
  const QStringList& Messages() const { return messages_; }

 private:
  static void Collect(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtDebugMsg && type != QtInfoMsg && collected_) *collected_ << text;
  }
  static inline QStringList* collected_ = nullptr;
  QStringList messages_;
  QtMessageHandler previous_;
};

// The game ids the model shows, read through Qt's interface.
std::vector<int64_t> ModelIds(const TableModel& model) {
  std::vector<int64_t> ids;
  for (int row = 0; row < model.rowCount(); ++row) {
    ids.push_back(model.index(row, 0).data().toString().toLongLong());
  }
  return ids;
}

// Five games: ids 1 to 5, competitors E, C, A, D, B.
void AddFiveGames(Table& games) {
  const char* competitors[] = {"E", "C", "A", "D", "B"};
  for (int id = 1; id <= 5; ++id) AppendGame(games, id, "eden", competitors[id - 1]);
}

void Rename(Cursor& games, int id, const std::string& competitor) {
  ASSERT_TRUE(games.Locate("game_id", id));
  games.Edit();
  games.SetField("competitor_name", competitor);
  games.Post();
}

TEST(TableModelTest, FollowsEveryChangeOfTheCursorUnderTheModelTester) {
  Table games = MakeGamesTable();
  AddFiveGames(games);
  std::unique_ptr<Cursor> byDate = games.CreateCursor();
  byDate->SetIndexName("OwnTurnDateIndex");
  RecordingDialogs dialogs;
  QtWarnings warnings;
  TableModel model(games, dialogs, kFormats);
  TableModel otherModel(*byDate, dialogs, kFormats);
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
  QAbstractItemModelTester otherTester(&otherModel,
                                       QAbstractItemModelTester::FailureReportingMode::Warning);

  struct Step {
    const char* name;
    std::function<void()> run;
  };
  const Step steps[] = {
      {"append", [&] { AppendGame(games, 6, "swamp", "F"); }},
      {"edit in place", [&] { Rename(games, 2, "CC"); }},
      {"sort by competitor", [&] { games.SetSortColumns({"competitor_name"}); }},
      {"append into the order", [&] { AppendGame(games, 7, "iron", "AB"); }},
      {"edit that moves the row", [&] { Rename(games, 1, "A0"); }},
      {"edit that moves the row to the end", [&] { Rename(games, 3, "Z"); }},
      {"filter",
       [&] {
         games.SetFilter("map_id = 'eden'");
         games.SetFiltered(true);
       }},
      {"edit that leaves the filter",
       [&] {
         ASSERT_TRUE(games.Locate("game_id", 4));
         games.Edit();
         games.SetField("map_id", "swamp");
         games.Post();
       }},
      {"append hidden by the filter", [&] { AppendGame(games, 8, "swamp", "H"); }},
      {"delete the current row",
       [&] {
         games.SetRecNo(2);
         games.Delete();
       }},
      {"delete the last row",
       [&] {
         games.SetRecNo(games.RecordCount());
         games.Delete();
       }},
      {"filter off", [&] { games.SetFiltered(false); }},
      {"index by name", [&] { games.SetIndexName("GameIdIndex"); }},
      {"load",
       [&] {
         games.Load({{9, "eden", "I", "pl", 1, true, DateTime(40000.5)}});
       }},
      {"delete the only row", [&] { games.Delete(); }},
      {"close", [&] { games.Close(); }},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    step.run();
    EXPECT_EQ(warnings.Messages(), QStringList());
    const bool open = games.Active();
    EXPECT_EQ(ModelIds(model), open ? VisibleIds(games) : std::vector<int64_t>());
    EXPECT_EQ(ModelIds(otherModel), open ? VisibleIds(*byDate) : std::vector<int64_t>());
  }
}

TEST(TableModelTest, OneChangedRowAmongTwentyThousandIsOneDataChanged) {
  Table games = MakeGamesTable();
  std::vector<std::vector<Value>> rows;
  for (int id = 1; id <= 20000; ++id) {
    rows.push_back({id, "eden", "Rival " + std::to_string(id), "pl", 1, false, DateTime()});
  }
  games.Load(std::move(rows));
  RecordingDialogs dialogs;
  TableModel model(games, dialogs, kFormats);
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
  QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
  QSignalSpy layout(&model, &QAbstractItemModel::layoutChanged);
  QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
  QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);

  Rename(games, 12345, "Moved");
  ASSERT_EQ(changed.size(), 1);
  EXPECT_EQ(changed[0][0].toModelIndex().row(), 12344);
  EXPECT_EQ(changed[0][1].toModelIndex().row(), 12344);
  EXPECT_EQ(model.index(12344, 2).data().toString(), QStringLiteral("Moved"));

  AppendGame(games, 20001, "iron", "New");
  games.Delete();
  EXPECT_EQ(inserted.size(), 1);
  EXPECT_EQ(removed.size(), 1);
  EXPECT_EQ(reset.size(), 0);
  EXPECT_EQ(layout.size(), 0);
  EXPECT_EQ(model.rowCount(), 20000);
}

TEST(TableModelTest, ShowsEachKindOfValue) {
  Table table("Values", {{"number", ColumnType::Integer},
                         {"small", ColumnType::SmallInt},
                         {"text", ColumnType::Text, 20},
                         {"flag", ColumnType::Boolean},
                         {"moment", ColumnType::DateTime}});
  const DateTime afternoon = *DateTime::FromFields(2024, 1, 10, 15, 4, 5);
  const DateTime midnight = *DateTime::FromFields(2024, 1, 10);
  table.Load({{42, -7, "Lion's Eye", true, afternoon},
              {Value(), Value(), "Gr\xC3\xBCn", false, midnight},
              {0, 0, Value(), Value(), Value()}});
  RecordingDialogs dialogs;
  TableModel model(table, dialogs, kFormats);
  TableModel otherFormats(
      table, dialogs,
      DateFormats::FromPatterns(QStringLiteral("dd.MM.yy"), QStringLiteral("HH:mm")));
  const QString none;
  struct Case {
    int row, column;
    QString text;
  };
  const Case cases[] = {
      {0, 0, QStringLiteral("42")},
      {0, 1, QStringLiteral("-7")},
      {0, 2, QStringLiteral("Lion's Eye")},
      {0, 3, none},
      {0, 4, QStringLiteral("2024-01-10 15:04:05")},
      {1, 0, none},
      {1, 2, QString::fromUtf8("Gr\xC3\xBCn")},
      {1, 4, QStringLiteral("2024-01-10")},
      {2, 0, QStringLiteral("0")},
      {2, 2, none},
      {2, 4, none},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.row) + "," + std::to_string(c.column));
    EXPECT_EQ(model.index(c.row, c.column).data().toString(), c.text);
  }
  EXPECT_EQ(otherFormats.index(0, 4).data().toString(), QStringLiteral("10.01.24 15:04"));

  const QVariant checks[] = {model.index(0, 3).data(Qt::CheckStateRole),
                             model.index(1, 3).data(Qt::CheckStateRole),
                             model.index(2, 3).data(Qt::CheckStateRole)};
  EXPECT_EQ(checks[0].toInt(), Qt::Checked);
  EXPECT_EQ(checks[1].toInt(), Qt::Unchecked);
  EXPECT_EQ(checks[2].toInt(), Qt::Unchecked);
  EXPECT_FALSE(model.index(0, 2).data(Qt::CheckStateRole).isValid());
  EXPECT_EQ(model.index(0, 0).data(Qt::TextAlignmentRole).toInt(),
            static_cast<int>(Qt::AlignRight | Qt::AlignVCenter));
  EXPECT_FALSE(model.index(0, 2).data(Qt::TextAlignmentRole).isValid());
}

TEST(TableModelTest, DateFormatsLeaveTheTimeZoneOutAndGiveTheClocksA24HourPattern) {
  struct Case {
    const char* longTime;
    const char* time;
    const char* clockTime;
  };
  const Case cases[] = {
      {"HH:mm:ss t", "HH:mm:ss", "HH:mm:ss"},
      {"HH.mm.ss", "HH.mm.ss", "HH.mm.ss"},
      {"h:mm:ss AP t", "h:mm:ss AP", "HH:mm:ss"},
      {"H:mm:ss", "H:mm:ss", "HH:mm:ss"},
      {"HH:mm", "HH:mm", "HH:mm"},
      {"HH 'h' mm", "HH 'h' mm", "HH:mm:ss"},
      {"t HH:mm:ss", "HH:mm:ss", "HH:mm:ss"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.longTime);
    const DateFormats formats =
        DateFormats::FromPatterns(QStringLiteral("d/M/yy"), QString::fromUtf8(c.longTime));
    EXPECT_EQ(formats.date, QStringLiteral("d/M/yy"));
    EXPECT_EQ(formats.time, QString::fromUtf8(c.time));
    EXPECT_EQ(formats.clockTime, c.clockTime);
  }
}

TEST(TableModelTest, ColumnsAreCaptionedAndHiddenByPosition) {
  Table games = MakeGamesTable();
  AddFiveGames(games);
  RecordingDialogs dialogs;
  TableModel model(games, dialogs, kFormats);
  TableGrid grid;
  grid.setModel(&model);
  model.SetGridColumns(
      {{QString(), false}, {QString(), true}, {QStringLiteral("Competitor"), true}});

  QStringList captions;
  for (int column = 0; column < model.columnCount(); ++column) {
    captions << model.headerData(column, Qt::Horizontal).toString();
  }
  EXPECT_EQ(captions, (QStringList{QStringLiteral("game_id"), QStringLiteral("map_id"),
                                   QStringLiteral("Competitor"), QStringLiteral("own_side"),
                                   QStringLiteral("img_no"), QStringLiteral("new_turn"),
                                   QStringLiteral("own_turn_date")}));
  EXPECT_TRUE(grid.isColumnHidden(0));
  EXPECT_FALSE(grid.isColumnHidden(1));
  EXPECT_FALSE(grid.isColumnHidden(6));

  // A new order resets the model; the column stays hidden.
  games.SetSortColumns({"competitor_name"});
  EXPECT_TRUE(grid.isColumnHidden(0));
}

class TableGridTest : public ::testing::Test {
 protected:
  TableGridTest() {
    AddFiveGames(games_);
    grid_.setModel(&model_);
    grid_.resize(600, 300);
    grid_.show();
  }
  static void Settle() { QApplication::processEvents(); }
  int GridRow() const { return grid_.currentIndex().row(); }
  std::vector<int> SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : grid_.selectionModel()->selectedRows()) {
      rows.push_back(index.row());
    }
    return rows;
  }
  // The game the grid's current row shows, and the one the cursor is on.
  int64_t GridGame() const { return model_.index(GridRow(), 0).data().toLongLong(); }
  int64_t CursorGame() const { return games_.Field("game_id").AsInt(); }

  Table games_ = MakeGamesTable();
  RecordingDialogs dialogs_;
  TableModel model_{games_, dialogs_, kFormats};
  TableGrid grid_;
};

TEST_F(TableGridTest, TheGridFollowsTheCursor) {
  EXPECT_EQ(GridRow(), games_.RecNo() - 1);
  games_.SetRecNo(3);
  Settle();
  EXPECT_EQ(GridRow(), 2);
  EXPECT_THAT(SelectedRows(), ElementsAre(2));
  ASSERT_TRUE(games_.Locate("game_id", 5));
  Settle();
  EXPECT_EQ(GridRow(), 4);

  // The engine puts the cursor on the next row; the grid must not move it on by itself.
  games_.SetRecNo(2);
  Settle();
  games_.Delete();
  Settle();
  EXPECT_EQ(games_.RecNo(), 2);
  EXPECT_EQ(CursorGame(), 3);
  EXPECT_EQ(GridRow(), 1);
  EXPECT_EQ(GridGame(), 3);

  games_.SetRecNo(games_.RecordCount());
  Settle();
  games_.Delete();
  Settle();
  EXPECT_EQ(CursorGame(), 4);
  EXPECT_EQ(GridGame(), 4);

  // After a new order and a row that comes in above, the grid is on the cursor's game.
  games_.SetSortColumns({"competitor_name"});
  Settle();
  EXPECT_EQ(GridGame(), CursorGame());
  ASSERT_TRUE(games_.Locate("game_id", 4));
  AppendGame(games_, 6, "swamp", "0");
  ASSERT_TRUE(games_.Locate("game_id", 4));
  Settle();
  EXPECT_EQ(GridGame(), 4);
  EXPECT_EQ(GridRow(), games_.RecNo() - 1);

  games_.Close();
  Settle();
  EXPECT_FALSE(grid_.currentIndex().isValid());
}

// A tick that walks every row must not drag the grid through all of them.
TEST_F(TableGridTest, AWalkOverTheRowsMovesTheGridOnceAtItsEnd) {
  for (int id = 6; id <= 100; ++id) AppendGame(games_, id, "eden", "Z");
  Settle();
  QSignalSpy moved(grid_.selectionModel(), &QItemSelectionModel::currentChanged);
  for (int recNo = 1; recNo <= games_.RecordCount(); ++recNo) games_.SetRecNo(recNo);
  games_.SetRecNo(40);
  Settle();
  EXPECT_EQ(moved.size(), 1);
  EXPECT_EQ(GridRow(), 39);
}

TEST_F(TableGridTest, TheUsersMoveMovesTheCursorOnce) {
  QSignalSpy moved(&model_, &TableModel::CurrentRowMoved);
  grid_.setCurrentIndex(model_.index(3, 2));
  EXPECT_EQ(games_.RecNo(), 4);
  EXPECT_EQ(moved.size(), 1);

  grid_.setFocus();
  QTest::keyClick(&grid_, Qt::Key_Up);
  EXPECT_EQ(games_.RecNo(), 3);
  EXPECT_EQ(GridRow(), 2);
  EXPECT_EQ(moved.size(), 2);
  EXPECT_THAT(SelectedRows(), ElementsAre(2));
  EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(TableGridTest, ATitleClickOrdersByThatColumnOnce) {
  QSignalSpy reset(&model_, &QAbstractItemModel::modelReset);
  QHeaderView* header = grid_.horizontalHeader();
  const auto clickTitle = [&](int column) {
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
  };
  clickTitle(2);
  EXPECT_THAT(VisibleIds(games_), ElementsAre(3, 5, 2, 4, 1));
  EXPECT_EQ(ModelIds(model_), VisibleIds(games_));
  EXPECT_EQ(reset.size(), 1);
  Settle();
  EXPECT_EQ(GridRow(), games_.RecNo() - 1);

  clickTitle(2);
  EXPECT_EQ(reset.size(), 1);

  // Once another order was chosen, the title orders again.
  games_.SetIndexName("GameIdIndex");
  clickTitle(2);
  EXPECT_THAT(VisibleIds(games_), ElementsAre(3, 5, 2, 4, 1));
  EXPECT_EQ(reset.size(), 3);
}

TEST(TableModelEditTest, IsReadOnlyUnlessMadeEditable) {
  Table games = MakeGamesTable();
  AddFiveGames(games);
  RecordingDialogs dialogs;
  TableModel model(games, dialogs, kFormats);
  const QModelIndex competitor = model.index(1, 2);
  EXPECT_FALSE(model.flags(competitor) & Qt::ItemIsEditable);
  EXPECT_FALSE(model.setData(competitor, QStringLiteral("Z")));
  EXPECT_EQ(competitor.data().toString(), QStringLiteral("C"));

  model.SetEditable(true);
  EXPECT_TRUE(model.flags(competitor) & Qt::ItemIsEditable);
  EXPECT_TRUE(model.flags(model.index(1, 5)) & Qt::ItemIsUserCheckable);
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
  EXPECT_TRUE(model.setData(competitor, QStringLiteral("Z")));
  EXPECT_TRUE(model.setData(model.index(1, 5), static_cast<int>(Qt::Checked), Qt::CheckStateRole));
  EXPECT_EQ(changed.size(), 2);
  ASSERT_TRUE(games.Locate("game_id", 2));
  EXPECT_EQ(games.Field("competitor_name").AsText(), "Z");
  EXPECT_TRUE(games.Field("new_turn").AsBool());
  EXPECT_EQ(games.State(), EditState::Browse);
  EXPECT_TRUE(dialogs.errors.empty());
}

TEST(TableModelEditTest, AValueTheColumnRefusesIsShownAndChangesNothing) {
  Table games = MakeGamesTable();
  AddFiveGames(games);
  RecordingDialogs dialogs;
  TableModel model(games, dialogs, kFormats);
  model.SetEditable(true);
  EXPECT_FALSE(model.setData(model.index(3, 0), QStringLiteral("abc")));
  EXPECT_THAT(dialogs.errors,
              ElementsAre("Games: 'abc' is not a valid integer value for field 'game_id'"));
  EXPECT_EQ(games.State(), EditState::Browse);
  EXPECT_THAT(VisibleIds(games), ElementsAre(1, 2, 3, 4, 5));
}

}  // namespace
}  // namespace tarn
