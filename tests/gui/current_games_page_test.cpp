#include "gui/current_games_page.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QTableView>
#include <memory>

#include "base/records.h"
#include "gui/gui_test_support.h"
#include "store/db_monitor.h"
#include "store/table_test_support.h"
#include "support/fakes.h"
#include "support/record_builders.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

using testing::FixedClock;
using testing::RecordingDialogs;
using testing::TempDir;
using testing::VisibleIds;

DateTime At(int day, int hour, int minute = 0, int second = 0) {
  return *DateTime::FromFields(2024, 1, day, hour, minute, second);
}

const QColor kPlEmblem(220, 0, 0);
const QColor kFnuEmblem(0, 0, 220);
const QColor kGrey(128, 128, 128);

QPixmap Filled(int size, const QColor& color) {
  QPixmap pixmap(size, size);
  pixmap.fill(color);
  return pixmap;
}

QColor MapColor(int imgNo) { return QColor(imgNo * 8, 100, 50); }

CurrentGamesPictures FakePictures() {
  return {[](int index, qreal) { return Filled(16, index == 0 ? kPlEmblem : kFnuEmblem); },
          [](int imgNo, qreal) { return Filled(128, MapColor(imgNo)); }};
}

TS_CURRGAME Game(int id, const std::string& mapId, int competitorId,
                 const std::string& competitorName) {
  TS_CURRGAME game;
  game.game_id = id;
  game.map_id = mapId;
  game.competitor_id = competitorId;
  game.competitor_name = competitorName;
  game.own_side = "pl";
  game.turn_limit = 3;
  game.own_turn_date = At(9, 12);
  game.competitor_turn_date = At(10, 15);
  return game;
}

class CurrentGamesPageTest : public ::testing::Test {
 protected:
  CurrentGamesPageTest() {
    db_.AppendPlayer(testing::PlayerRecord(5, "Kestrel", "1650", "Norway"));
    std::filesystem::create_directories(data_ / "pics" / "Avatars");
  }

  CurrentGamesPage& Page() {
    if (!page_) {
      page_ = std::make_unique<CurrentGamesPage>(CurrentGamesServices{
          db_, clock_, dialogs_, data_.Path(), FakePictures(),
          DateFormats::FromPatterns(QStringLiteral("yyyy-MM-dd"), QStringLiteral("HH:mm:ss"))});
      page_->resize(1000, 500);
    }
    return *page_;
  }
  QTableView& Grid() { return *Page().Grid(); }
  QLabel& Label(const char* name) {
    auto* label = Page().findChild<QLabel*>(QString::fromLatin1(name));
    EXPECT_NE(label, nullptr) << name;
    return *label;
  }
  QString Text(const char* name) { return Label(name).text(); }
  // Lets the details follow the changes made so far.
  static void Settle() { QApplication::processEvents(); }
  void Select(int row) {
    Grid().setCurrentIndex(Grid().model()->index(row, 2));
    Settle();
  }
  int Column(const char* field) { return db_.CurrentGames.FieldIndex(field); }

  RecordingDialogs dialogs_;
  FixedClock clock_{At(12, 16)};
  TFormDBMonitor db_{dialogs_, clock_};
  TempDir data_;
  std::unique_ptr<CurrentGamesPage> page_;
};

TEST_F(CurrentGamesPageTest, TheGridCaptionsItsColumnsAndHidesTheOthers) {
  QStringList shown;
  QStringList hidden;
  const QAbstractItemModel& model = *Grid().model();
  ASSERT_EQ(model.columnCount(), 28);
  for (int column = 0; column < model.columnCount(); ++column) {
    const QString caption = model.headerData(column, Qt::Horizontal).toString();
    (Grid().isColumnHidden(column) ? hidden : shown) << caption;
  }
  EXPECT_EQ(shown,
            (QStringList{QStringLiteral("Map name"), QStringLiteral("Competitor"),
                         QStringLiteral("My side"), QStringLiteral("My turn"),
                         QStringLiteral("My turn date"), QStringLiteral("Competitors turn date"),
                         QStringLiteral("Start date"), QStringLiteral("Turn limit"),
                         QStringLiteral("Revenue turns"), QStringLiteral("Chess clock"),
                         QStringLiteral("Rating game"), QStringLiteral("Tournament"),
                         QStringLiteral("Tournament name"), QStringLiteral("Freeze hours"),
                         QStringLiteral("mentor_game")}));
  EXPECT_EQ(hidden, (QStringList{QStringLiteral("game_id"), QStringLiteral("map_id"),
                                 QStringLiteral("competitor_id"), QStringLiteral("game_status"),
                                 QStringLiteral("ingame_time"), QStringLiteral("alies_density"),
                                 QStringLiteral("unit_set"), QStringLiteral("tournament_id"),
                                 QStringLiteral("date_create"), QStringLiteral("date_update"),
                                 QStringLiteral("new_turn"), QStringLiteral("active_deadline"),
                                 QStringLiteral("passive_remaining_time")}));
}

TEST_F(CurrentGamesPageTest, ShowingThePageOrdersByGameIdAndGoesToTheFirstGame) {
  db_.InsertCurrentGame(Game(3, "eden", 5, "Alpha"));
  db_.InsertCurrentGame(Game(1, "eden", 5, "Charlie"));
  db_.InsertCurrentGame(Game(2, "eden", 5, "Bravo"));
  Page().show();
  Settle();
  EXPECT_EQ(VisibleIds(db_.CurrentGames), (std::vector<int64_t>{1, 2, 3}));
  EXPECT_EQ(db_.CurrentGames.RecNo(), 1);
  EXPECT_EQ(Grid().currentIndex().row(), 0);

  Grid().horizontalHeader()->sectionClicked(Column("competitor_name"));
  EXPECT_EQ(VisibleIds(db_.CurrentGames), (std::vector<int64_t>{3, 2, 1}));
  Select(2);
  // The order of the title click lasts until the page is shown again.
  Page().hide();
  EXPECT_EQ(VisibleIds(db_.CurrentGames), (std::vector<int64_t>{3, 2, 1}));
  Page().show();
  Settle();
  EXPECT_EQ(VisibleIds(db_.CurrentGames), (std::vector<int64_t>{1, 2, 3}));
  EXPECT_EQ(db_.CurrentGames.RecNo(), 1);
  EXPECT_EQ(Grid().currentIndex().row(), 0);
  EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(CurrentGamesPageTest, TheDetailsFollowTheSelectedGameAndShowNothingOfThePreviousOne) {
  ASSERT_TRUE(Filled(40, Qt::green)
                  .save(QString::fromStdString((data_ / "pics/Avatars/Kestrel.bmp").string())));
  TS_CURRGAME known = Game(1, "eden", 5, "Kestrel");
  known.tournament_name = "Spring Cup";
  db_.InsertCurrentGame(known);
  db_.InsertCurrentGame(Game(2, "atlantis", 6, "Heron"));
  Page().show();

  Select(0);
  EXPECT_EQ(Text("LabelTournament"), QStringLiteral("Spring Cup"));
  EXPECT_FALSE(Label("Label6").isHidden());
  EXPECT_EQ(Label("ImagePlayerMap").pixmap().toImage().pixelColor(5, 5), MapColor(8));
  EXPECT_EQ(Text("LabelCompName"), QStringLiteral("Kestrel"));
  EXPECT_EQ(Text("LabelCompGlicko"), QStringLiteral("1650"));
  EXPECT_EQ(Text("LabelCompCountry"), QStringLiteral("Norway"));
  EXPECT_EQ(Label("ImageAvatar").pixmap().toImage().pixelColor(5, 5), QColor(Qt::green));

  Select(1);
  EXPECT_EQ(Text("LabelTournament"), QString());
  EXPECT_TRUE(Label("Label6").isHidden());
  EXPECT_TRUE(Label("ImagePlayerMap").pixmap().isNull());
  EXPECT_EQ(Text("LabelCompName"), QStringLiteral("Heron"));
  EXPECT_EQ(Text("LabelCompGlicko"), QString());
  EXPECT_EQ(Text("LabelCompCountry"), QString());
  EXPECT_TRUE(Label("ImageAvatar").pixmap().isNull());
  EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(CurrentGamesPageTest, AnEmptyTableShowsEmptyDetails) {
  db_.InsertCurrentGame(Game(1, "eden", 5, "Kestrel"));
  Page().show();
  Settle();
  ASSERT_EQ(Text("LabelCompName"), QStringLiteral("Kestrel"));

  db_.CurrentGames.Delete();
  Settle();
  for (const char* label : {"LabelTournament", "LabelCompName", "LabelCompGlicko",
                            "LabelCompCountry", "LabelRemainTime", "LabelCompRemTime"}) {
    EXPECT_EQ(Text(label), QString()) << label;
  }
  EXPECT_TRUE(Label("Label6").isHidden());
  EXPECT_TRUE(Label("ImagePlayerMap").pixmap().isNull());
  EXPECT_EQ(Grid().model()->rowCount(), 0);
}

TEST_F(CurrentGamesPageTest, TheClocksRunWithTheClock) {
  TS_CURRGAME chess = Game(1, "eden", 5, "Kestrel");
  chess.chess_clock = true;
  chess.new_turn = true;
  chess.turn_limit = 600;
  chess.active_deadline = At(13, 17, 1, 1);
  chess.passive_remaining_time = 7200;
  db_.InsertCurrentGame(chess);
  TS_CURRGAME daily = Game(2, "eden", 5, "Kestrel");
  daily.new_turn = true;
  db_.InsertCurrentGame(daily);
  Page().show();

  Select(0);
  EXPECT_EQ(Text("LabelRemainTime"), QStringLiteral("1 Days 01:01:01"));
  EXPECT_EQ(Text("LabelCompRemTime"), QStringLiteral("0 Days 02:10:00"));
  clock_.now = At(12, 16, 0, 1);
  Page().RefreshRemainingTimes();
  EXPECT_EQ(Text("LabelRemainTime"), QStringLiteral("1 Days 01:01:00"));

  Select(1);
  EXPECT_EQ(Text("LabelRemainTime"), QStringLiteral("0 Days 22:59:59"));
  EXPECT_EQ(Text("LabelCompRemTime"), QStringLiteral("3 Days 00:00:00"));
  clock_.now = At(13, 15);
  Page().RefreshRemainingTimes();
  EXPECT_EQ(Text("LabelRemainTime"), QStringLiteral("Time expired"));

  // The competitor moves while the game is selected: the clocks start again from his move.
  daily.competitor_turn_date = At(13, 14);
  ASSERT_EQ(db_.MergeCurrentGame(daily), MergeResult::CompetitorMoved);
  Settle();
  EXPECT_EQ(Text("LabelRemainTime"), QStringLiteral("2 Days 23:00:00"));
}

// The colour in the middle of the right end of a cell, away from any text.
QColor CellColor(const QImage& image, const QTableView& grid, int row, int column) {
  const QRect cell = grid.visualRect(grid.model()->index(row, column));
  return image.pixelColor(
      grid.viewport()->mapTo(&grid, QPoint(cell.right() - 3, cell.center().y())));
}

QColor EmblemColor(const QImage& image, const QTableView& grid, int row, int column) {
  const QRect cell = grid.visualRect(grid.model()->index(row, column));
  return image.pixelColor(
      grid.viewport()->mapTo(&grid, QPoint(cell.left() + 8, cell.center().y())));
}

TEST_F(CurrentGamesPageTest, RowsWhereThePlayerIsToMoveAreGreyAndSidesShowTheirEmblems) {
  struct Row {
    const char* side;
    bool newTurn;
    bool chessClock;
  };
  const Row rows[] = {
      {"pl", true, false}, {"fnu", false, false}, {"", true, false}, {"pl", false, true}};
  int id = 1;
  for (const Row& row : rows) {
    TS_CURRGAME game = Game(id++, "eden", 5, "Kestrel");
    game.own_side = row.side;
    game.new_turn = row.newTurn;
    game.chess_clock = row.chessClock;
    db_.InsertCurrentGame(game);
  }
  Page().resize(2600, 500);
  Page().show();
  Select(0);
  const QImage image = Grid().grab().toImage();
  const int mapName = Column("map_name");
  const int side = Column("own_side");

  const QColor selected = CellColor(image, Grid(), 0, mapName);
  EXPECT_NE(selected, kGrey);
  EXPECT_EQ(CellColor(image, Grid(), 2, mapName), kGrey);
  EXPECT_EQ(CellColor(image, Grid(), 2, side), kGrey);
  EXPECT_NE(CellColor(image, Grid(), 1, mapName), kGrey);
  EXPECT_EQ(CellColor(image, Grid(), 1, mapName), CellColor(image, Grid(), 3, mapName));

  EXPECT_EQ(EmblemColor(image, Grid(), 0, side), kPlEmblem);
  EXPECT_EQ(EmblemColor(image, Grid(), 1, side), kFnuEmblem);
  EXPECT_EQ(EmblemColor(image, Grid(), 2, side), kGrey);
  EXPECT_EQ(EmblemColor(image, Grid(), 3, side), kPlEmblem);

  // A marked check box is drawn differently from an empty one on the same background.
  const int chess = Column("chess_clock");
  const QRect unmarked = Grid().visualRect(Grid().model()->index(1, chess));
  const QRect marked = Grid().visualRect(Grid().model()->index(3, chess));
  const QPoint offset = Grid().viewport()->mapTo(&Grid(), QPoint());
  EXPECT_NE(image.copy(unmarked.translated(offset)), image.copy(marked.translated(offset)));
  EXPECT_EQ(Grid().model()->index(3, chess).data().toString(), QString());
}

}  // namespace
}  // namespace tarn
