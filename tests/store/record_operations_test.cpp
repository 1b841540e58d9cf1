#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "store/db_monitor.h"
#include "support/fakes.h"

namespace tarn {
namespace {

using testing::FixedClock;
using testing::RecordingDialogs;
using testing::SteppingClock;

DateTime At(int hour, int minute, int second, int msec = 0) {
  return *DateTime::FromFields(2008, 6, 1, hour, minute, second, msec);
}

TS_CURRGAME Game(int id) {
  TS_CURRGAME game;
  game.game_id = id;
  game.player_id = 77;
  game.player_name = "Searched";
  game.map_id = "lions eye";
  game.start_time = At(8, 0, 0);
  game.turn_limit = -3;
  game.ingame_time = 40;
  game.active_deadline = At(20, 0, 0);
  game.passive_remaining_time = 100;
  game.freeze_time = 6;
  game.alies_density = 2;
  game.revenue_turns = 3;
  game.unit_set = 4;
  game.chess_clock = true;
  game.rating_game = true;
  game.tourney = true;
  game.tournament_id = 12;
  game.tournament_name = "Spring Cup";
  game.own_side = "pl";
  game.competitor_id = 5;
  game.competitor_name = "Rival";
  game.game_status = 1;
  game.own_turn = 7;
  game.own_turn_date = At(9, 0, 0);
  game.competitor_turn_date = At(10, 0, 0);
  game.new_turn = true;
  game.mentor_game = true;
  return game;
}

class RecordOperationsTest : public ::testing::Test {
 protected:
  DateTime Now() const { return clock_.now; }
  void Tick() { clock_.now = DateTime(clock_.now.Days() + 1.0 / 24); }

  RecordingDialogs dialogs_;
  FixedClock clock_{*DateTime::FromFields(2011, 1, 2, 3, 4, 5)};
  TFormDBMonitor db_{dialogs_, clock_};
};

TEST_F(RecordOperationsTest, MergeAnswersByTheTurnDates) {
  struct Case {
    const char* what;
    void (*change)(TS_CURRGAME&);
    int expected;
  };
  const Case cases[] = {
      {"same record", [](TS_CURRGAME&) {}, 0},
      {"only milliseconds",
       [](TS_CURRGAME& g) {
         g.own_turn_date = At(9, 0, 0, 999);
         g.competitor_turn_date = At(10, 0, 0, 400);
       },
       0},
      {"only game_status", [](TS_CURRGAME& g) { g.game_status = 3; }, 0},
      {"competitor moved", [](TS_CURRGAME& g) { g.competitor_turn_date = At(11, 0, 0); }, 2},
      {"both moved",
       [](TS_CURRGAME& g) {
         g.competitor_turn_date = At(11, 0, 0);
         g.own_turn_date = At(10, 30, 0);
       },
       2},
      {"own moved", [](TS_CURRGAME& g) { g.own_turn_date = At(9, 0, 1); }, 3},
  };
  for (const auto& c : cases) {
    for (const bool playerGames : {false, true}) {
      Table& games = playerGames ? db_.PlayerGames : db_.CurrentGames;
      auto merge = [&](TS_CURRGAME g) {
        return static_cast<int>(playerGames ? db_.MergePlayerGame(g) : db_.MergeCurrentGame(g));
      };
      const int id = static_cast<int>(games.RecordCount()) + 100;
      ASSERT_EQ(merge(Game(id)), 1) << c.what;
      Tick();
      TS_CURRGAME changed = Game(id);
      c.change(changed);
      EXPECT_EQ(merge(changed), c.expected) << c.what;
      ASSERT_TRUE(games.Locate("game_id", id));
      EXPECT_EQ(games.Field("game_status").AsInt(), 1) << c.what;
      const DateTime expectedUpdate = c.expected == 0 ? DateTime(Now().Days() - 1.0 / 24) : Now();
      EXPECT_TRUE(games.Field("date_update").AsDateTime().SameSecond(expectedUpdate)) << c.what;
    }
  }
}

TEST_F(RecordOperationsTest, InsertWritesTheRecordMapNameAndClock) {
  SteppingClock stepping(Now(), 1.0 / 86400);
  TFormDBMonitor db(dialogs_, stepping);
  TS_CURRGAME game = Game(1);
  game.competitor_name = std::string(31, 'c');
  EXPECT_EQ(db.MergePlayerGame(game), MergeResult::NewGame);
  Table& games = db.PlayerGames;
  EXPECT_EQ(games.Field("player_id").AsInt(), 77);
  EXPECT_EQ(games.Field("player_name").AsText(), "Searched");
  EXPECT_EQ(games.Field("map_name").AsText(), "Lion's Eye");
  EXPECT_EQ(db.Maps.Field("map_id").AsText(), "lions eye");  // the Maps row moved to the map
  EXPECT_EQ(games.Field("competitor_name").AsText(), std::string(30, 'c'));
  EXPECT_EQ(games.Field("turn_limit"), Value(-3));
  EXPECT_EQ(games.Field("tournament_name").AsText(), "Spring Cup");
  EXPECT_EQ(games.Field("freeze_time").AsInt(), 6);
  EXPECT_TRUE(games.Field("chess_clock").AsBool());
  EXPECT_TRUE(games.Field("mentor_game").IsNull());
  EXPECT_EQ(games.Field("date_create").AsDateTime(), Now());
  EXPECT_TRUE(
      games.Field("date_update").AsDateTime().SameSecond(DateTime(Now().Days() + 1.0 / 86400)));
}

TEST_F(RecordOperationsTest, UpdateChangesOnlyTheTurnColumns) {
  db_.InsertCurrentGame(Game(1));
  TS_CURRGAME moved = Game(1);
  moved.competitor_turn_date = At(11, 0, 0);
  moved.own_turn = 8;
  moved.new_turn = false;
  moved.active_deadline = At(22, 0, 0);
  moved.passive_remaining_time = 50;
  moved.game_status = 4;
  moved.freeze_time = 0;
  moved.turn_limit = 9;
  moved.tournament_name = "Other";
  moved.map_id = "eden";
  Tick();
  ASSERT_EQ(db_.MergeCurrentGame(moved), MergeResult::CompetitorMoved);
  const Table& games = db_.CurrentGames;
  EXPECT_EQ(games.RecordCount(), 1);
  EXPECT_EQ(games.Field("own_turn").AsInt(), 8);
  EXPECT_FALSE(games.Field("new_turn").AsBool());
  EXPECT_EQ(games.Field("active_deadline").AsDateTime(), At(22, 0, 0));
  EXPECT_EQ(games.Field("passive_remaining_time").AsInt(), 50);
  EXPECT_EQ(games.Field("game_status").AsInt(), 1);
  EXPECT_EQ(games.Field("freeze_time").AsInt(), 6);
  EXPECT_EQ(games.Field("turn_limit").AsInt(), -3);
  EXPECT_EQ(games.Field("tournament_name").AsText(), "Spring Cup");
  EXPECT_EQ(games.Field("map_id").AsText(), "lions eye");
  EXPECT_EQ(games.Field("date_update").AsDateTime(), Now());
  EXPECT_LT(games.Field("date_create").AsDateTime(), Now());
}

TEST_F(RecordOperationsTest, PlayerGamesAreMatchedByGameIdAlone) {
  db_.InsertPlayerGame(Game(1));
  TS_CURRGAME other = Game(1);
  other.player_id = 78;
  other.player_name = "Someone else";
  other.own_turn_date = At(9, 30, 0);
  EXPECT_EQ(db_.MergePlayerGame(other), MergeResult::OwnMoved);
  EXPECT_EQ(db_.PlayerGames.RecordCount(), 1);
  EXPECT_EQ(db_.PlayerGames.Field("player_id").AsInt(), 77);
  EXPECT_EQ(db_.PlayerGames.Field("player_name").AsText(), "Searched");
}

TEST_F(RecordOperationsTest, UnknownMapLeavesTheMapNameEmpty) {
  for (const char* mapId : {"atlantis", "Iron", ""}) {
    TS_CURRGAME game = Game(1);
    game.map_id = mapId;
    db_.InsertCurrentGame(game);
    EXPECT_TRUE(db_.CurrentGames.Field("map_name").IsNull()) << mapId;
  }
  TS_CURRGAME iron = Game(2);
  iron.map_id = "iron";
  db_.InsertCurrentGame(iron);
  EXPECT_EQ(db_.CurrentGames.Field("map_name").AsText(), "Station \"Thunder\"");
}

TEST_F(RecordOperationsTest, TheRowIsACopyOfTheRecord) {
  TS_CURRGAME game = Game(1);
  db_.InsertCurrentGame(game);
  game = TS_CURRGAME();
  EXPECT_EQ(db_.CurrentGames.Field("competitor_name").AsText(), "Rival");
  EXPECT_EQ(db_.MergeCurrentGame(Game(1)), MergeResult::Unchanged);
}

TEST_F(RecordOperationsTest, AClosedTableRefusesAndKeepsNoHalfRow) {
  db_.Maps.Close();
  EXPECT_THROW(db_.InsertCurrentGame(Game(1)), TableError);
  EXPECT_EQ(db_.CurrentGames.State(), EditState::Browse);
  EXPECT_EQ(db_.CurrentGames.RecordCount(), 0);
  EXPECT_FALSE(db_.CurrentGames.Changed());

  db_.CurrentGames.Close();
  try {
    db_.MergeCurrentGame(Game(1));
    FAIL();
  } catch (const TableError& error) {
    EXPECT_THAT(error.what(), ::testing::StartsWith("CurrentGames: "));
  }
}

TEST_F(RecordOperationsTest, SetTimeZoneEditsTheOneRow) {
  db_.SetTimeZone(21, 5, 30);
  const Table& settings = db_.GlobalSettings;
  EXPECT_EQ(settings.RecordCount(), 1);
  EXPECT_EQ(settings.Field("time_zone_index").AsInt(), 21);
  EXPECT_EQ(settings.Field("time_zone_h").AsInt(), 5);
  EXPECT_EQ(settings.Field("time_zone_m").AsInt(), 30);
  EXPECT_EQ(settings.Field("sync_period_currgames").AsInt(), 10);
  EXPECT_TRUE(settings.Changed());
}

TEST_F(RecordOperationsTest, SetTimeZoneOnAnEmptyTableMakesTheRow) {
  db_.GlobalSettings.Delete();
  ASSERT_EQ(db_.GlobalSettings.RecordCount(), 0);
  db_.SetTimeZone(8, -4, 30);
  const auto rows = db_.GlobalSettings.Rows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], (std::vector<Value>{8, -4, 30, Value(), Value(), Value(), Value()}));
}

TS_PLAYER Player() {
  TS_PLAYER player;
  player.player_id = 9;
  player.name = "Ann";
  player.country = "Ísland";
  player.email = "ann@example.org";
  player.alies = "Annie";
  player.user_type = 2;
  player.last_login = At(9, 0, 0);
  player.stat_score = 1500;
  player.stat_wins = 10;
  player.stat_looses = 4;
  player.stat_drawns = 1;
  player.country_code = 354;
  player.reg_date = At(1, 0, 0);
  player.player_occupation = "3";
  player.score_exp = 80;
  player.score_glicko = "1623.5";
  player.current = true;
  player.place_glicko = 12;
  player.place_exp = 30;
  player.stat_active = 5;
  player.avatar_state = "1";
  player.gender = "2";
  player.add_info = "hello";
  return player;
}

TEST_F(RecordOperationsTest, AppendPlayerWritesEveryColumn) {
  db_.AppendPlayer(Player());
  EXPECT_EQ(db_.Players.Rows(),
            (std::vector<std::vector<Value>>{
                {9,        "Annie",     "Ann",       "Ísland", "ann@example.org",
                 2,        At(9, 0, 0), 1500,        10,       4,
                 1,        354,         At(1, 0, 0), 3,        80,
                 "1623.5", true,        12,          30,       5,
                 1,        2,           "hello"}}));
}

TEST_F(RecordOperationsTest, CodesThatAreNoSmallWholeNumbersStayEmpty) {
  for (const char* code : {"", "x", "1.5", " 2", "40000"}) {
    TS_PLAYER player = Player();
    player.gender = code;
    player.avatar_state = code;
    player.player_occupation = code;
    db_.AppendPlayer(player);
    EXPECT_EQ(db_.Players.State(), EditState::Browse) << code;
    EXPECT_TRUE(db_.Players.Field("gender").IsNull()) << code;
    EXPECT_TRUE(db_.Players.Field("avatar_state").IsNull()) << code;
    EXPECT_TRUE(db_.Players.Field("player_occupation").IsNull()) << code;
    EXPECT_EQ(db_.Players.Field("add_info").AsText(), "hello") << code;
  }
  EXPECT_EQ(db_.Players.RecordCount(), 5);
}

TEST_F(RecordOperationsTest, UpdatePlayerRewritesTheCurrentRow) {
  db_.AppendPlayer(Player());
  TS_PLAYER other = Player();
  other.player_id = 10;
  other.alies = "Bob";
  db_.AppendPlayer(other);
  ASSERT_TRUE(db_.Players.Locate("alies", "Annie"));
  TS_PLAYER changed = Player();
  changed.stat_score = 1600;
  changed.current = false;
  changed.gender = "";
  db_.UpdatePlayer(changed);
  EXPECT_EQ(db_.Players.RecordCount(), 2);
  EXPECT_EQ(db_.Players.Field("stat_score").AsInt(), 1600);
  EXPECT_FALSE(db_.Players.Field("current").AsBool());
  EXPECT_TRUE(db_.Players.Field("gender").IsNull());
  ASSERT_TRUE(db_.Players.Locate("alies", "Bob"));
  EXPECT_EQ(db_.Players.Field("stat_score").AsInt(), 1500);
}

TEST_F(RecordOperationsTest, AppendTournamentWritesEveryColumn) {
  TS_TOURNAMENT t;
  t.tournament_id = 3;
  t.start_date = At(12, 0, 0);
  t.accept_players = 1;
  t.status = 2;
  t.tournament_name = "Cup";
  t.moderator1_id = 4;
  t.moderator1_alias = "Mod";
  t.last_updated = At(13, 0, 0);
  t.default_win_score = 3;
  t.type = "swiss";
  db_.AppendTournament(t);
  EXPECT_EQ(db_.Tournaments.Rows(),
            (std::vector<std::vector<Value>>{
                {3, At(12, 0, 0), 1, 2, "Cup", 4, "Mod", 0, Value(), At(13, 0, 0), 3, "swiss"}}));
}

}  // namespace
}  // namespace tarn
