// The server client over real HTTP and XML against the simulated game server on loopback.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/http.h"
#include "server/server_data_error.h"
#include "server/xml_tarn.h"
#include "sim/sim_server.h"
#include "sim/world.h"
#include "store/db_monitor.h"
#include "support/fakes.h"
#include "support/sim_worlds.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace std::chrono_literals;

sim::World SmallWorld() {
  sim::World w;
  w.monitoredPlayerId = 42;
  for (auto [id, alias] : {std::pair{42, "alpha"}, {7, "beta"}, {8, "Lion's Mane"}}) {
    w.AddPlayer(testing::MakePlayer(id, alias, "1500." + std::to_string(id)));
  }
  const sim::SimTime now = sim::SimNow();
  for (auto [id, competitor, finished] : {std::tuple{100, 7, false}, {101, 8, true}}) {
    sim::SimGame g;
    g.id = id;
    g.planet = "eden";
    g.startTime = now - 240h;
    g.players[0] = {42, "pl", sim::kRunning, 3, now - 2h};
    g.players[1] = {competitor, "fnu", sim::kRunning, 3, now - 1h};
    w.StartGame(g);
    if (finished) w.FinishGame(id, 42, sim::kWon, now - 1h);
  }
  sim::SimTournament cup;
  cup.id = 15;
  cup.name = "server name";
  cup.moderators = {{5, "m5"}, {6, "m6"}};
  sim::SimTournament left;
  left.id = 1;
  left.name = "left out";
  w.tournaments = {cup, left};
  return w;
}

class XmlTarnOverHttpTest : public ::testing::Test {
 protected:
  XmlTarnOverHttpTest() : server_(SmallWorld()) {
    server_.Start();
    host_ = "127.0.0.1:" + std::to_string(server_.Port());
    db_.FormCreate(dir_.Path());
  }

  std::unique_ptr<TXMLTarn> Create(const std::string& alias, GameListMode mode,
                                   DateTime from = {}) {
    return TXMLTarn::Create({loader_, dialogs_, db_, host_}, alias, mode, from);
  }

  testing::TempDir dir_;
  testing::RecordingDialogs dialogs_;
  testing::FixedClock clock_;
  TFormDBMonitor db_{dialogs_, clock_};
  sim::SimServer server_;
  std::string host_;
  std::unique_ptr<Http> http_ = MakeCurlHttp({.connectTimeout = 1000ms, .stallTime = 1s});
  HttpXmlLoader loader_{*http_};
};

TEST_F(XmlTarnOverHttpTest, EachModeLoadsItsList) {
  const DateTime longAgo = *DateTime::FromFields(2001, 1, 1);
  const DateTime justNow = DateTime(clock_.Now().Days() + 36500);  // after every game
  const std::tuple<int, DateTime, int> cases[] = {{0, {}, 1},      {1, {}, 2},      {2, longAgo, 1},
                                                  {3, longAgo, 2}, {3, justNow, 0}, {4, {}, 0}};
  for (const auto& [mode, from, games] : cases) {
    auto client = Create("alpha", static_cast<GameListMode>(mode), from);
    EXPECT_EQ(static_cast<int>(client->Mode), mode);
    EXPECT_EQ(client->Player.player_id, 42);
    EXPECT_EQ(client->GameCount, games) << "mode " << mode;
  }
  auto client = Create("alpha", GameListMode::AllGames);
  client->ReadGame(1);
  EXPECT_EQ(client->Game.game_id, 101);
  EXPECT_EQ(client->Game.competitor_name, "Lion's Mane");
  EXPECT_EQ(client->Game.map_id, "eden");
  EXPECT_THAT(dialogs_.messages, IsEmpty());
}

TEST_F(XmlTarnOverHttpTest, SinceRequestsWithATimeOfDayAndAnAliasThatNeedsEncoding) {
  auto client =
      Create("Lion's Mane", GameListMode::AllGamesSince, *DateTime::FromFields(2001, 1, 1, 12, 30));
  EXPECT_EQ(client->Player.player_id, 8);
  EXPECT_EQ(client->GameCount, 1);
  EXPECT_EQ(server_.RequestCount(sim::XmlModeKey("games_all")), 1);
}

TEST_F(XmlTarnOverHttpTest, UpdatePlayersAndTournaments) {
  auto client = Create("alpha", GameListMode::CurrentGames);
  client->ReadGame(0);
  db_.InsertCurrentGame(client->Game);
  client->UpdatePlayers();
  ASSERT_TRUE(db_.Players.Locate("player_id", 7));
  EXPECT_EQ(db_.Players.Field("score_glicko").AsText(), "1500.7");

  client->LoadTournaments();
  ASSERT_EQ(db_.Tournaments.RecordCount(), 1);
  EXPECT_EQ(db_.Tournaments.Field("tournament_name").AsText(),
            "T.A.R.N. - Летний Кубок RU 2008 (Раунд 1)");
  EXPECT_EQ(db_.Tournaments.Field("moderator2_alias").AsText(), "m6");
}

TEST_F(XmlTarnOverHttpTest, FaultsGiveTheirMessageOrErrorAndChangeNoTable) {
  auto client = Create("alpha", GameListMode::CurrentGames);
  client->LoadTournaments();
  const int gameCount = client->GameCount;
  const std::pair<const char*, sim::Fault> faults[] = {
      {"a 500", {0ms, 500}},
      {"a delay beyond the time-out", {3000ms}},
      {"a malformed document", {0ms, 0, sim::Fault::Body::Malformed}},
      {"a truncated document", {0ms, 0, sim::Fault::Body::Truncated}},
      {"a closed connection", {0ms, 0, sim::Fault::Body::ClosedConnection}},
  };
  for (const auto& [what, fault] : faults) {
    SCOPED_TRACE(what);
    server_.SetFault(sim::kXmlPath, fault);
    dialogs_.messages.clear();
    EXPECT_EQ(Create("alpha", GameListMode::CurrentGames)->Player.player_id, 0);
    // The cause follows on the next line.
    EXPECT_THAT(dialogs_.messages,
                ElementsAre(::testing::MatchesRegex(host_ + " does not allowed\n.+")));
    EXPECT_THROW(client->LoadCurrentGames(), XmlLoadError);
    EXPECT_EQ(client->GameCount, gameCount);
    EXPECT_THROW(client->LoadTournaments(), XmlLoadError);
    EXPECT_EQ(db_.Tournaments.RecordCount(), 1);
    server_.ClearFaults();
  }
}

}  // namespace
}  // namespace tarn
