#include "server/xml_tarn.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "server/server_data_error.h"
#include "store/db_monitor.h"
#include "support/fake_xml_loader.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kHost = "tarn.test";
const std::string kBase = "http://tarn.test/tarn/prokladko/xml_server_v2.php?";

std::string PlayerXml(int id, const std::string& alias, const std::string& glicko = "1500.5") {
  return "<player id='" + std::to_string(id) + "' name='N" + alias + "' country='Neverland' " +
         "email='" + alias + "@x' alias='" + alias + "' user_type='1' " +
         "last_login='2008-06-01 10:00:00' stat_score='10' stat_wins='5' stat_looses='3' " +
         "stat_drawns='2' country_code='7' reg_date='2007-01-01 00:00:00' player_occupation='3' " +
         "score_exp='120' score_glicko='" + glicko + "' place_glicko='4' place_exp='9' " +
         "stat_active='2' avatar_state='1' gender='0' add_info='hello'/>";
}

struct PlayerElem {
  int id;
  std::string side, alias;
  int status, turn;
  std::string date;
};

std::string PlayerElemXml(const PlayerElem& p) {
  return "<player id='" + std::to_string(p.id) + "' side='" + p.side + "' alias='" + p.alias +
         "' status='" + std::to_string(p.status) + "' turn='" + std::to_string(p.turn) +
         "' turn_date='" + p.date + "'/>";
}

std::string GameXml(int id, const PlayerElem& first, const PlayerElem& second,
                    const std::string& tournament = "",
                    const std::string& turnLimit = "2000-01-04 12:00:00") {
  return "<game id='" + std::to_string(id) +
         "' start_time='2008-05-01 09:00:00' activeDeadline='2008-06-05 10:00:00' "
         "passiveRemainingTime='3600' tourney='" +
         (tournament.empty() ? "0" : "1") + "'>" +
         "<settings mentorGame='true' ratingGame='1' useChessClock='False' unitSet='2' "
         "revenue_turns_count='5' alliesDensityCode='1' ingame_time_left='77' turn_limit='" +
         turnLimit + "' planet='eden'/>" + tournament + PlayerElemXml(first) +
         PlayerElemXml(second) + "</game>";
}

const PlayerElem kOwn{42, "pl", "alpha", 1, 5, "2008-06-01 10:00:00"};
const PlayerElem kOther{7, "fnu", "beta", 2, 5, "2008-06-02 11:30:00"};

class XmlTarnTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_.FormCreate(dir_.Path());
    db_.SetTimeZone(17, 3, 0);  // server time + 4 h
    loader_.Answer(kBase + "mode=player_info&user_name=alpha",
                   "<players>" + PlayerXml(42, "alpha") + "</players>");
  }
  void AnswerGames(const std::string& query, const std::string& games) {
    loader_.Answer(kBase + query, "<games>\n  " + games + "\n  <!-- end -->\n</games>");
  }

  std::unique_ptr<TXMLTarn> Create(GameListMode mode, DateTime from = {}) {
    return TXMLTarn::Create({loader_, dialogs_, db_, kHost}, "alpha", mode, from);
  }

  testing::TempDir dir_;
  testing::RecordingDialogs dialogs_;
  testing::FixedClock clock_;
  TFormDBMonitor db_{dialogs_, clock_};
  testing::FakeXmlLoader loader_;
};

TEST_F(XmlTarnTest, CreateReadsThePlayerWithShiftedDatesAndLoadsNoListInMode4) {
  auto client = Create(GameListMode::None);
  EXPECT_EQ(client->Mode, GameListMode::None);
  EXPECT_EQ(client->GameCount, 0);
  EXPECT_EQ(client->Document, nullptr);
  EXPECT_EQ(client->Player.player_id, 42);
  EXPECT_EQ(client->Player.alies, "alpha");
  EXPECT_EQ(client->Player.score_glicko, "1500.5");
  EXPECT_EQ(client->Player.avatar_state, "1");
  EXPECT_FALSE(client->Player.current);
  EXPECT_EQ(client->Player.last_login.ToStorageText(), "2008-06-01 14:00:00.000");
  EXPECT_THAT(loader_.requests, ElementsAre(kBase + "mode=player_info&user_name=alpha"));
  EXPECT_THAT(dialogs_.messages, IsEmpty());
}

TEST_F(XmlTarnTest, CreateReportsUnknownAndUnreachablePlayersAndReturnsUnread) {
  loader_.Answer(kBase + "mode=player_info&user_name=ghost", "<players/>");
  auto unknown =
      TXMLTarn::Create({loader_, dialogs_, db_, kHost}, "ghost", GameListMode::CurrentGames, {});
  auto unreachable =
      TXMLTarn::Create({loader_, dialogs_, db_, kHost}, "nobody", GameListMode::CurrentGames, {});
  for (const auto* client : {unknown.get(), unreachable.get()}) {
    EXPECT_EQ(client->Player.player_id, 0);
    EXPECT_EQ(client->Mode, GameListMode::CurrentGames);
    EXPECT_EQ(client->GameCount, 0);
  }
  EXPECT_THAT(dialogs_.messages, ElementsAre("Player ghost not found",
                                             "tarn.test does not allowed\nCannot connect to " +
                                                 kBase + "mode=player_info&user_name=nobody"));
  EXPECT_EQ(loader_.requests.size(), 2u);  // no game list was asked for
}

TEST_F(XmlTarnTest, CreatePassesOnABrokenPlayerAndAFailingGameList) {
  loader_.Answer(kBase + "mode=player_info&user_name=bad", "<players><player id='x1'/></players>");
  EXPECT_THROW(TXMLTarn::Create({loader_, dialogs_, db_, kHost}, "bad", GameListMode::None, {}),
               ServerDataError);
  EXPECT_THROW(Create(GameListMode::CurrentGames),
               XmlLoadError);  // the games_current document is not there
  EXPECT_THAT(dialogs_.messages, IsEmpty());
}

TEST_F(XmlTarnTest, SinceRequestsEncodeTheDateAndPutWwwInFront) {
  const std::string wwwBase = "http://www.tarn.test/tarn/prokladko/xml_server_v2.php?";
  loader_.Answer(wwwBase + "mode=games_current&user_name=alpha&fromdate=2008-06-01", "<games/>");
  loader_.Answer(wwwBase + "mode=games_all&user_name=alpha&fromdate=2008-06-01%2012%3A30%3A00",
                 "<games/>");
  EXPECT_EQ(Create(GameListMode::CurrentGamesSince, *DateTime::FromFields(2008, 6, 1))->Mode,
            GameListMode::CurrentGamesSince);
  EXPECT_EQ(Create(GameListMode::AllGamesSince, *DateTime::FromFields(2008, 6, 1, 12, 30))->Mode,
            GameListMode::AllGamesSince);
}

TEST_F(XmlTarnTest, ReadGameFillsEveryFieldFromEitherPlayerOrder) {
  const std::string tournament = "<tournament id='15' name='Cup'/>";
  AnswerGames("mode=games_current&user_id=42",
              GameXml(100, kOwn, kOther, tournament) + GameXml(101, kOther, kOwn));
  auto client = Create(GameListMode::CurrentGames);
  ASSERT_EQ(client->GameCount, 2);

  client->ReadGame(0);
  const TS_CURRGAME& g = client->Game;
  EXPECT_EQ(g.game_id, 100);
  EXPECT_EQ(g.player_id, 42);
  EXPECT_EQ(g.player_name, "alpha");
  EXPECT_EQ(g.map_id, "eden");
  EXPECT_EQ(g.start_time.ToStorageText(), "2008-05-01 13:00:00.000");
  EXPECT_EQ(g.active_deadline.ToStorageText(), "2008-06-05 14:00:00.000");
  EXPECT_EQ(g.passive_remaining_time, 3600);
  EXPECT_TRUE(g.tourney);
  EXPECT_TRUE(g.mentor_game);
  EXPECT_TRUE(g.rating_game);
  EXPECT_FALSE(g.chess_clock);
  EXPECT_EQ(g.unit_set, 2);
  EXPECT_EQ(g.revenue_turns, 5);
  EXPECT_EQ(g.alies_density, 1);
  EXPECT_EQ(g.ingame_time, 77);
  EXPECT_EQ(g.turn_limit, 3.0);
  EXPECT_EQ(g.freeze_time, 12);
  EXPECT_EQ(g.tournament_id, 15);
  EXPECT_EQ(g.tournament_name, "Cup");
  EXPECT_EQ(g.own_side, "pl");
  EXPECT_EQ(g.competitor_id, 7);
  EXPECT_EQ(g.competitor_name, "beta");
  EXPECT_EQ(g.game_status, 1);
  EXPECT_EQ(g.own_turn, 5);
  EXPECT_EQ(g.competitor_turn, 5);
  EXPECT_EQ(g.own_turn_date.ToStorageText(), "2008-06-01 14:00:00.000");
  EXPECT_EQ(g.competitor_turn_date.ToStorageText(), "2008-06-02 15:30:00.000");
  EXPECT_TRUE(g.new_turn);

  TS_CURRGAME first = g;
  client->ReadGame(1);  // same players, the own one second, no tournament
  EXPECT_EQ(client->Game.tournament_id, 0);
  EXPECT_EQ(client->Game.tournament_name, "");
  first.game_id = 101;
  first.tournament_id = 0;
  first.tournament_name = "";
  first.tourney = false;
  EXPECT_EQ(client->Game.competitor_name, first.competitor_name);
  EXPECT_EQ(client->Game.own_side, first.own_side);
  EXPECT_EQ(client->Game.own_turn_date, first.own_turn_date);
  EXPECT_EQ(client->Game.competitor_turn_date, first.competitor_turn_date);
  EXPECT_EQ(client->Game.game_status, first.game_status);
}

TEST_F(XmlTarnTest, NewTurnFollowsSideAndTurnCounters) {
  struct Case {
    std::string side;
    int own, competitor;
    bool newTurn;
  } cases[] = {{"pl", 5, 5, true},  {"pl", 6, 5, false}, {"fnu", 5, 5, false},
               {"fnu", 5, 6, true}, {"PL", 5, 5, false}, {"", 5, 6, false}};
  std::string games;
  for (size_t i = 0; i < std::size(cases); ++i) {
    PlayerElem own = kOwn, other = kOther;
    own.side = cases[i].side;
    own.turn = cases[i].own;
    other.turn = cases[i].competitor;
    games += GameXml(static_cast<int>(i) + 1, own, other);
  }
  AnswerGames("mode=games_current&user_id=42", games);
  auto client = Create(GameListMode::CurrentGames);
  for (size_t i = 0; i < std::size(cases); ++i) {
    client->ReadGame(static_cast<int>(i));
    EXPECT_EQ(client->Game.new_turn, cases[i].newTurn) << "case " << i;
  }
}

TEST_F(XmlTarnTest, TurnLimitAndFreezeHours) {
  struct Case {
    std::string text;
    double turnLimit;
    int freeze;
  } cases[] = {{"2000-01-01 01:30:00", 0, 2},  {"2000-01-01 02:30:00", 2 - 2, 2},
               {"2000-01-03 12:00:00", 2, 12}, {"0000-00-00 00:00:00", -36526, 0},
               {"1999-12-30 06:00:00", -1, 6}, {"2000-01-01 00:29:59", 0, 0}};
  std::string games;
  for (size_t i = 0; i < std::size(cases); ++i) {
    games += GameXml(static_cast<int>(i) + 1, kOwn, kOther, "", cases[i].text);
  }
  AnswerGames("mode=games_current&user_id=42", games);
  auto client = Create(GameListMode::CurrentGames);
  for (size_t i = 0; i < std::size(cases); ++i) {
    client->ReadGame(static_cast<int>(i));
    EXPECT_EQ(client->Game.turn_limit, cases[i].turnLimit) << cases[i].text;
    EXPECT_EQ(client->Game.freeze_time, cases[i].freeze) << cases[i].text;
  }
}

TEST_F(XmlTarnTest, ReadGameOutOfRangeLeavesGameEmptyButMentorFlag) {
  AnswerGames("mode=games_current&user_id=42", GameXml(100, kOwn, kOther));
  auto client = Create(GameListMode::CurrentGames);
  client->ReadGame(0);
  ASSERT_TRUE(client->Game.mentor_game);
  for (int index : {-1, 1}) {
    client->ReadGame(index);
    EXPECT_EQ(client->Game.game_id, 0);
    EXPECT_EQ(client->Game.own_side, "");
    EXPECT_TRUE(client->Game.mentor_game);
  }
}

TEST_F(XmlTarnTest, BrokenGameElementsThrowAndKeepWhatWasRead) {
  const std::string noSettings =
      "<game id='5' start_time='2008-05-01 09:00:00' "
      "activeDeadline='2008-06-05 10:00:00' passiveRemainingTime='1' "
      "tourney='0'/>";
  std::string badTurn = GameXml(6, kOwn, kOther);
  badTurn.replace(badTurn.find("turn='5'"), 8, "turn=''");
  AnswerGames("mode=games_current&user_id=42", noSettings + badTurn);
  auto client = Create(GameListMode::CurrentGames);
  EXPECT_THROW(client->ReadGame(0), ServerDataError);
  EXPECT_EQ(client->Game.game_id, 5);
  try {
    client->ReadGame(1);
    FAIL() << "an empty turn must not read as a number";
  } catch (const ServerDataError& e) {
    EXPECT_THAT(e.what(), ::testing::HasSubstr("'turn'"));
  }
  EXPECT_EQ(client->Game.own_side, "pl");
}

TEST_F(XmlTarnTest, FailedLoadKeepsTheLastList) {
  AnswerGames("mode=games_current&user_id=42", GameXml(100, kOwn, kOther));
  auto client = Create(GameListMode::CurrentGames);
  const auto document = client->Document;
  loader_.Answer(kBase + "mode=games_current&user_id=42", "<games><game>");
  EXPECT_THROW(client->LoadCurrentGames(), XmlLoadError);
  EXPECT_EQ(client->Document, document);
  EXPECT_EQ(client->GameCount, 1);
}

TEST_F(XmlTarnTest, UpdatePlayersAddsCompetitorsAndRefreshesEachRow) {
  AnswerGames("mode=games_current&user_id=42", GameXml(100, kOwn, kOther));
  auto client = Create(GameListMode::CurrentGames);
  client->ReadGame(0);
  db_.InsertCurrentGame(client->Game);
  TS_PLAYER self = client->Player;
  db_.AppendPlayer(self);  // stored with current false; the refresh marks it
  db_.Players.Append();
  db_.Players.SetField("player_id", 999);
  db_.Players.SetField("name", "kept");
  db_.Players.Post();

  loader_.Answer(kBase + "mode=player_info&user_id=42",
                 "<players>" + PlayerXml(42, "alpha", "1600") + "</players>");
  loader_.Answer(kBase + "mode=player_info&user_id=999", "<players/>");
  loader_.Answer(kBase + "mode=player_info&user_id=7",
                 "<players>" + PlayerXml(7, "beta") + "</players>");
  client->UpdatePlayers();

  ASSERT_EQ(db_.Players.RecordCount(), 3);
  ASSERT_TRUE(db_.Players.Locate("player_id", 42));
  EXPECT_EQ(db_.Players.Field("score_glicko").AsText(), "1600");
  EXPECT_TRUE(db_.Players.Field("current").AsBool());
  ASSERT_TRUE(db_.Players.Locate("player_id", 999));
  EXPECT_EQ(db_.Players.Field("name").AsText(), "kept");
  ASSERT_TRUE(db_.Players.Locate("player_id", 7));
  EXPECT_EQ(db_.Players.Field("alies").AsText(), "beta");
  EXPECT_FALSE(db_.Players.Field("current").AsBool());
  EXPECT_THAT(dialogs_.messages, IsEmpty());
}

TEST_F(XmlTarnTest, UpdatePlayersReportsAFailingBatchAndGoesOn) {
  auto client = Create(GameListMode::None);
  for (int id : {1, 2}) {
    db_.Players.Append();
    db_.Players.SetField("player_id", id);
    db_.Players.Post();
  }
  loader_.Answer(kBase + "mode=player_info&user_id=2",
                 "<players>" + PlayerXml(2, "second") + "</players>");
  EXPECT_FALSE(client->UpdatePlayers());
  EXPECT_THAT(dialogs_.messages, ElementsAre("tarn.test does not allowed\nCannot connect to " +
                                             kBase + "mode=player_info&user_id=1"));
  ASSERT_TRUE(db_.Players.Locate("player_id", 2));
  EXPECT_EQ(db_.Players.Field("alies").AsText(), "second");
}

TEST(FixedTournamentNameTest, LeftOutFixedAndOtherIds) {
  std::string name = "stale";
  for (int id : {1, 3, 4, 14, 26, 68, 69, 80, 86}) {
    EXPECT_EQ(TXMLTarn::FixedTournamentName(id, name), -1) << id;
    EXPECT_EQ(name, "");
  }
  EXPECT_EQ(TXMLTarn::FixedTournamentName(18, name), 0);
  EXPECT_EQ(name, "T.A.R.N. - Летний Кубок RU 2008 (Утешительный раунд)");
  EXPECT_EQ(TXMLTarn::FixedTournamentName(20, name), 0);
  EXPECT_EQ(name, "T.A.R.N. - Летний Кубок RU 2008 (Раунд 3 )");
  EXPECT_EQ(TXMLTarn::FixedTournamentName(99, name), 0);
  EXPECT_EQ(name, "");
}

std::string TournamentXml(int id, const std::string& moderators = "") {
  return "<tournament id='" + std::to_string(id) + "' name='Server " + std::to_string(id) +
         "' lastUpdated='2008-06-01 10:00:00' default_win_score='3' type='cup' "
         "start_date='2008-05-01 00:00:00' accept_players='16' status='2'>" +
         moderators + "</tournament>";
}

TEST_F(XmlTarnTest, LoadTournamentsReplacesTheTable) {
  auto client = Create(GameListMode::None);
  loader_.Answer(kBase + "mode=tournament_list",
                 "<tournaments>" + TournamentXml(1) + TournamentXml(15) +
                     TournamentXml(99,
                                   "<moderator id='5' alias='m5'/><note/>"
                                   "<moderator id='6' alias='m6'/>"
                                   "<moderator id='7' alias='m7'/>") +
                     "</tournaments>");
  client->LoadTournaments();
  client->LoadTournaments();  // a second load replaces, it does not add
  Table& t = db_.Tournaments;
  ASSERT_EQ(t.RecordCount(), 2);
  t.SetRecNo(1);
  EXPECT_EQ(t.Field("tournament_id").AsInt(), 15);
  EXPECT_EQ(t.Field("tournament_name").AsText(), "T.A.R.N. - Летний Кубок RU 2008 (Раунд 1)");
  EXPECT_EQ(t.Field("moderator1_id").AsInt(), 0);
  t.SetRecNo(2);
  EXPECT_EQ(t.Field("tournament_name").AsText(), "Server 99");
  EXPECT_EQ(t.Field("moderator1_id").AsInt(), 5);
  EXPECT_EQ(t.Field("moderator1_alias").AsText(), "m5");
  EXPECT_EQ(t.Field("moderator2_id").AsInt(), 7);
  EXPECT_EQ(t.Field("moderator2_alias").AsText(), "m7");
  EXPECT_EQ(t.Field("last_updated").AsDateTime().ToStorageText(), "2008-06-01 14:00:00.000");
}

TEST_F(XmlTarnTest, LoadTournamentsChangesNothingOnAFailure) {
  auto client = Create(GameListMode::None);
  loader_.Answer(kBase + "mode=tournament_list",
                 "<tournaments>" + TournamentXml(99) + "</tournaments>");
  client->LoadTournaments();
  loader_.Answer(kBase + "mode=tournament_list",
                 "<tournaments>" + TournamentXml(98) + "<tournament id='97'/></tournaments>");
  EXPECT_THROW(client->LoadTournaments(), ServerDataError);
  loader_.Fail(kBase + "mode=tournament_list");
  EXPECT_THROW(client->LoadTournaments(), XmlLoadError);
  ASSERT_EQ(db_.Tournaments.RecordCount(), 1);
  EXPECT_EQ(db_.Tournaments.Field("tournament_id").AsInt(), 99);
}

TEST_F(XmlTarnTest, AnEmptyAnswerIsNoDocument) {
  AnswerGames("mode=games_current&user_id=42", GameXml(100, kOwn, kOther));
  auto client = Create(GameListMode::CurrentGames);
  loader_.Answer(kBase + "mode=games_current&user_id=42", "");
  EXPECT_THROW(client->LoadCurrentGames(), XmlLoadError);
  EXPECT_EQ(client->GameCount, 1);

  loader_.Answer(kBase + "mode=player_info&user_name=quiet", "");
  EXPECT_EQ(
      TXMLTarn::Create({loader_, dialogs_, db_, kHost}, "quiet", GameListMode::CurrentGames, {})
          ->Player.player_id,
      0);
  db_.Players.Append();
  db_.Players.SetField("player_id", 5);
  db_.Players.Post();
  loader_.Answer(kBase + "mode=player_info&user_id=5", "");
  client->UpdatePlayers();
  loader_.Answer(kBase + "mode=tournament_list", "");
  client->LoadTournaments();
  EXPECT_THAT(dialogs_.messages,
              ElementsAre("tarn.test does not allowed\nThe server answered " + kBase +
                              "mode=player_info&user_name=quiet with nothing",
                          "tarn.test does not allowed\nThe server answered " + kBase +
                              "mode=player_info&user_id=5 with nothing",
                          "Error to load XML from tarn.test"));
}

TEST_F(XmlTarnTest, AnErrorPageIsAFailedRequestEverywhere) {
  const std::string errorPage = "<error code=\"500\">Internal server error</error>";
  AnswerGames("mode=games_current&user_id=42", GameXml(100, kOwn, kOther));
  auto client = Create(GameListMode::CurrentGames);
  loader_.Answer(kBase + "mode=tournament_list",
                 "<tournaments>" + TournamentXml(99) + "</tournaments>");
  client->LoadTournaments();

  for (const char* query : {"mode=games_current&user_id=42", "mode=tournament_list",
                            "mode=player_info&user_name=alpha", "mode=player_info&user_id=42"}) {
    loader_.Answer(kBase + query, errorPage);
  }
  EXPECT_THROW(client->LoadCurrentGames(), XmlLoadError);
  EXPECT_EQ(client->GameCount, 1);
  EXPECT_THROW(client->LoadTournaments(), XmlLoadError);
  EXPECT_EQ(db_.Tournaments.RecordCount(), 1);
  EXPECT_EQ(Create(GameListMode::CurrentGames)->Player.player_id, 0);
  db_.Players.Append();
  db_.Players.SetField("player_id", 42);
  db_.Players.SetField("alies", "kept");
  db_.Players.Post();
  EXPECT_FALSE(client->UpdatePlayers());
  EXPECT_EQ(db_.Players.Field("alies").AsText(), "kept");
  const std::string cause = " with an error: Internal server error";
  EXPECT_THAT(dialogs_.messages, ElementsAre("tarn.test does not allowed\nThe server answered " +
                                                 kBase + "mode=player_info&user_name=alpha" + cause,
                                             "tarn.test does not allowed\nThe server answered " +
                                                 kBase + "mode=player_info&user_id=42" + cause));
}

TEST_F(XmlTarnTest, APlayerAnswerWithIdZeroNamesNoPlayer) {
  loader_.Answer(kBase + "mode=player_info&user_name=zero",
                 "<players>" + PlayerXml(0, "zero") + "</players>");
  auto client =
      TXMLTarn::Create({loader_, dialogs_, db_, kHost}, "zero", GameListMode::CurrentGames, {});
  EXPECT_EQ(client->Player.player_id, 0);
  EXPECT_EQ(client->Player.alies, "");
  EXPECT_THAT(dialogs_.messages, ElementsAre("Player zero not found"));
  EXPECT_EQ(loader_.requests.size(), 1u);
}

TEST_F(XmlTarnTest, UpdatePlayersWritesEachAnswerOnlyOntoItsOwnRow) {
  auto client = Create(GameListMode::None);
  for (const auto& [id, alias] : {std::pair{42, "alpha"}, {7, "beta"}, {8, "gamma"}}) {
    db_.Players.Append();
    db_.Players.SetField("player_id", id);
    db_.Players.SetField("alies", alias);
    db_.Players.SetField("current", id == 42);
    db_.Players.Post();
  }
  // The server mixes the players up: 42 gets 7's details, 7 gets itself and one player more,
  // 8 gets a stranger.
  loader_.Answer(kBase + "mode=player_info&user_id=42",
                 "<players>" + PlayerXml(7, "beta", "1") + "</players>");
  loader_.Answer(
      kBase + "mode=player_info&user_id=7",
      "<players>" + PlayerXml(7, "beta", "1777") + PlayerXml(42, "alpha", "2") + "</players>");
  loader_.Answer(kBase + "mode=player_info&user_id=8",
                 "<players>" + PlayerXml(99, "stranger") + "</players>");
  EXPECT_TRUE(client->UpdatePlayers());

  Table& players = db_.Players;
  ASSERT_EQ(players.RecordCount(), 3);
  std::vector<std::string> rows;
  for (int r = 1; r <= 3; ++r) {
    players.SetRecNo(r);
    rows.push_back(players.Field("player_id").AsText() + " " + players.Field("alies").AsText() +
                   " " + players.Field("score_glicko").AsText() + " " +
                   players.Field("current").AsText());
  }
  EXPECT_THAT(rows, ElementsAre("42 alpha  True", "7 beta 1777 False", "8 gamma  False"));
}

TEST_F(XmlTarnTest, NumbersTooLargeForTheirColumnsAreRefusedWhileReading) {
  auto client = Create(GameListMode::None);
  loader_.Answer(kBase + "mode=tournament_list",
                 "<tournaments>" + TournamentXml(99) + "</tournaments>");
  client->LoadTournaments();
  std::string big = TournamentXml(98);
  big.replace(big.find("default_win_score='3'"), 21, "default_win_score='40000'");
  loader_.Answer(kBase + "mode=tournament_list", "<tournaments>" + big + "</tournaments>");
  EXPECT_THROW(client->LoadTournaments(), ServerDataError);
  ASSERT_EQ(db_.Tournaments.RecordCount(), 1);
  EXPECT_EQ(db_.Tournaments.Field("tournament_id").AsInt(), 99);

  PlayerElem own = kOwn;
  own.status = -32769;
  AnswerGames("mode=games_current&user_id=42", GameXml(100, own, kOther));
  client->LoadCurrentGames();
  EXPECT_THROW(client->ReadGame(0), ServerDataError);
}

}  // namespace
}  // namespace tarn
