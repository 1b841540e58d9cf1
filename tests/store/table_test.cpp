#include "store/table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "table_test_support.h"

namespace tarn {
namespace {

using testing::AppendGame;
using ::testing::ElementsAre;
using testing::MakeGamesTable;
using testing::VisibleIds;

std::string ErrorOf(const std::function<void()>& operation) {
  try {
    operation();
  } catch (const TableError& e) {
    return e.what();
  }
  return "no error";
}

class GamesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AppendGame(games, 30, "iron", "Zed", "pl");
    AppendGame(games, 10, "eden", "Anna", "fnu");
    AppendGame(games, 20, "iron", "Bob", "pl");
    games.MarkSaved();
  }
  Table games = MakeGamesTable();
};

TEST_F(GamesTest, AppendAndPostKeepTheNewRowCurrent) {
  games.Append();
  EXPECT_EQ(games.State(), EditState::Insert);
  EXPECT_EQ(games.Field("game_id"), Value());  // unassigned columns are empty
  games.SetField("game_id", 40);
  games.Post();
  EXPECT_EQ(games.State(), EditState::Browse);
  EXPECT_EQ(games.RecNo(), 4);
  EXPECT_EQ(games.Field("game_id"), Value(40));
  EXPECT_EQ(games.Field("map_id"), Value());
  EXPECT_THAT(VisibleIds(games), ElementsAre(30, 10, 20, 40));
}

TEST_F(GamesTest, EditPostAndCancel) {
  games.SetRecNo(2);
  games.Edit();
  games.SetField("map_id", "swamp");
  EXPECT_EQ(games.Field("map_id"), Value("swamp"));  // reads follow the edit buffer
  EXPECT_EQ(games.FieldAt(1, 1), Value("swamp"));
  games.Edit();  // already editing: keeps the pending change
  games.Cancel();
  EXPECT_EQ(games.Field("map_id"), Value("eden"));
  EXPECT_FALSE(games.Changed());

  games.Edit();
  games.SetField("map_id", "swamp");
  games.Post();
  EXPECT_EQ(games.RecNo(), 2);
  EXPECT_EQ(games.Field("map_id"), Value("swamp"));

  games.Append();
  games.SetField("game_id", 99);
  games.Cancel();  // the inserted row disappears
  EXPECT_THAT(VisibleIds(games), ElementsAre(30, 10, 20));
  EXPECT_EQ(games.RecNo(), 2);
}

TEST_F(GamesTest, EditOnAnEmptyTableStartsANewRow) {
  games.Load({});
  games.Edit();
  EXPECT_EQ(games.State(), EditState::Insert);
  games.SetField("game_id", 1);
  games.Post();
  EXPECT_EQ(games.RecordCount(), 1);
}

TEST_F(GamesTest, DeleteMovesToTheNextOrThePreviousRow) {
  games.SetRecNo(2);
  games.Delete();
  EXPECT_EQ(games.Field("game_id"), Value(20));  // the next row
  games.Delete();
  EXPECT_EQ(games.Field("game_id"), Value(30));  // the last was removed: the previous one
  games.Delete();
  EXPECT_EQ(games.RecordCount(), 0);
  EXPECT_EQ(games.RecNo(), 0);
  EXPECT_TRUE(games.Eof());
  EXPECT_EQ(games.Field("game_id"), Value());
  EXPECT_EQ(ErrorOf([&] { games.Delete(); }),
            "Games: Cannot perform this operation on an empty dataset");
  EXPECT_TRUE(games.Changed());  // emptying the table is a change
}

TEST_F(GamesTest, DeleteOnARowBeingInsertedDiscardsIt) {
  games.SetRecNo(2);
  games.Append();
  games.SetField("game_id", 50);
  games.Delete();
  EXPECT_EQ(games.State(), EditState::Browse);
  EXPECT_THAT(VisibleIds(games), ElementsAre(30, 10, 20));
  EXPECT_EQ(games.Field("game_id"), Value(10));
  EXPECT_FALSE(games.Changed());
}

TEST_F(GamesTest, DeleteWhileEditingDropsTheEditAndTheRow) {
  games.First();
  games.Edit();
  games.SetField("map_id", "swamp");
  games.Delete();
  EXPECT_EQ(games.State(), EditState::Browse);
  EXPECT_THAT(VisibleIds(games), ElementsAre(10, 20));
}

TEST_F(GamesTest, MovesPostAPendingEdit) {
  const std::function<void(Cursor&)> moves[] = {
      [](Cursor& c) { c.Next(); }, [](Cursor& c) { c.First(); }, [](Cursor& c) { c.SetRecNo(3); },
      [](Cursor& c) { c.Locate("game_id", 20); }};
  int img = 0;
  for (const auto& move : moves) {
    games.First();
    games.Edit();
    games.SetField("img_no", ++img);
    move(games);
    EXPECT_EQ(games.State(), EditState::Browse);
    EXPECT_EQ(games.FieldAt(0, 4), Value(img));
  }
}

TEST_F(GamesTest, PostOrCancelOutsideEditing) {
  EXPECT_EQ(ErrorOf([&] { games.Post(); }), "Games: Dataset not in edit or insert mode");
  EXPECT_EQ(ErrorOf([&] { games.Cancel(); }), "Games: Dataset not in edit or insert mode");
  EXPECT_EQ(ErrorOf([&] { games.SetField("map_id", "x"); }),
            "Games: Dataset not in edit or insert mode");
}

TEST_F(GamesTest, UnknownFieldNames) {
  EXPECT_EQ(ErrorOf([&] { games.Field("mapid"); }), "Games: Field 'mapid' not found");
  games.Edit();
  EXPECT_EQ(ErrorOf([&] { games.SetField("nope", 1); }), "Games: Field 'nope' not found");
  EXPECT_EQ(ErrorOf([&] { games.Locate("nope", 1); }), "Games: Field 'nope' not found");
  EXPECT_EQ(ErrorOf([&] {
              games.SetSortColumns({"map_id", "nope"});
            }),
            "Games: Field 'nope' not found");
  EXPECT_EQ(ErrorOf([&] { games.SetIndexName("NoSuchIndex"); }),
            "Games: Index 'NoSuchIndex' not found");
}

TEST_F(GamesTest, AClosedTableRefusesEveryOperation) {
  games.Close();
  EXPECT_FALSE(games.Active());
  const std::string closed = "Games: Cannot perform this operation on a closed dataset";
  const std::function<void()> operations[] = {[&] { games.Append(); },
                                              [&] { games.Edit(); },
                                              [&] { games.Post(); },
                                              [&] { games.Cancel(); },
                                              [&] { games.Delete(); },
                                              [&] { games.SetField("map_id", "x"); },
                                              [&] { games.Locate("game_id", 1); },
                                              [&] { games.RecordCount(); },
                                              [&] { games.RecNo(); },
                                              [&] { games.SetRecNo(1); },
                                              [&] { games.First(); },
                                              [&] { games.Next(); },
                                              [&] { games.Eof(); },
                                              [&] { games.Rows(); }};
  for (const auto& operation : operations) EXPECT_EQ(ErrorOf(operation), closed);
  EXPECT_EQ(ErrorOf([&] { games.Field("map_id"); }), "Games: Field 'map_id' not found");
  EXPECT_EQ(ErrorOf([&] { games.FieldAt(0, 1); }), "Games: Field 'map_id' not found");

  games.Load({{Value(1), Value("eden"), Value(), Value(), Value(), Value(), Value()}});
  EXPECT_EQ(games.RecordCount(), 1);
  EXPECT_FALSE(games.Changed());
}

TEST_F(GamesTest, LocateIsExactAndCaseSensitive) {
  AppendGame(games, 40, "Iron", "Anna");
  games.First();
  struct Case {
    std::string column;
    Value value;
    int64_t found;  // 0: not found
  };
  const Case cases[] = {{"map_id", Value("iron"), 30},
                        {"map_id", Value("Iron"), 40},
                        {"map_id", Value("IRON"), 0},
                        {"map_id", Value("iro"), 0},
                        {"game_id", Value("10"), 10},
                        {"game_id", Value("x"), 0},
                        {"game_id", Value(int64_t{1} << 40), 0},
                        {"competitor_name", Value("Anna"), 10},
                        {"img_no", Value(), 30}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.column + " = " + c.value.AsText());
    games.SetRecNo(3);
    EXPECT_EQ(games.Locate(c.column, c.value), c.found != 0);
    EXPECT_EQ(games.Field("game_id").AsInt(), c.found != 0 ? c.found : 20);
  }
}

TEST_F(GamesTest, LocateFollowsChangesAndTheCursorsOrderAndFilter) {
  ASSERT_TRUE(games.Locate("map_id", "eden"));  // builds the map_id index
  games.Edit();
  games.SetField("map_id", "swamp");
  games.Post();
  EXPECT_FALSE(games.Locate("map_id", "eden"));
  EXPECT_TRUE(games.Locate("map_id", "swamp"));
  games.Delete();
  EXPECT_FALSE(games.Locate("map_id", "swamp"));
  AppendGame(games, 5, "eden", "Bob");
  EXPECT_TRUE(games.Locate("map_id", "eden"));
  EXPECT_EQ(games.Field("game_id"), Value(5));

  // The first match in the cursor's order, among the rows its filter shows.
  games.SetIndexName("GameIdIndex");
  ASSERT_TRUE(games.Locate("map_id", "iron"));
  EXPECT_EQ(games.Field("game_id"), Value(20));
  EXPECT_EQ(games.RecNo(), 2);
  games.SetFilter("competitor_name = 'Zed'");
  games.SetFiltered(true);
  ASSERT_TRUE(games.Locate("map_id", "iron"));
  EXPECT_EQ(games.Field("game_id"), Value(30));
  EXPECT_FALSE(games.Locate("game_id", 20));
}

TEST_F(GamesTest, RecordNumbersCountTheCurrentOrderAndFilter) {
  games.SetFilter("map_id = 'iron'");
  games.SetFiltered(true);
  EXPECT_EQ(games.RecordCount(), 2);
  EXPECT_THAT(VisibleIds(games), ElementsAre(30, 20));
  games.SetSortColumns({"game_id"});
  EXPECT_THAT(VisibleIds(games), ElementsAre(20, 30));
  ASSERT_TRUE(games.Locate("game_id", 30));
  EXPECT_EQ(games.RecNo(), 2);
  games.SetRecNo(99);  // beyond the end: the last row
  EXPECT_EQ(games.Field("game_id"), Value(30));
  games.SetRecNo(-3);
  EXPECT_EQ(games.Field("game_id"), Value(20));
  games.SetFiltered(false);
  EXPECT_THAT(VisibleIds(games), ElementsAre(10, 20, 30));
  EXPECT_EQ(games.RecNo(), 2);  // still on game 20
}

TEST_F(GamesTest, WalkWithFirstNextEof) {
  std::vector<int64_t> walked;
  for (games.First(); !games.Eof(); games.Next()) walked.push_back(games.Field("game_id").AsInt());
  EXPECT_THAT(walked, ElementsAre(30, 10, 20));
  EXPECT_EQ(games.Field("game_id"), Value(20));  // Eof stays on the last row
}

TEST_F(GamesTest, NamedIndexAndSortOrders) {
  const auto date = [](int day) { return Value(*DateTime::FromFields(2010, 4, day)); };
  games.First();
  for (const int day : {3, 9, 0}) {
    games.Edit();
    if (day) games.SetField("own_turn_date", date(day));
    games.Post();
    games.Next();
  }
  games.SetIndexName("OwnTurnDateIndex");  // descending, empty dates last
  EXPECT_THAT(VisibleIds(games), ElementsAre(10, 30, 20));
  games.SetIndexName("GameIdIndex");
  EXPECT_THAT(VisibleIds(games), ElementsAre(10, 20, 30));
  games.SetSortColumns({"own_turn_date"});  // ascending, empty dates first
  EXPECT_THAT(VisibleIds(games), ElementsAre(20, 30, 10));
  games.SetSortColumns({"map_id"});  // ties stay in append order
  EXPECT_THAT(VisibleIds(games), ElementsAre(10, 30, 20));
  games.SetIndexName("");
  EXPECT_THAT(VisibleIds(games), ElementsAre(30, 10, 20));
}

TEST_F(GamesTest, PostedRowMovesWithItsNewValues) {
  games.SetIndexName("GameIdIndex");
  games.First();  // game 10
  games.Edit();
  games.SetField("game_id", 25);
  games.Post();
  EXPECT_THAT(VisibleIds(games), ElementsAre(20, 25, 30));
  EXPECT_EQ(games.RecNo(), 2);
  EXPECT_EQ(games.Field("game_id"), Value(25));

  // A row edited out of the filter leaves: the row now at its place becomes current.
  games.SetFilter("own_side = 'pl'");
  games.SetFiltered(true);
  games.First();
  games.Edit();
  games.SetField("own_side", "fnu");
  games.Post();
  EXPECT_THAT(VisibleIds(games), ElementsAre(30));
  EXPECT_EQ(games.Field("game_id"), Value(30));
}

TEST_F(GamesTest, SecondCursorIsIndependent) {
  const auto other = games.CreateCursor();
  other->SetIndexName("GameIdIndex");
  other->SetFilter("map_id = 'iron'");
  other->SetFiltered(true);
  other->SetRecNo(other->RecordCount());
  games.SetRecNo(2);
  EXPECT_EQ(other->Field("game_id"), Value(30));
  EXPECT_EQ(games.Field("game_id"), Value(10));
  EXPECT_EQ(games.RecordCount(), 3);
  EXPECT_EQ(other->RecordCount(), 2);

  // Changes through either cursor are seen by both.
  AppendGame(*other, 15, "iron", "Cid");
  EXPECT_THAT(VisibleIds(*other), ElementsAre(15, 20, 30));
  EXPECT_THAT(VisibleIds(games), ElementsAre(30, 10, 20, 15));
  EXPECT_EQ(games.Field("game_id"), Value(10));

  // A current row deleted elsewhere gives way to its neighbour.
  ASSERT_TRUE(other->Locate("game_id", 30));
  ASSERT_TRUE(games.Locate("game_id", 30));
  games.Delete();
  EXPECT_EQ(other->Field("game_id"), Value(20));
  EXPECT_EQ(other->RecNo(), 2);

  // An edit of a row deleted elsewhere is dropped, never written into a dead row.
  other->Edit();
  other->SetField("map_id", "swamp");
  ASSERT_TRUE(games.Locate("game_id", 20));
  games.Delete();
  EXPECT_EQ(other->State(), EditState::Browse);
  EXPECT_THAT(VisibleIds(*other), ElementsAre(15));
  EXPECT_FALSE(games.Locate("map_id", "swamp"));

  games.Close();
  EXPECT_FALSE(other->Active());
  EXPECT_THROW(other->RecordCount(), TableError);
}

TEST_F(GamesTest, ChangeTracking) {
  struct Case {
    std::string name;
    std::function<void(Table&)> operation;
    bool changed;
  };
  const Case cases[] = {
      {"reads and moves",
       [](Table& t) {
         t.Locate("game_id", 20);
         t.Next();
         t.Field("map_id");
       },
       false},
      {"post without a different value",
       [](Table& t) {
         t.Edit();
         t.Post();
       },
       true},
      {"append", [](Table& t) { AppendGame(t, 1, "eden", "X"); }, true},
      {"delete every row",
       [](Table& t) {
         while (t.RecordCount() > 0) t.Delete();
       },
       true},
      {"insert cancelled",
       [](Table& t) {
         t.Append();
         t.SetField("game_id", 1);
         t.Cancel();
       },
       false},
      {"insert discarded by delete",
       [](Table& t) {
         t.Append();
         t.Delete();
       },
       false},
      {"edit cancelled",
       [](Table& t) {
         t.Edit();
         t.SetField("map_id", "x");
         t.Cancel();
       },
       false},
      {"filter and order",
       [](Table& t) {
         t.SetFilter("map_id = 'x'");
         t.SetFiltered(true);
         t.SetIndexName("GameIdIndex");
       },
       false},
  };
  for (const Case& c : cases) {
    Table table = MakeGamesTable();
    table.Load(games.Rows());
    c.operation(table);
    EXPECT_EQ(table.Changed(), c.changed) << c.name;
    table.MarkSaved();
    EXPECT_FALSE(table.Changed());
  }
}

TEST_F(GamesTest, LoadReplacesRowsOrRefusesThemWhole) {
  const auto rows = games.Rows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1][0], Value(10));
  EXPECT_EQ(ErrorOf([&] { games.Load({{Value(1)}}); }), "Games: Row 1 has 1 values, 7 expected");
  EXPECT_EQ(
      ErrorOf([&] {
        games.Load({rows[0], {Value("x"), Value(), Value(), Value(), Value(), Value(), Value()}});
      }),
      "Games: Row 2: 'x' is not a valid integer value for field 'game_id'");
  EXPECT_EQ(games.Rows(), rows);
  games.Load({rows[2]});
  EXPECT_EQ(games.RecordCount(), 1);
  EXPECT_EQ(games.Field("game_id"), Value(20));
}

// Records every notification as text, to compare whole sequences, and checks at each one that
// the cursor already agrees with it, as a grid reading the cursor while it is told would need.
class RecordingObserver : public TableObserver {
 public:
  explicit RecordingObserver(const Cursor& cursor) : cursor_(cursor), rows_(cursor.RecordCount()) {}
  void RowInserted(int position) override {
    Add("insert", position);
    EXPECT_EQ(cursor_.RecordCount(), ++rows_);
  }
  void RowRemoved(int position) override {
    Add("remove", position);
    EXPECT_EQ(cursor_.RecordCount(), --rows_);
  }
  void RowChanged(int position) override { Add("change", position); }
  void CurrentMoved(int position) override {
    Add("current", position);
    if (cursor_.Active()) {
      EXPECT_EQ(cursor_.RecNo(), position + 1);
    }
  }
  void Reset() override {
    events_.push_back("reset");
    rows_ = cursor_.Active() ? cursor_.RecordCount() : 0;
  }
  std::vector<std::string> Take() { return std::exchange(events_, {}); }

 private:
  void Add(const char* what, int position) {
    events_.push_back(std::string(what) + " " + std::to_string(position));
  }
  const Cursor& cursor_;
  int rows_;
  std::vector<std::string> events_;
};

TEST_F(GamesTest, ObserversFollowEveryChangeByPosition) {
  RecordingObserver observer(games);
  games.First();
  games.AddObserver(&observer);
  AppendGame(games, 40, "eden", "Dan");
  EXPECT_THAT(observer.Take(), ElementsAre("insert 3", "current 3"));
  games.SetRecNo(2);
  games.Edit();
  games.SetField("map_id", "swamp");
  games.Post();
  EXPECT_THAT(observer.Take(), ElementsAre("current 1", "change 1"));
  games.Delete();
  EXPECT_THAT(observer.Take(), ElementsAre("remove 1"));  // the next row moved up to 1

  games.SetIndexName("GameIdIndex");
  EXPECT_THAT(observer.Take(), ElementsAre("reset", "current 0"));
  games.Edit();  // game 20 becomes 35: from the top to between 30 and 40
  games.SetField("game_id", 35);
  games.Post();
  EXPECT_THAT(observer.Take(), ElementsAre("remove 0", "insert 1", "current 1"));

  // Changes through another cursor reach this cursor's observer too.
  const auto other = games.CreateCursor();
  ASSERT_TRUE(other->Locate("game_id", 30));
  other->Delete();
  EXPECT_THAT(observer.Take(), ElementsAre("remove 0", "current 0"));

  games.RemoveObserver(&observer);
  AppendGame(games, 50, "eden", "Eve");
  EXPECT_THAT(observer.Take(), ElementsAre());
}

TEST_F(GamesTest, ObserversOfAFilteredCursorSeeOnlyItsRows) {
  games.SetFilter("own_side = 'pl'");
  games.SetFiltered(true);
  RecordingObserver observer(games);
  games.AddObserver(&observer);
  AppendGame(games, 60, "eden", "Ann", "fnu");
  EXPECT_THAT(observer.Take(), ElementsAre());
  ASSERT_TRUE(games.Locate("game_id", 20));
  games.Edit();
  games.SetField("own_side", "fnu");
  games.Post();
  EXPECT_THAT(observer.Take(), ElementsAre("remove 1", "current 0"));
  games.Close();
  EXPECT_THAT(observer.Take(), ElementsAre("reset", "current -1"));
}

}  // namespace
}  // namespace tarn
