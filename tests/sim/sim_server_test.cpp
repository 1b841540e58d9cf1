// The simulated server's requests, read with the program's own HTTP and XML code.
#include "sim/sim_server.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>

#include <fstream>
#include <future>
#include <sstream>
#include <thread>

#include "platform/http.h"
#include "platform/xml.h"
#include "sim/answers.h"
#include "sim/scenario.h"
#include "support/temp_dir.h"

namespace tarn::sim {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class SimServerTest : public ::testing::Test {
 protected:
  void SetUp() override { server_.Start(); }

  std::shared_ptr<const XmlDocument> Xml(const std::string& query) {
    return XmlAt(server_.BaseUrl(), query);
  }
  std::shared_ptr<const XmlDocument> XmlAt(const std::string& base, const std::string& query) {
    return loader_.Load(base + kXmlPath + "?" + query);
  }
  std::vector<std::string> Column(const std::string& query, std::string_view attribute) {
    return ColumnAt(server_.BaseUrl(), query, attribute);
  }
  // The values of one attribute over the root's children.
  std::vector<std::string> ColumnAt(const std::string& base, const std::string& query,
                                    std::string_view attribute) {
    auto doc = XmlAt(base, query);
    std::vector<std::string> values;
    for (int i = 0; i < doc->Root().ChildCount(); ++i) {
      values.emplace_back(doc->Root().Child(i).Attribute(attribute).value_or("(none)"));
    }
    return values;
  }

  SimServer server_{DemoWorld()};
  std::unique_ptr<Http> http_ = MakeCurlHttp(
      {.connectTimeout = std::chrono::seconds(5), .stallTime = std::chrono::seconds(5)});
  HttpXmlLoader loader_{*http_};
};

TEST_F(SimServerTest, PlayerInfoByAliasByIdListAndUnknown) {
  auto doc = Xml("mode=player_info&user_name=Lion%27s%20Mane");
  ASSERT_EQ(doc->Root().ChildCount(), 1);
  XmlElement player = doc->Root().Child(0);
  for (const char* attribute : {"id",           "name",
                                "country",      "email",
                                "alias",        "user_type",
                                "last_login",   "stat_score",
                                "stat_wins",    "stat_looses",
                                "stat_drawns",  "country_code",
                                "reg_date",     "player_occupation",
                                "score_exp",    "score_glicko",
                                "place_glicko", "place_exp",
                                "stat_active",  "avatar_state",
                                "gender",       "add_info"}) {
    EXPECT_TRUE(player.Attribute(attribute).has_value()) << attribute;
  }
  EXPECT_EQ(player.Attribute("alias"), "Lion's Mane");
  EXPECT_THAT(Column("mode=player_info&user_name=%C5%BDeljko", "id"), ElementsAre("1004"));
  EXPECT_THAT(Column("mode=player_info&user_id=1002,99999,1001", "alias"),
              ElementsAre("Kestrel", "Vesper"));
  EXPECT_THAT(Column("mode=player_info&user_name=vesper", "id"), ElementsAre());
  EXPECT_THAT(Column("mode=player_info&user_name=", "id"), ElementsAre());
}

TEST_F(SimServerTest, GameListsHaveSettingsOptionalTournamentAndTwoPlayers) {
  auto doc = Xml("mode=games_current&user_id=1001");
  ASSERT_EQ(doc->Root().ChildCount(), 10);
  XmlElement tournamentGame = doc->Root().Child(0);  // 52001, in tournament 15
  EXPECT_EQ(tournamentGame.Attribute("id"), "52001");
  EXPECT_EQ(tournamentGame.Child(0).Name(), "settings");
  EXPECT_EQ(tournamentGame.Child(0).Attribute("turn_limit"), "2000-01-04 12:00:00");
  EXPECT_EQ(tournamentGame.Child(1).Name(), "tournament");
  EXPECT_EQ(tournamentGame.Child(1).Attribute("id"), "15");
  EXPECT_EQ(tournamentGame.Child(2).Attribute("side"), "pl");
  EXPECT_EQ(tournamentGame.Child(3).Attribute("alias"), "Kestrel");
  XmlElement plainGame = doc->Root().Child(1);  // 52002, the competitor listed first
  EXPECT_EQ(plainGame.ChildCount(), 3);
  EXPECT_EQ(plainGame.Child(1).Attribute("alias"), "Lion's Mane");
  EXPECT_EQ(plainGame.Child(2).Attribute("id"), "1001");

  EXPECT_EQ(Xml("mode=games_current&user_name=Vesper")->Root().ChildCount(), 10);
  EXPECT_GE(Xml("mode=games_all&user_id=1001")->Root().ChildCount(), 310);
  EXPECT_EQ(Xml("mode=games_all&user_id=4242")->Root().ChildCount(), 0);
}

TEST_F(SimServerTest, FromDateKeepsGamesStartedOrPlayedSince) {
  const SimTime now = SimNow();
  server_.Edit([now](World& world) {
    world.games.erase(world.games.begin() + 3, world.games.end());  // three games are enough
    world.games[0].startTime = now - std::chrono::days(10);         // old, played recently
    world.games[0].players[0].turnDate = now - std::chrono::days(9);
    world.games[0].players[1].turnDate = now - std::chrono::hours(2);
    world.games[1].startTime = now - std::chrono::hours(1);  // new
    world.games[1].players[0].turnDate = world.games[1].players[1].turnDate =
        now - std::chrono::hours(1);
    world.games[2].startTime = now - std::chrono::days(10);  // old, quiet
    world.games[2].players[0].turnDate = world.games[2].players[1].turnDate =
        now - std::chrono::days(8);
  });
  const std::string ids0 = std::to_string(server_.Snapshot().games[0].id);
  const std::string ids1 = std::to_string(server_.Snapshot().games[1].id);
  const std::string ids2 = std::to_string(server_.Snapshot().games[2].id);
  const std::string query = "mode=games_all&user_name=Vesper&fromdate=";
  auto fromText = [](SimTime t) {
    std::string text = FormatServerTime(t);
    return text.replace(10, 1, "%20");
  };
  EXPECT_THAT(Column(query + fromText(now - std::chrono::days(20)), "id"),
              ElementsAre(ids0, ids1, ids2));
  EXPECT_THAT(Column(query + fromText(now - std::chrono::hours(3)), "id"), ElementsAre(ids0, ids1));
  EXPECT_THAT(Column(query + fromText(now - std::chrono::minutes(90)), "id"), ElementsAre(ids1));
  EXPECT_THAT(Column(query + fromText(now + std::chrono::hours(1)), "id"), ElementsAre());
  EXPECT_THAT(Column(query + FormatServerTime(now - std::chrono::days(20)).substr(0, 10), "id"),
              ElementsAre(ids0, ids1, ids2));
}

TEST_F(SimServerTest, BadRequestsAreRefused) {
  for (const char* query :
       {"mode=unknown", "", "mode=player_info", "mode=games_all&user_id=x",
        "mode=player_info&user_id=1,,2", "mode=games_current&user_id=1001&fromdate=2008-13-01"}) {
    try {
      Xml(query);
      ADD_FAILURE() << query;
    } catch (const XmlLoadError& error) {
      EXPECT_THAT(error.what(), HasSubstr("HTTP 400")) << query;
    }
  }
}

TEST_F(SimServerTest, TournamentListWithModerators) {
  auto doc = Xml("mode=tournament_list");
  std::map<std::string, int> moderators;
  for (int i = 0; i < doc->Root().ChildCount(); ++i) {
    XmlElement t = doc->Root().Child(i);
    for (const char* attribute : {"id", "name", "lastUpdated", "default_win_score", "type",
                                  "start_date", "accept_players", "status"}) {
      EXPECT_TRUE(t.Attribute(attribute).has_value()) << attribute;
    }
    moderators[std::string(*t.Attribute("id"))] = t.ChildCount();
    for (int m = 0; m < t.ChildCount(); ++m) EXPECT_EQ(t.Child(m).Name(), "moderator");
  }
  EXPECT_EQ(moderators["18"], 0);
  EXPECT_EQ(moderators["15"], 1);
  EXPECT_EQ(moderators["20"], 3);
}

TEST_F(SimServerTest, ReplayPreparationAndFiles) {
  const std::string base = server_.BaseUrl();
  EXPECT_EQ(http_->GetText(base + "/tarn/get_replay.php?act=getreplay&game_id=52001"), "OK");
  EXPECT_EQ(http_->GetText(base + "/tarn/get_replay.php?act=getreplay&game_id=1"), "Error");
  EXPECT_EQ(http_->GetText(base + "/tarn/get_replay.php?act=getreplay&game_id="), "Error");
  EXPECT_EQ(http_->GetText(base + "/tarn/gamereplays/game_52007_31_30.rep"),
            ReplayBytes(52007, 31, 30));
  for (const char* missing : {"game_1_1_1.rep", "game_52007_40_40.rep", "game_52007_31_29.rep",
                              "game_52009_0_-1.rep", "game_52007_31.rep"}) {
    EXPECT_THROW(http_->GetText(base + "/tarn/gamereplays/" + missing), HttpError) << missing;
  }
  EXPECT_EQ(server_.RequestCount(kReplayFilesPath), 5);  // the malformed name never reached it
}

TEST_F(SimServerTest, WorldChangesShowInTheNextDocument) {
  auto competitorOf52001 = [this](std::string_view attribute) {
    auto doc = Xml("mode=games_current&user_id=1001");
    return std::string(doc->Root().Child(0).Child(3).Attribute(attribute).value_or(""));
  };
  const int turnBefore = std::stoi(competitorOf52001("turn"));
  const SimTime moveTime = SimNow() + std::chrono::hours(1);
  server_.Edit([moveTime](World& world) { world.MoveCompetitor(52001, moveTime); });
  EXPECT_EQ(competitorOf52001("turn"), std::to_string(turnBefore + 1));
  EXPECT_EQ(competitorOf52001("turn_date"), FormatServerTime(moveTime));

  server_.Edit([](World& world) { world.FinishGame(52001, 1001, kWon); });
  EXPECT_EQ(Xml("mode=games_current&user_id=1001")->Root().ChildCount(), 9);
  EXPECT_EQ(server_.RequestCount(XmlModeKey("games_current")), 4);
  EXPECT_EQ(server_.RequestCount(XmlModeKey("games_all")), 0);
}

// Up to `enough` bytes of the answer, read with a client of its own: this one may stop reading.
std::string FirstBytes(int port, const std::string& pathAndQuery, size_t enough) {
  std::string text;
  httplib::Client client("127.0.0.1", port);
  client.Get(pathAndQuery, [&](const char* data, size_t size) {
    text.append(data, size);
    return text.size() < enough;
  });
  return text;
}

std::string ReadText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST_F(SimServerTest, NewFaultsAnswerAsTheySayFromCodeAndFromAScenarioFile) {
  struct Case {
    // The fault as a scenario writes it, and as code sets it.
    const char* key;
    const char* fault;
    std::string codeKey;
    Fault codeFault;
    std::function<void(const SimServer& server)> check;
  };
  const std::string replay = "/tarn/gamereplays/game_52001_14_14.rep";
  const Case cases[] = {
      {"mode=games_current",
       "error_page",
       XmlModeKey("games_current"),
       {.body = Fault::Body::ErrorPage},
       [&](const SimServer& server) {
         auto doc = XmlAt(server.BaseUrl(), "mode=games_current&user_id=1001");  // status 200
         EXPECT_EQ(doc->Root().Name(), "error");
         EXPECT_EQ(doc->Root().Attribute("code"), "500");
         EXPECT_EQ(doc->Root().OwnText(), "Internal server error");
       }},
      {"mode=player_info",
       "other_player",
       XmlModeKey("player_info"),
       {.body = Fault::Body::OtherPlayer},
       [&](const SimServer& server) {
         EXPECT_THAT(ColumnAt(server.BaseUrl(), "mode=player_info&user_name=Vesper", "id"),
                     ElementsAre("1002"));
         EXPECT_THAT(ColumnAt(server.BaseUrl(), "mode=player_info&user_id=1016,1002", "id"),
                     ElementsAre("1001", "1003"));  // the last player's next is the first
       }},
      {"mode=player_info",
       "extra_player",
       XmlModeKey("player_info"),
       {.body = Fault::Body::ExtraPlayer},
       [&](const SimServer& server) {
         EXPECT_THAT(ColumnAt(server.BaseUrl(), "mode=player_info&user_id=1002", "id"),
                     ElementsAre("1002", "1001"));
         EXPECT_THAT(ColumnAt(server.BaseUrl(), "mode=player_info&user_id=1001,1002", "id"),
                     ElementsAre("1001", "1002", "1003"));
       }},
      {"/tarn/gamereplays/",
       "slow:20000",
       kReplayFilesPath,
       {.bytesPerSecond = 20000},
       [&](const SimServer& server) {
         EXPECT_EQ(http_->GetText(server.BaseUrl() + replay), ReplayBytes(52001, 14, 14));
       }},
      {"mode=games_all",
       "endless",
       XmlModeKey("games_all"),
       {.body = Fault::Body::Endless},
       [&](const SimServer& server) {
         const std::string text = FirstBytes(
             server.Port(), std::string(kXmlPath) + "?mode=games_all&user_id=1001", 1 << 20);
         EXPECT_GE(text.size(), size_t(1) << 20);  // far beyond the 168 KB of the whole list
         EXPECT_THAT(text, ::testing::StartsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                                 "<games>\n<game id=\"1\" "));
         EXPECT_THAT(text, HasSubstr("\"/>\n<game id=\"5000\" "));
       }},
  };
  const std::string demo = ReadText(TARN_SIM_SCENARIO_DIR "/demo.json");
  testing::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.key) + " " + c.fault);
    server_.SetFault(c.codeKey, c.codeFault);
    c.check(server_);
    server_.ClearFaults();

    std::string scenario = demo;
    scenario.insert(scenario.rfind('}'),
                    std::string(",\n \"faults\": {\"") + c.key + "\": \"" + c.fault + "\"}\n");
    std::ofstream(dir / "faulty.json") << scenario;
    Scenario loaded = LoadScenario(dir / "faulty.json");
    SimServer faulty(std::move(loaded.world), std::move(loaded.faults));
    faulty.Start();
    c.check(faulty);
  }
}

TEST_F(SimServerTest, StopEndsAnswersStillBeingSent) {
  const std::string list = std::string(kXmlPath) + "?mode=games_all&user_id=1001";
  for (const Fault& fault :
       {Fault{.body = Fault::Body::Endless},
        Fault{.body = Fault::Body::Endless, .bytesPerSecond = 100}, Fault{.bytesPerSecond = 10}}) {
    SimServer server(DemoWorld(), {{XmlModeKey("games_all"), fault}});
    server.Start();
    std::promise<void> receiving;
    bool received = false;
    bool complete = true;
    std::thread client([&] {
      httplib::Client http("127.0.0.1", server.Port());
      complete = bool(http.Get(list, [&](const char*, size_t) {
        if (!received) receiving.set_value();
        received = true;
        return true;
      }));
      if (!received) receiving.set_value();
    });
    receiving.get_future().wait();
    server.Stop();
    client.join();
    EXPECT_TRUE(received);
    EXPECT_FALSE(complete);
  }
}

}  // namespace
}  // namespace tarn::sim
