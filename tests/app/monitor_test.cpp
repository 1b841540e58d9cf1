#include "app/monitor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "platform/http.h"
#include "platform/registry.h"
#include "platform/system_time_zone.h"
#include "platform/xml.h"
#include "sim/sim_server.h"
#include "sim/world.h"
#include "store/db_monitor.h"
#include "support/fakes.h"
#include "support/sim_worlds.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;
using namespace std::chrono_literals;

class RecordingView : public MonitorView {
 public:
  void ChangeImageTray(const std::string& icon) override { icons.push_back(icon); }
  void CaptionChanged(const std::string&) override {}
  std::vector<std::string> icons;
};

// The real HTTP client, with the answers edited on the way in, for documents the simulated
// server would never send.
class RewritingHttp : public Http {
 public:
  std::string GetText(const std::string& url) override { return rewrite(http_->GetText(url)); }
  void GetToFile(const std::string& url, const std::filesystem::path& file) override {
    http_->GetToFile(url, file);
  }
  std::function<std::string(std::string)> rewrite = [](std::string text) { return text; };

 private:
  // A small limit on documents, so an endless answer is refused quickly.
  std::unique_ptr<Http> http_ =
      MakeCurlHttp({.connectTimeout = 2000ms, .stallTime = 5s, .maxTextBytes = 1 << 20});
};

class MonitorTest : public ::testing::Test {
 protected:
  MonitorTest() : server_(testing::AlphaWorld()) {
    server_.Start();
    host_ = "127.0.0.1:" + std::to_string(server_.Port());
    const auto profile = dir_ / "profile";
    std::filesystem::create_directories(profile / "Tarn Frontlines");
    testing::WriteText(profile / "Tarn Frontlines" / "settings.ini",
                       "[misc]\nlast_network_alias=alpha\n");
    env_.variables["USERPROFILE"] = profile.string();
  }

  void Start() {
    db_ = std::make_unique<TFormDBMonitor>(dialogs_, clock_);
    db_->FormCreate(dir_ / "data");
    monitor_ = std::make_unique<Monitor>(
        MonitorServices{*db_, loader_, dialogs_, clock_, env_, registry_, bias_, host_}, &view_);
    monitor_->PrepareStartup();
  }

  std::vector<std::string> Messages() {
    std::vector<std::string> lines;
    const TAlertMessages& messages = monitor_->Alerts().Messages();
    for (int i = 0; i < messages.Count(); ++i) lines.push_back(OneLineText(messages.Item(i)));
    return lines;
  }

  // Every Players row as "id alias current|no", in append order.
  std::string CurrentMarks() {
    std::string marks;
    Table& players = db_->Players;
    for (int r = 1; r <= players.RecordCount(); ++r) {
      players.SetRecNo(r);
      if (!marks.empty()) marks += ", ";
      marks += players.Field("player_id").AsText() + " " + players.Field("alies").AsText() +
               (players.Field("current").AsBool() ? " current" : " no");
    }
    return marks;
  }

  std::vector<int64_t> StoredGameIds() {
    std::vector<int64_t> ids;
    Table& games = db_->CurrentGames;
    for (int r = 1; r <= games.RecordCount(); ++r) {
      games.SetRecNo(r);
      ids.push_back(games.Field("game_id").AsInt());
    }
    std::sort(ids.begin(), ids.end());
    return ids;
  }

  void Down() { server_.SetFault(sim::kXmlPath, sim::Fault{0ms, 503}); }

  testing::TempDir dir_;
  testing::RecordingDialogs dialogs_;
  testing::FixedClock clock_;
  testing::FakeEnvironment env_;
  WineRegistry registry_{""};
  testing::FixedTimeZone bias_;
  RecordingView view_;
  sim::SimServer server_;
  std::string host_;
  RewritingHttp http_;
  HttpXmlLoader loader_{http_};
  std::unique_ptr<TFormDBMonitor> db_;
  std::unique_ptr<Monitor> monitor_;
};

TEST_F(MonitorTest, FirstStartStoresThePlayerAndTheFirstTickLoadsEveryGameQuietly) {
  Start();
  EXPECT_EQ(db_->GlobalSettings.Field("time_zone_index").AsInt(), 15);  // the system's GMT+1
  EXPECT_EQ(db_->GlobalSettings.Field("time_zone_h").AsInt(), 1);
  EXPECT_EQ(monitor_->Caption(), "Tarn Monitor - alpha - 1700.5");
  ASSERT_TRUE(db_->Players.Locate("current", true));
  EXPECT_EQ(db_->Players.Field("alies").AsText(), "alpha");
  EXPECT_EQ(db_->Tournaments.RecordCount(), 2);  // tournament 1 is left out

  EXPECT_EQ(monitor_->Timer1Timer(), 10 * 60000);  // the delivered ten-minute period
  EXPECT_FALSE(monitor_->FirstRun);
  EXPECT_EQ(db_->CurrentGames.RecNo(), 1);  // a fresh list starts at its top
  EXPECT_THAT(StoredGameIds(), ElementsAre(100, 101));
  EXPECT_THAT(Messages(), ElementsAre("12:12:09 Checking result: New games: 0 Updated games: 0 "
                                      "Finished games: 0"));
  EXPECT_THAT(view_.icons, IsEmpty());
  EXPECT_THAT(dialogs_.messages, IsEmpty());
  EXPECT_THAT(dialogs_.errors, IsEmpty());
}

TEST_F(MonitorTest, ChecksAnnounceCompetitorMovesNewAndFinishedGamesButNotOwnMoves) {
  Start();
  monitor_->Timer1Timer();
  server_.Edit([](sim::World& w) {
    w.MoveCompetitor(100);
    w.MoveOwn(101);
  });
  monitor_->Timer1Timer();
  EXPECT_THAT(Messages(), ElementsAre(::testing::_, "12:12:09 Updated game: with beta on Eden"));
  ASSERT_TRUE(db_->CurrentGames.Locate("game_id", 101));
  EXPECT_EQ(db_->CurrentGames.Field("own_turn").AsInt(), 5);  // stored without a message

  server_.Edit([](sim::World& w) {
    w.StartGame(testing::MakeGame(102, 9, "pl", 42, "iron"));
    w.FinishGame(100, 42, sim::kWon);
  });
  monitor_->Timer1Timer();
  const auto& messages = monitor_->Alerts().Messages();
  ASSERT_EQ(messages.Count(), 4);
  EXPECT_EQ(OneLineText(messages.Item(2)), "12:12:09 New game: with delta on Station \"Thunder\"");
  EXPECT_EQ(messages.Item(2).ImageIndex(), 1);  // alpha plays "fnu" there
  EXPECT_EQ(OneLineText(messages.Item(3)), "12:12:09 Finished game: with beta on Eden");
  EXPECT_EQ(messages.Item(3).ImageIndex(), 0);
  EXPECT_EQ(monitor_->MessageCount, 4);
  EXPECT_EQ(monitor_->Alerts().Selected(), 4);
  EXPECT_TRUE(monitor_->TrayAlert);
  EXPECT_THAT(view_.icons, ElementsAre("tarnMon2.ico", "tarnMon2.ico"));
  EXPECT_THAT(StoredGameIds(), ElementsAre(101, 102));

  monitor_->Timer1Timer();  // nothing changed on the server
  EXPECT_EQ(monitor_->Alerts().Messages().Count(), 4);
  EXPECT_EQ(view_.icons.size(), 2u);

  monitor_->Alerts().Close();
  EXPECT_FALSE(monitor_->TrayAlert);
  EXPECT_EQ(view_.icons.back(), "tarnMon.ico");
}

TEST_F(MonitorTest, AfterDeletingTheGamesACheckAnnouncesEachAsNewAndALoadDoesNot) {
  Start();
  monitor_->Timer1Timer();
  ASSERT_TRUE(monitor_->DeleteCurrentGames());
  EXPECT_THAT(StoredGameIds(), IsEmpty());
  monitor_->Timer1Timer();
  EXPECT_THAT(Messages(), ElementsAre(::testing::_, "12:12:09 New game: with beta on Eden",
                                      "12:12:09 New game: with gamma on Lion's Eye"));

  ASSERT_TRUE(monitor_->DeleteCurrentGames());
  ASSERT_TRUE(monitor_->LoadCurrentGames());
  EXPECT_THAT(Messages(), ElementsAre("12:12:09 Checking result: New games: 0 Updated games: 0 "
                                      "Finished games: 0"));
  EXPECT_THAT(StoredGameIds(), ElementsAre(100, 101));
}

TEST_F(MonitorTest, AnUnreachableServerChangesNothingAndTheNextTickAfterItWorks) {
  Down();
  Start();
  TS_CURRGAME stored;  // left from an earlier run
  stored.game_id = 99;
  stored.own_side = "pl";
  stored.competitor_name = "beta";
  db_->InsertCurrentGame(stored);
  EXPECT_THAT(dialogs_.messages, ElementsAre(StartsWith(host_ + " does not allowed\n")));
  EXPECT_EQ(monitor_->Caption(), "Tarn Monitor - alpha");

  EXPECT_EQ(monitor_->CheckInterval, 10 * 60000);  // the periods were still read
  // The quiet first load has not happened yet, so it is tried again every minute.
  EXPECT_EQ(monitor_->Timer1Timer(), 60000);
  EXPECT_EQ(monitor_->Timer1Timer(), 60000);
  EXPECT_TRUE(monitor_->FirstRun);
  EXPECT_THAT(StoredGameIds(), ElementsAre(99));
  EXPECT_THAT(Messages(), IsEmpty());
  EXPECT_EQ(monitor_->ServerClient, nullptr);

  server_.ClearFaults();
  EXPECT_EQ(monitor_->Timer1Timer(), 10 * 60000);
  EXPECT_THAT(Messages(), ElementsAre("12:12:09 Checking result: New games: 2 Updated games: 0 "
                                      "Finished games: 1"));
  EXPECT_THAT(StoredGameIds(), ElementsAre(100, 101));
  EXPECT_EQ(monitor_->Caption(), "Tarn Monitor - alpha - 1700.5");  // stored once reachable
}

TEST_F(MonitorTest, ABrokenDocumentEndsTheTickAndLeavesTheGamesAsTheyWere) {
  Start();
  monitor_->Timer1Timer();
  server_.Edit([](sim::World& w) { w.FinishGame(100, 42, sim::kLost); });
  for (const auto body : {sim::Fault::Body::Truncated, sim::Fault::Body::Malformed,
                          sim::Fault::Body::ClosedConnection}) {
    server_.SetFault(sim::XmlModeKey("games_current"), sim::Fault{0ms, 0, body});
    EXPECT_EQ(monitor_->Timer1Timer(), 10 * 60000);
    server_.ClearFaults();
  }
  EXPECT_EQ(dialogs_.errors.size(), 3u);
  EXPECT_THAT(StoredGameIds(), ElementsAre(100, 101));
  EXPECT_EQ(monitor_->Alerts().Messages().Count(), 1);

  monitor_->Timer1Timer();
  EXPECT_THAT(Messages(), ElementsAre(::testing::_, "12:12:09 Finished game: with beta on Eden"));
}

// Whatever the server answers instead of the game list, the stored games stay as they were and
// nothing is announced; the next good answer is checked as usual.
TEST_F(MonitorTest, HostileGameListAnswersChangeNothing) {
  using Body = sim::Fault::Body;
  const struct {
    const char* what;
    sim::Fault fault;
    const char* error;
  } cases[] = {
      {"an error page", {0ms, 0, Body::ErrorPage}, "with an error: Internal server error"},
      {"a 404", {0ms, 404}, "404"},
      {"an endless list", {0ms, 0, Body::Endless}, "over the limit"},
      {"a truncated list", {0ms, 0, Body::Truncated}, "broken off"},
      {"a connection closed at once", {0ms, 0, Body::ClosedConnection}, "without an answer"},
  };
  Start();
  monitor_->Timer1Timer();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    dialogs_.errors.clear();
    server_.SetFault(sim::XmlModeKey("games_current"), c.fault);
    EXPECT_FALSE(monitor_->Check());
    server_.ClearFaults();
    EXPECT_THAT(dialogs_.errors, ElementsAre(HasSubstr(c.error)));
    EXPECT_THAT(StoredGameIds(), ElementsAre(100, 101));
    EXPECT_EQ(monitor_->Alerts().Messages().Count(), 1);
  }
  // A slow but steady line is no fault.
  server_.SetFault(sim::XmlModeKey("games_current"), sim::Fault{.bytesPerSecond = 4000});
  server_.Edit([](sim::World& w) { w.MoveCompetitor(100); });
  EXPECT_TRUE(monitor_->Check());
  EXPECT_THAT(Messages().back(), "12:12:09 Updated game: with beta on Eden");
}

TEST_F(MonitorTest, APlayersRefreshAnsweredWithOtherPlayersTouchesOnlyTheirOwnRows) {
  Start();
  monitor_->Timer1Timer();
  ASSERT_TRUE(monitor_->UpdatePlayers());
  const std::string rows = CurrentMarks();
  for (const auto body : {sim::Fault::Body::OtherPlayer, sim::Fault::Body::ExtraPlayer}) {
    server_.SetFault(sim::XmlModeKey("player_info"), sim::Fault{0ms, 0, body});
    EXPECT_TRUE(monitor_->UpdatePlayers());
    EXPECT_EQ(CurrentMarks(), rows);
  }
  server_.SetFault(sim::XmlModeKey("player_info"), sim::Fault{0ms, 0, sim::Fault::Body::ErrorPage});
  EXPECT_FALSE(monitor_->UpdatePlayers());
  EXPECT_EQ(CurrentMarks(), rows);
  EXPECT_THAT(dialogs_.messages,
              ::testing::Contains(StartsWith(host_ + " does not allowed\nThe server answered")));
}

TEST_F(MonitorTest, AnUnknownAliasIsReportedAndNothingIsChecked) {
  testing::WriteText(dir_ / "profile" / "Tarn Frontlines" / "settings.ini",
                     "[misc]\nlast_network_alias=ghost\n");
  Start();
  EXPECT_THAT(dialogs_.messages, ElementsAre("Player ghost not found"));
  EXPECT_FALSE(db_->Players.Locate("current", true));
  monitor_->Timer1Timer();
  monitor_->Timer1Timer();
  EXPECT_THAT(StoredGameIds(), IsEmpty());
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(MonitorTest, ANewMonitoredPlayerTakesOverWithoutAnnouncingTheOldGamesAsFinished) {
  Start();
  monitor_->Timer1Timer();
  server_.Edit([](sim::World& w) { w.StartGame(testing::MakeGame(103, 8, "fnu", 9, "swamp")); });
  ASSERT_TRUE(monitor_->SaveMonitoredPlayer("gamma"));
  EXPECT_EQ(monitor_->MonitoredAlias, "gamma");
  EXPECT_EQ(monitor_->Caption(), "Tarn Monitor - gamma - 1600");
  EXPECT_THAT(StoredGameIds(), ElementsAre(101, 103));
  EXPECT_EQ(CurrentMarks(), "42 alpha no, 8 gamma current");

  monitor_->Timer1Timer();
  EXPECT_EQ(monitor_->Alerts().Messages().Count(), 1);  // only the first summary
  EXPECT_THAT(dialogs_.messages, IsEmpty());

  const int lookups = server_.RequestCount(sim::XmlModeKey("player_info"));
  ASSERT_TRUE(monitor_->SaveMonitoredPlayer("gamma"));  // the same player: nothing to fetch
  EXPECT_EQ(server_.RequestCount(sim::XmlModeKey("player_info")), lookups);
  EXPECT_FALSE(monitor_->SaveMonitoredPlayer("ghost"));
  EXPECT_EQ(monitor_->MonitoredAlias, "gamma");
}

TEST_F(MonitorTest, PlayersAreRefreshedOnlyStrictlyAfterTheirTime) {
  db_ = std::make_unique<TFormDBMonitor>(dialogs_, clock_);
  db_->FormCreate(dir_ / "data");
  db_->GlobalSettings.Edit();
  db_->GlobalSettings.SetField("last_sync", DateTime(clock_.now.Days() - 1.0));
  db_->GlobalSettings.Post();
  db_->Close();
  Start();
  ASSERT_EQ(monitor_->NextPlayersRefresh.TotalMilliseconds(), clock_.now.TotalMilliseconds());

  monitor_->Timer1Timer();
  const int lookups = server_.RequestCount(sim::XmlModeKey("player_info"));
  clock_.now = DateTime(clock_.now.Days() + 1.0 / 86400);
  server_.Edit([](sim::World& w) { w.AddPlayer(testing::MakePlayer(7, "beta", "1999")); });
  monitor_->Timer1Timer();
  EXPECT_GT(server_.RequestCount(sim::XmlModeKey("player_info")), lookups);
  ASSERT_TRUE(db_->Players.Locate("player_id", 7));  // competitors were added and filled
  EXPECT_EQ(db_->Players.Field("score_glicko").AsText(), "1999");
  EXPECT_TRUE(db_->GlobalSettings.Field("last_sync").AsDateTime().SameSecond(clock_.now));
  EXPECT_TRUE(monitor_->NextPlayersRefresh.SameSecond(DateTime(clock_.now.Days() + 1.0)));
}

TEST_F(MonitorTest, EveryTickLeavesItsChangesOnDisk) {
  Start();
  monitor_->Timer1Timer();
  server_.Edit([](sim::World& w) { w.FinishGame(101, 42, sim::kLost); });
  monitor_->Timer1Timer();

  // A second store over the same files sees what a process killed now would leave behind.
  testing::RecordingDialogs otherDialogs;
  TFormDBMonitor onDisk(otherDialogs, clock_);
  onDisk.FormCreate(dir_ / "data");
  EXPECT_EQ(onDisk.CurrentGames.RecordCount(), 1);
  EXPECT_TRUE(onDisk.CurrentGames.Locate("game_id", 100));
  EXPECT_TRUE(onDisk.Players.Locate("current", true));
  EXPECT_THAT(otherDialogs.errors, IsEmpty());
}

TEST_F(MonitorTest, AnUnreadableGameIsLeftOutAndReportedWithoutHidingTheOthers) {
  Start();
  monitor_->Timer1Timer();
  server_.Edit([](sim::World& w) {
    w.GetGame(101).players[1].status = 40000;  // alpha's status there is no small integer
    w.MoveCompetitor(100);
    w.StartGame(testing::MakeGame(102, 9, "pl", 42, "iron"));
  });
  EXPECT_FALSE(monitor_->Check());
  // 101 is neither announced finished nor deleted; the others are announced as usual.
  EXPECT_THAT(Messages(), ElementsAre(::testing::_, "12:12:09 Updated game: with beta on Eden",
                                      "12:12:09 New game: with delta on Station \"Thunder\""));
  EXPECT_THAT(StoredGameIds(), ElementsAre(100, 101, 102));
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_THAT(dialogs_.errors[0], HasSubstr("Game 101: "));
  EXPECT_THAT(dialogs_.errors[0], HasSubstr("'status'"));

  // With the id unreadable too, the check cannot tell which game it was: nothing is finished.
  server_.Edit([](sim::World& w) {
    w.FinishGame(100, 42, sim::kWon);
    w.GetGame(101).players[1].status = 1;
  });
  http_.rewrite = [](std::string text) {
    const std::string id = "id=\"102\"";
    const size_t at = text.find(id);
    return at == std::string::npos ? text : text.replace(at, id.size(), "id=\"x\"");
  };
  dialogs_.errors.clear();
  EXPECT_FALSE(monitor_->Check());
  EXPECT_EQ(monitor_->Alerts().Messages().Count(), 3);
  EXPECT_THAT(StoredGameIds(), ElementsAre(100, 101, 102));
  EXPECT_THAT(dialogs_.errors, ElementsAre(HasSubstr("Game number 2: ")));

  http_.rewrite = [](std::string text) { return text; };
  EXPECT_TRUE(monitor_->Check());
  EXPECT_THAT(Messages().back(), "12:12:09 Finished game: with beta on Eden");
}

TEST_F(MonitorTest, AnUnreadableGameDuringAPlayerChangeKeepsTheReadableOnes) {
  Start();
  monitor_->Timer1Timer();
  server_.Edit([](sim::World& w) {
    sim::SimGame broken = testing::MakeGame(104, 9, "pl", 8, "swamp");
    broken.players[1].status = 40000;  // gamma's status is no small integer
    w.StartGame(broken);
  });
  EXPECT_TRUE(monitor_->SaveMonitoredPlayer("gamma"));
  EXPECT_EQ(monitor_->MonitoredAlias, "gamma");
  EXPECT_THAT(StoredGameIds(), ElementsAre(101));
  EXPECT_THAT(dialogs_.errors, ElementsAre(HasSubstr("Game 104: ")));
}

TEST_F(MonitorTest, EachPlayerHasOneRowAndOnlyTheMonitoredOneIsCurrent) {
  Start();
  monitor_->Timer1Timer();
  ASSERT_TRUE(monitor_->UpdatePlayers());  // stores the competitors beta and gamma
  EXPECT_EQ(CurrentMarks(), "42 alpha current, 7 beta no, 8 gamma no");
  ASSERT_TRUE(monitor_->SaveMonitoredPlayer("beta"));
  EXPECT_EQ(CurrentMarks(), "42 alpha no, 7 beta current, 8 gamma no");
  ASSERT_TRUE(monitor_->UpdatePlayers());
  ASSERT_TRUE(monitor_->SaveMonitoredPlayer("alpha"));
  ASSERT_TRUE(monitor_->UpdatePlayers());
  EXPECT_EQ(CurrentMarks(), "42 alpha current, 7 beta no, 8 gamma no");
}

TEST_F(MonitorTest, AnAliasTooLongForThePlayersTableIsRefusedBeforeAnyRequest) {
  Start();
  const std::string before = CurrentMarks();
  const int lookups = server_.RequestCount(sim::XmlModeKey("player_info"));
  EXPECT_FALSE(monitor_->SaveMonitoredPlayer(std::string(61, 'x')));
  EXPECT_THAT(dialogs_.errors, ElementsAre(HasSubstr("longer than the 60 characters")));
  EXPECT_EQ(server_.RequestCount(sim::XmlModeKey("player_info")), lookups);
  EXPECT_EQ(CurrentMarks(), before);
  EXPECT_EQ(monitor_->MonitoredAlias, "alpha");

  std::string sixtyLetters;  // counted in characters, not bytes
  for (int i = 0; i < 60; ++i) sixtyLetters += "\xD0\x96";
  EXPECT_FALSE(monitor_->SaveMonitoredPlayer(sixtyLetters));
  EXPECT_THAT(dialogs_.messages, ElementsAre("Player " + sixtyLetters + " not found"));
}

TEST_F(MonitorTest, NamingAPlayerFirstDecidesTheTimeZoneBeforeHisGamesAreStored) {
  db_ = std::make_unique<TFormDBMonitor>(dialogs_, clock_);
  db_->FormCreate(dir_ / "data");
  monitor_ = std::make_unique<Monitor>(
      MonitorServices{*db_, loader_, dialogs_, clock_, env_, registry_, bias_, host_}, &view_);
  ASSERT_TRUE(monitor_->SaveMonitoredPlayer("alpha"));  // before any start-up
  EXPECT_EQ(db_->GlobalSettings.Field("time_zone_h").AsInt(), 1);
  monitor_.reset();
  db_.reset();

  Start();
  monitor_->Timer1Timer();
  EXPECT_THAT(Messages(), ElementsAre("12:12:09 Checking result: New games: 0 Updated games: 0 "
                                      "Finished games: 0"));
}

TEST_F(MonitorTest, PlayersAreNotCountedAsRefreshedByATickThatReachedNobody) {
  db_ = std::make_unique<TFormDBMonitor>(dialogs_, clock_);
  db_->FormCreate(dir_ / "data");
  db_->GlobalSettings.Edit();
  db_->GlobalSettings.SetField("last_sync", DateTime(clock_.now.Days() - 2.0));
  db_->GlobalSettings.Post();
  db_->Close();
  Down();
  Start();
  const DateTime lastSync = db_->GlobalSettings.Field("last_sync").AsDateTime();
  ASSERT_LT(monitor_->NextPlayersRefresh.TotalMilliseconds(), clock_.now.TotalMilliseconds());
  monitor_->Timer1Timer();
  EXPECT_EQ(db_->GlobalSettings.Field("last_sync").AsDateTime().TotalMilliseconds(),
            lastSync.TotalMilliseconds());
  EXPECT_FALSE(monitor_->UpdatePlayers());
  EXPECT_THAT(dialogs_.messages.back(), "Players were updated");

  server_.ClearFaults();
  monitor_->Timer1Timer();
  EXPECT_TRUE(db_->GlobalSettings.Field("last_sync").AsDateTime().SameSecond(clock_.now));
  EXPECT_TRUE(db_->Players.Locate("player_id", 7));
}

TEST_F(MonitorTest, OneTickAtATime) {
  // A message box that lets the next timer tick through while it is open.
  class ReenteringDialogs : public testing::RecordingDialogs {
   public:
    std::function<void()> whileOpen;
    void ShowMessage(const std::string& text) override {
      RecordingDialogs::ShowMessage(text);
      if (whileOpen) whileOpen();
    }
  } dialogs;
  Down();
  db_ = std::make_unique<TFormDBMonitor>(dialogs, clock_);
  db_->FormCreate(dir_ / "data");
  monitor_ = std::make_unique<Monitor>(
      MonitorServices{*db_, loader_, dialogs, clock_, env_, registry_, bias_, host_}, &view_);
  monitor_->PrepareStartup();
  int nestedInterval = -1;
  dialogs.whileOpen = [&] { nestedInterval = monitor_->Timer1Timer(); };
  monitor_->Timer1Timer();
  EXPECT_EQ(dialogs.messages.size(), 2u);  // the tick inside the box asked nothing
  EXPECT_EQ(nestedInterval, 60000);
  EXPECT_EQ(server_.RequestCount(sim::XmlModeKey("player_info")), 2);
}

TEST_F(MonitorTest, UpdatePlayersTellsItIsDoneAlsoWithoutAPlayer) {
  testing::WriteText(dir_ / "profile" / "Tarn Frontlines" / "settings.ini", "[misc]\n");
  Start();
  ASSERT_TRUE(monitor_->UpdatePlayers());
  EXPECT_THAT(dialogs_.messages, ElementsAre("Players were updated"));
  EXPECT_EQ(server_.RequestCount(sim::kXmlPath), 0);
  EXPECT_FALSE(monitor_->LoadCurrentGames());
  EXPECT_FALSE(monitor_->Check());
  EXPECT_THAT(dialogs_.errors, ElementsAre(kNoMonitoredPlayer, kNoMonitoredPlayer));
}

TEST_F(MonitorTest, TheLastCheckTellsWhatItFoundOrSinceWhenTheServerGaveNoList) {
  using Result = CheckOutcome::Result;
  Down();
  Start();
  EXPECT_EQ(monitor_->LastCheck().result, Result::None);
  const DateTime start = clock_.now;
  monitor_->Timer1Timer();  // the player could not be looked up
  EXPECT_EQ(monitor_->LastCheck().result, Result::Unreachable);
  EXPECT_THAT(monitor_->LastCheck().text, HasSubstr("503"));
  EXPECT_EQ(monitor_->LastCheck().since, start);

  clock_.now = DateTime(start.Days() + 1.0 / 1440);
  monitor_->Timer1Timer();
  EXPECT_EQ(monitor_->LastCheck().time, clock_.now);
  EXPECT_EQ(monitor_->LastCheck().since, start);  // failing since the first failure

  server_.ClearFaults();
  monitor_->Timer1Timer();
  EXPECT_EQ(monitor_->LastCheck().result, Result::Checked);
  EXPECT_EQ(monitor_->LastCheck().text, "2 current games, nothing new");

  server_.Edit([](sim::World& w) {
    w.MoveCompetitor(100);
    w.FinishGame(101, 42, sim::kLost);
    w.StartGame(testing::MakeGame(102, 9, "pl", 42, "iron"));
  });
  monitor_->Timer1Timer();
  EXPECT_EQ(monitor_->LastCheck().text, "2 current games, 1 new, 1 updated, 1 finished");

  server_.SetFault(sim::XmlModeKey("games_current"),
                   sim::Fault{0ms, 0, sim::Fault::Body::ClosedConnection});
  clock_.now = DateTime(start.Days() + 2.0 / 1440);
  EXPECT_FALSE(monitor_->Check());
  EXPECT_EQ(monitor_->LastCheck().result, Result::Unreachable);
  EXPECT_EQ(monitor_->LastCheck().since, clock_.now);
  EXPECT_EQ(monitor_->LastCheck().text, dialogs_.errors.back());
}

TEST_F(MonitorTest, ALastCheckWithoutAPlayerToAskSaysWhy) {
  const struct {
    const char* settings;
    const char* text;
  } cases[] = {
      {"[misc]\nlast_network_alias=ghost\n", "The server does not know the player ghost"},
      {"[misc]\n", kNoMonitoredPlayer},
  };
  for (const auto& c : cases) {
    testing::WriteText(dir_ / "profile" / "Tarn Frontlines" / "settings.ini", c.settings);
    Start();
    monitor_->Timer1Timer();
    EXPECT_EQ(monitor_->LastCheck().result, CheckOutcome::Result::Failed) << c.settings;
    EXPECT_EQ(monitor_->LastCheck().text, c.text);
    monitor_.reset();
    db_.reset();
  }
}

TEST_F(MonitorTest, CaptionOnALaterShowingAndUnusableCheckPeriods) {
  Start();
  monitor_->IdentifyPlayer();
  EXPECT_EQ(monitor_->Caption(), "TARN Monitor - alpha - 1700.5");

  for (const auto& [minutes, interval] :
       {std::pair{-1, 0}, {0, 0}, {5, 300000}, {1000000, 7 * 24 * 60 * 60000}}) {
    db_->GlobalSettings.Edit();
    db_->GlobalSettings.SetField("sync_period_currgames", minutes);
    db_->GlobalSettings.Post();
    monitor_->MonitoredAlias.clear();
    monitor_->CheckInterval = 0;
    monitor_->IdentifyPlayer();
    EXPECT_EQ(monitor_->CheckInterval, interval) << minutes;
  }
}

}  // namespace
}  // namespace tarn
