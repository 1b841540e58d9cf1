#include "app/current_game_details.h"

#include <gtest/gtest.h>

#include <functional>

#include "base/records.h"
#include "store/db_monitor.h"
#include "support/fakes.h"
#include "support/record_builders.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

using testing::FixedClock;
using testing::RecordingDialogs;
using testing::TempDir;
using testing::WriteText;

DateTime At(int day, int hour, int minute = 0, int second = 0) {
  return *DateTime::FromFields(2024, 1, day, hour, minute, second);
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
  game.competitor_turn_date = At(10, 15);
  game.own_turn_date = At(10, 9);
  game.new_turn = true;
  game.tournament_name = "Spring Cup";
  return game;
}

class CurrentGameDetailsTest : public ::testing::Test {
 protected:
  CurrentGameDetailsTest() {
    db_.AppendPlayer(testing::PlayerRecord(5, "Kestrel", "1650", "Norway"));
    db_.AppendPlayer(testing::PlayerRecord(6, "Heron", "1490", "Chile"));
  }

  // The details of the game with that id, made the current row.
  CurrentGameDetails DetailsOf(int gameId) {
    EXPECT_TRUE(db_.CurrentGames.Locate("game_id", gameId));
    return reader_.Read();
  }

  RecordingDialogs dialogs_;
  FixedClock clock_;
  TFormDBMonitor db_{dialogs_, clock_};
  TempDir data_;
  std::filesystem::path avatars_ = data_ / "Avatars";
  CurrentGameDetailsReader reader_{db_, avatars_};
};

TEST_F(CurrentGameDetailsTest, AKnownGameShowsItsTournamentMapAndCompetitor) {
  db_.InsertCurrentGame(Game(1, "eden", 5, "Kestrel"));
  const CurrentGameDetails details = DetailsOf(1);
  EXPECT_TRUE(details.hasGame);
  EXPECT_EQ(details.tournament, "Spring Cup");
  EXPECT_EQ(details.mapImage, 8);
  EXPECT_EQ(details.competitorName, "Kestrel");
  EXPECT_EQ(details.competitorGlicko, "1650");
  EXPECT_EQ(details.competitorCountry, "Norway");
  EXPECT_TRUE(details.clock.newTurn);
  EXPECT_EQ(details.clock.turnLimit, 3);
  EXPECT_EQ(details.clock.competitorTurnDate, At(10, 15));
}

// Each game is read after a fully known one, so nothing of that one may show through.
TEST_F(CurrentGameDetailsTest, WhatTheTablesDoNotKnowStaysEmpty) {
  struct Case {
    const char* name;
    std::function<void(TS_CURRGAME&)> change;
    std::optional<int> mapImage;
    const char* glicko;
    const char* country;
    const char* tournament;
  };
  const Case cases[] = {
      {"map not in Maps", [](TS_CURRGAME& g) { g.map_id = "atlantis"; }, std::nullopt, "1490",
       "Chile", "Spring Cup"},
      {"map id in another letter case", [](TS_CURRGAME& g) { g.map_id = "Eden"; }, std::nullopt,
       "1490", "Chile", "Spring Cup"},
      {"competitor not in Players", [](TS_CURRGAME& g) { g.competitor_id = 99; }, 13, "", "",
       "Spring Cup"},
      {"no tournament", [](TS_CURRGAME& g) { g.tournament_name.clear(); }, 13, "1490", "Chile", ""},
  };
  db_.InsertCurrentGame(Game(1, "eden", 5, "Kestrel"));
  int id = 2;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TS_CURRGAME game = Game(id, "lions eye", 6, "Heron");
    c.change(game);
    db_.InsertCurrentGame(game);
    ASSERT_EQ(DetailsOf(1).mapImage, 8);
    const CurrentGameDetails details = DetailsOf(id++);
    EXPECT_TRUE(details.hasGame);
    EXPECT_EQ(details.mapImage, c.mapImage);
    EXPECT_EQ(details.competitorName, "Heron");
    EXPECT_EQ(details.competitorGlicko, c.glicko);
    EXPECT_EQ(details.competitorCountry, c.country);
    EXPECT_EQ(details.tournament, c.tournament);
  }
}

TEST_F(CurrentGameDetailsTest, AMapRowWithoutPictureNumberShowsNoPicture) {
  ASSERT_TRUE(db_.Maps.Locate("map_id", "eden"));
  db_.Maps.Edit();
  db_.Maps.SetField("img_no", Value());
  db_.Maps.Post();
  db_.InsertCurrentGame(Game(1, "eden", 5, "Kestrel"));
  EXPECT_EQ(DetailsOf(1).mapImage, std::nullopt);
}

TEST_F(CurrentGameDetailsTest, AnEmptyOrClosedGamesTableShowsNoGame) {
  CurrentGameDetails details = reader_.Read();
  EXPECT_FALSE(details.hasGame);
  EXPECT_EQ(details.tournament, "");
  EXPECT_EQ(details.mapImage, std::nullopt);
  EXPECT_EQ(details.competitorName, "");
  EXPECT_EQ(details.avatarFile, std::filesystem::path());
  const RemainingTimeTexts times = details.RemainingTimesAt(At(11, 10), "HH:mm:ss");
  EXPECT_EQ(times.yourTime, "");
  EXPECT_EQ(times.competitorTime, "");

  db_.InsertCurrentGame(Game(1, "eden", 5, "Kestrel"));
  db_.CurrentGames.Close();
  EXPECT_FALSE(reader_.Read().hasGame);
}

// A table whose file could not be read was reported at start; the details do not fail on it.
TEST_F(CurrentGameDetailsTest, ClosedMapsAndPlayersLeaveTheirPartsEmpty) {
  db_.InsertCurrentGame(Game(1, "eden", 5, "Kestrel"));
  db_.Maps.Close();
  db_.Players.Close();
  const CurrentGameDetails details = DetailsOf(1);
  EXPECT_TRUE(details.hasGame);
  EXPECT_EQ(details.mapImage, std::nullopt);
  EXPECT_EQ(details.competitorName, "Kestrel");
  EXPECT_EQ(details.competitorGlicko, "");
}

TEST_F(CurrentGameDetailsTest, LookingUpLeavesTheCurrentRowsOfMapsAndPlayers) {
  db_.InsertCurrentGame(Game(1, "eden", 6, "Heron"));
  db_.Maps.SetRecNo(3);
  db_.Players.SetRecNo(1);
  EXPECT_EQ(DetailsOf(1).competitorGlicko, "1490");
  EXPECT_EQ(db_.Maps.RecNo(), 3);
  EXPECT_EQ(db_.Players.RecNo(), 1);
}

TEST_F(CurrentGameDetailsTest, TheAvatarIsTheCompetitorsPictureWhenItExists) {
  std::filesystem::create_directories(avatars_);
  WriteText(avatars_ / "Kestrel.bmp", "BM");
  WriteText(avatars_ / "Gr\xC3\xBCn.bmp", "BM");
  WriteText(data_ / "outside.bmp", "BM");
  std::filesystem::create_directories(avatars_ / "Folder.bmp");
  struct Case {
    const char* competitor;
    std::filesystem::path expected;
  };
  const Case cases[] = {
      {"Kestrel", avatars_ / "Kestrel.bmp"},
      {"Gr\xC3\xBCn", avatars_ / "Gr\xC3\xBCn.bmp"},
      {"Heron", {}},
      {"kestrel", {}},
      {"", {}},
      {"../outside", {}},
      {"..\\outside", {}},
      {"Folder", {}},
  };
  int id = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.competitor);
    db_.InsertCurrentGame(Game(id, "eden", 5, c.competitor));
    EXPECT_EQ(DetailsOf(id++).avatarFile, c.expected);
  }
}

TEST_F(CurrentGameDetailsTest, TheClocksRunFromTheStoredGame) {
  TS_CURRGAME chess = Game(1, "eden", 5, "Kestrel");
  chess.chess_clock = true;
  chess.turn_limit = 600;
  chess.active_deadline = At(12, 13, 14, 15);
  chess.passive_remaining_time = 7200;
  chess.own_turn_date = At(10, 9);
  db_.InsertCurrentGame(chess);
  db_.InsertCurrentGame(Game(2, "eden", 5, "Kestrel"));
  struct Case {
    int gameId;
    DateTime now;
    const char* yourTime;
    const char* competitorTime;
  };
  const Case cases[] = {
      {1, At(11, 12, 13, 14), "1 Days 01:01:01", "0 Days 02:10:00"},
      {1, At(11, 12, 13, 15), "1 Days 01:01:00", "0 Days 02:10:00"},
      {1, At(12, 13, 14, 15), "Time expired", "0 Days 02:10:00"},
      {2, At(12, 16), "0 Days 23:00:00", "3 Days 00:00:00"},
      {2, At(12, 16, 0, 1), "0 Days 22:59:59", "3 Days 00:00:00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.gameId);
    const RemainingTimeTexts times = DetailsOf(c.gameId).RemainingTimesAt(c.now, "HH:mm:ss");
    EXPECT_EQ(times.yourTime, c.yourTime);
    EXPECT_EQ(times.competitorTime, c.competitorTime);
  }
}

}  // namespace
}  // namespace tarn
