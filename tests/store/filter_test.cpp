#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "store/filter_expression.h"
#include "store/table.h"
#include "table_test_support.h"

namespace tarn {
namespace {

using testing::AppendGame;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using testing::MakeGamesTable;
using testing::VisibleIds;

class FilterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AppendGame(games, 1, "lions eye", "Lion's Eye", "pl");
    AppendGame(games, 2, "iron", "Iron", "fnu");
    AppendGame(games, 3, "iron", "iron", "pl");
    AppendGame(games, 4, "ironclad", "*", "pl");
    AppendGame(games, 5, "v6 demo", "Ann", "fnu");
    games.SetFiltered(true);
  }
  Table games = MakeGamesTable();
};

TEST_F(FilterTest, VisibleRowsPerFilterText) {
  struct Case {
    std::string filter;
    std::vector<int64_t> ids;
  };
  const Case cases[] = {
      {"", {1, 2, 3, 4, 5}},
      {"   ", {1, 2, 3, 4, 5}},
      {"map_id = 'iron'", {2, 3}},
      {"map_id='iron'", {2, 3}},
      {"[map_id] = 'iron' AND competitor_name = 'Iron'", {2}},
      {"map_id = 'iron' and own_side = 'pl'", {3}},
      {" [own_side]='pl'  AnD  [map_id]  =  'iron' ", {3}},
      {"competitor_name = 'Lion''s Eye'", {1}},
      {"competitor_name = 'Lion''s*'", {1}},
      {"map_id = 'iron*'", {2, 3, 4}},
      {"map_id = 'v6 *'", {5}},
      {"competitor_name = '*'", {4}},  // a lone asterisk is an ordinary character
      {"competitor_name = 'I*'", {2}},
      {"map_id = 'IRON'", {}},
      {"game_id = '3'", {3}},
      {"new_turn = ''", {1, 2, 3, 4, 5}},  // empty cells read as empty text
      {"own_side = 'pl' AND own_side = 'fnu'", {}},
  };
  for (const Case& c : cases) {
    games.SetFilter(c.filter);
    EXPECT_THAT(VisibleIds(games), ElementsAreArray(c.ids)) << c.filter;
    EXPECT_EQ(games.Filter(), c.filter);
  }
  games.SetFilter("map_id = 'iron'");
  games.SetFiltered(false);
  EXPECT_EQ(games.RecordCount(), 5);
}

TEST_F(FilterTest, MalformedTextIsRefusedAndTheFilterStays) {
  struct Case {
    std::string filter;
    std::string message;
  };
  const Case cases[] = {
      {"map_id = 'iron", "constant not closed by an apostrophe, started at position 10"},
      {"map_id 'iron'", "'=' expected at position 8"},
      {"map_id = iron", "constant in apostrophes expected at position 10"},
      {"map_id =", "constant in apostrophes expected at the end of the text"},
      {"mapid = 'iron'", "unknown column 'mapid' at position 1"},
      {"[map_id = 'iron'", "']' expected to close the column name at position 1"},
      {"[] = 'iron'", "column name expected at position 1"},
      {"= 'iron'", "column name expected at position 1"},
      {"map_id = 'iron' AND", "condition expected after AND at the end of the text"},
      {"map_id = 'iron' AND ", "condition expected after AND at the end of the text"},
      {"map_id = 'iron' OR own_side = 'pl'", "AND expected at position 17"},
      {"map_id = 'iron'AND own_side = 'pl'", "blank and AND expected after the constant"},
      {"map_id = 'iron' ANDown_side = 'pl'", "blank expected after AND at position 20"},
      {"map_id = 'iron' AND AND own_side = 'pl'", "unknown column 'AND' at position 21"},
  };
  games.SetFilter("own_side = 'fnu'");
  for (const Case& c : cases) {
    try {
      games.SetFilter(c.filter);
      ADD_FAILURE() << "accepted: " << c.filter;
    } catch (const TableError& e) {
      EXPECT_THAT(std::string(e.what()), HasSubstr("Games: Invalid filter: " + c.message))
          << c.filter;
    }
    EXPECT_EQ(games.Filter(), "own_side = 'fnu'");
    EXPECT_THAT(VisibleIds(games), ElementsAreArray({2, 5}));
  }
}

TEST_F(FilterTest, QuotedConstantsMatchTheirOwnText) {
  EXPECT_EQ(QuoteFilterConstant("Lion's Eye"), "'Lion''s Eye'");
  EXPECT_EQ(QuoteFilterConstant(""), "''");
  for (const std::string name : {"Lion's Eye", "*", "Iron", "'"}) {
    games.SetFilter("competitor_name = " + QuoteFilterConstant(name));
    games.First();
    ASSERT_EQ(games.RecordCount(), name == "'" ? 0 : 1) << name;
    if (name != "'") {
      EXPECT_EQ(games.Field("competitor_name").AsText(), name);
    }
  }
}

TEST_F(FilterTest, NewAndChangedRowsFollowTheFilter) {
  games.SetFilter("map_id = 'iron*' AND own_side = 'pl'");
  EXPECT_THAT(VisibleIds(games), ElementsAreArray({3, 4}));
  AppendGame(games, 6, "ironman", "Bo", "pl");
  AppendGame(games, 7, "eden", "Bo", "pl");
  EXPECT_THAT(VisibleIds(games), ElementsAreArray({3, 4, 6}));
  EXPECT_EQ(games.Field("game_id"), Value(6));  // the hidden new row left the cursor in place
  const auto all = games.CreateCursor();
  ASSERT_TRUE(all->Locate("game_id", 2));
  all->Edit();
  all->SetField("own_side", "pl");
  all->Post();
  EXPECT_THAT(VisibleIds(games), ElementsAreArray({2, 3, 4, 6}));
}

}  // namespace
}  // namespace tarn
