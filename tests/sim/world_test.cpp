// The simulator's world, scenarios and timeline without HTTP.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "sim/scenario.h"
#include "sim/server_time.h"
#include "sim/timeline.h"

namespace tarn::sim {
namespace {

using namespace std::chrono;
using ::testing::HasSubstr;

const SimTime kNow = sys_days(year(2008) / June / 1) + hours(12);

TEST(ServerTimeTest, WritesAndReadsUtcMinusOneHour) {
  EXPECT_EQ(FormatServerTime(kNow), "2008-06-01 11:00:00");
  EXPECT_EQ(ParseServerTime("2008-06-01 11:00:00"), kNow);
  EXPECT_EQ(ParseServerTime("2008-06-01 9:30:00"), kNow - minutes(90));
  EXPECT_EQ(ParseServerTime("2008-06-01"), kNow - hours(11));
  for (const char* bad : {"", "2008-6-01", "2008-06-31", "2008-06-01 24:00:00", "2008-06-01 ",
                          "2008-06-01 10:00", "0000-00-00 00:00:00", "yesterday"}) {
    EXPECT_EQ(ParseServerTime(bad), std::nullopt) << bad;
  }
  EXPECT_EQ(ParseScenarioTime("-3h", kNow), kNow - hours(3));
  EXPECT_EQ(ParseScenarioTime("+2d", kNow), kNow + days(2));
  EXPECT_EQ(ParseScenarioTime("now", kNow), kNow);
  EXPECT_EQ(ParseScenarioTime("-3x", kNow), std::nullopt);
}

TEST(ScenarioTest, BadScenariosSayWhy) {
  struct Case {
    const char* json;
    const char* reason;
  };
  for (const Case& c : {
           Case{"{", "parse error"},
           Case{R"({"players": [{"id": 1}]})", "missing \"alias\""},
           Case{R"({"players": [{"id": 1, "alias": "a", "last_login": "soon"}]})",
                "\"last_login\" is no time: soon"},
           Case{R"({"players": [{"id": "one", "alias": "a"}]})", "type"},
           Case{R"({"players": [{"id": 1, "alias": "a"}], "games": [{"id": 5, "planet": "eden",
                "players": [{"id": 1, "side": "pl"}, {"id": 2, "side": "fnu"}]}]})",
                "unknown player 2"},
           Case{R"({"games": [{"id": 5, "planet": "eden", "players": []}]})", "two players"},
           Case{R"({"faults": {"mode=games_all": "slow"}})",
                "fault of mode=games_all: \"slow\" needs a number"},
           Case{R"({"faults": {"/nowhere": "closed"}})", "unknown request key \"/nowhere\""},
           Case{R"({"faults": {"mode=games_all": 503}})", "fault of mode=games_all is no text"},
           Case{R"({"faults": ["closed"]})", "\"faults\" is no object"},
       }) {
    EXPECT_THAT([&] { ParseScenario(c.json, kNow); },
                ::testing::ThrowsMessage<ScenarioError>(HasSubstr(c.reason)))
        << c.json;
  }
  EXPECT_THAT([] { LoadScenario("/nonexistent/scenario.json"); },
              ::testing::ThrowsMessage<ScenarioError>(HasSubstr("/nonexistent/scenario.json")));
}

TEST(ScenarioTest, DemoFileAndCompiledDemoAgree) {
  const World fromFile = LoadScenario(TARN_SIM_SCENARIO_DIR "/demo.json", kNow).world;
  const World compiled = DemoWorld(kNow);
  EXPECT_EQ(fromFile.games.size(), compiled.games.size());
  EXPECT_EQ(fromFile.players.size(), compiled.players.size());
}

TEST(ScenarioTest, DemoHasWhatTheMonitorNeedsToShow) {
  const World world = DemoWorld(kNow);
  const int me = world.monitoredPlayerId;
  ASSERT_NE(world.FindPlayer(me), nullptr);
  EXPECT_EQ(world.FindPlayer(me)->alias, "Vesper");
  EXPECT_NE(world.FindPlayerByAlias("Lion's Mane"), nullptr);
  EXPECT_NE(world.FindPlayerByAlias("\xC5\xBD\x65ljko"), nullptr);

  std::set<int> statuses;
  std::set<bool> newTurns, firsts, tourneys, clocks;
  std::set<std::string> sides;
  int running = 0;
  for (const SimGame& game : world.games) {
    const SimGamePlayer* own = game.Find(me);
    ASSERT_NE(own, nullptr) << game.id;
    statuses.insert(own->status);
    ASSERT_NE(world.FindPlayer(game.players[0].playerId), nullptr);
    ASSERT_NE(world.FindPlayer(game.players[1].playerId), nullptr);
    if (game.Finished()) continue;
    ++running;
    newTurns.insert(game.players[game.ToMove()].playerId == me);
    firsts.insert(&game.players[0] == own);
    tourneys.insert(game.tournament.has_value());
    clocks.insert(game.useChessClock);
    sides.insert(own->side);
  }
  EXPECT_EQ(running, 10);
  EXPECT_GE(world.games.size(), 300u);
  EXPECT_EQ(statuses, (std::set<int>{1, 2, 3, 4, 5, 6}));
  for (const auto& both : {newTurns, firsts, tourneys, clocks}) EXPECT_EQ(both.size(), 2u);
  EXPECT_EQ(sides, (std::set<std::string>{"fnu", "pl"}));
  for (int id : {1, 3, 4, 15, 17, 18, 20, 22, 23}) EXPECT_NE(world.FindTournament(id), nullptr);
}

TEST(WorldTest, MovesAndFinishesChangeOnlyTheirGame) {
  World world = DemoWorld(kNow);
  const World before = world;
  world.MoveCompetitor(52001, kNow + hours(1));
  const SimGame& game = world.GetGame(52001);
  EXPECT_EQ(game.players[1].turn, before.FindGame(52001)->players[1].turn + 1);
  EXPECT_EQ(game.players[1].turnDate, kNow + hours(1));
  EXPECT_EQ(game.players[0].turn, before.FindGame(52001)->players[0].turn);

  world.FinishGame(52002, world.monitoredPlayerId, kResigned, kNow);
  EXPECT_EQ(world.GetGame(52002).Find(1001)->status, kResigned);
  EXPECT_EQ(world.GetGame(52002).Find(1003)->status, kWon);
  EXPECT_THROW(world.MoveOwn(52002, kNow), WorldError);
  EXPECT_THROW(world.FinishGame(52003, 1001, kRunning, kNow), WorldError);
  EXPECT_THROW(world.MoveCompetitor(999, kNow), WorldError);
}

TEST(TimelineTest, SameSeedSameLifeAndGamesStayConsistent) {
  World a = DemoWorld(kNow), b = a;
  Timeline lifeA(3), lifeB(3);
  for (int step = 1; step <= 200; ++step) {
    lifeA.Step(a, kNow + minutes(step));
    lifeB.Step(b, kNow + minutes(step));
  }
  ASSERT_EQ(a.games.size(), b.games.size());
  EXPECT_GT(a.games.size(), DemoWorld(kNow).games.size());  // games ended and new ones started
  for (size_t i = 0; i < a.games.size(); ++i) {
    const SimGame& game = a.games[i];
    EXPECT_EQ(game.id, b.games[i].id);
    EXPECT_EQ(game.players[0].turn, b.games[i].players[0].turn);
    // "pl" moves first: it is never behind, and never more than one turn ahead.
    const SimGamePlayer& pl = game.players[0].side == "pl" ? game.players[0] : game.players[1];
    const SimGamePlayer& fnu = &pl == &game.players[0] ? game.players[1] : game.players[0];
    EXPECT_TRUE(pl.turn == fnu.turn || pl.turn == fnu.turn + 1) << game.id;
  }
}

}  // namespace
}  // namespace tarn::sim
