#include "server/xml_tarn.h"

#include <cmath>
#include <unordered_set>
#include <vector>

#include "base/numbers.h"
#include "platform/dialogs.h"
#include "server/attribute_reader.h"
#include "server/server_address.h"
#include "server/server_data_error.h"
#include "store/db_monitor.h"

namespace tarn {
namespace {

constexpr const char* kRequestPath = "/tarn/prokladko/xml_server_v2.php";
constexpr const char* kTurnLimitBase = "2000-01-01 00:00:00";

ServerTimeZone StoredTimeZone(const TFormDBMonitor& db) {
  return {db.GlobalSettings.Field("time_zone_h").AsText(),
          db.GlobalSettings.Field("time_zone_m").AsText()};
}

XmlElement RequiredChild(const XmlElement& parent, int index, int gameIndex) {
  XmlElement child = parent.Child(index);
  if (child.IsNull()) {
    throw ServerDataError("Game " + std::to_string(gameIndex) + " of the game list has no child " +
                          "element number " + std::to_string(index));
  }
  return child;
}

// Whole hours of a time of day, halves going to the even neighbour.
int32_t RoundedHours(DateTime t) {
  const DateTime::Fields f = t.ToFields();
  const int seconds = f.hour * 3600 + f.minute * 60 + f.second;
  int32_t hours = seconds / 3600;
  const int rest = seconds % 3600;
  if (rest * 2 > 3600 || (rest * 2 == 3600 && hours % 2 == 1)) ++hours;
  return hours;
}

}  // namespace

TXMLTarn::TXMLTarn(ServerContext context) : context_(std::move(context)) {}

std::string TXMLTarn::Url(const std::string& host, const std::string& query) const {
  return "http://" + host + kRequestPath + "?" + query;
}

std::unique_ptr<TXMLTarn> TXMLTarn::Create(ServerContext context, const std::string& alias,
                                           GameListMode mode, DateTime fromDate) {
  std::unique_ptr<TXMLTarn> client(new TXMLTarn(std::move(context)));
  const ServerContext& ctx = client->context_;
  std::string cause;
  const std::shared_ptr<const XmlDocument> doc = client->TryLoad(
      client->Url(ctx.host, "mode=player_info&user_name=" + EncodeQueryValue(alias)), cause);
  if (!doc) {
    client->ShowNotAllowed(cause);
    return client;
  }
  TS_PLAYER player;
  if (doc->Root().ChildCount() > 0) player = client->ReadPlayer(doc->Root().Child(0));
  // Id 0 is what callers take for "not read"; an answer that carries it names no player.
  if (player.player_id == 0) {
    ctx.dialogs.ShowMessage("Player " + alias + " not found");
    return client;
  }
  client->Player = std::move(player);
  switch (mode) {
    case GameListMode::CurrentGames:
      client->LoadCurrentGames();
      break;
    case GameListMode::AllGames:
      client->LoadAllGames();
      break;
    case GameListMode::CurrentGamesSince:
      client->LoadCurrentGamesSince(fromDate);
      break;
    case GameListMode::AllGamesSince:
      client->LoadAllGamesSince(fromDate);
      break;
    case GameListMode::None:
      break;
  }
  client->Mode = mode;
  return client;
}

std::shared_ptr<const XmlDocument> TXMLTarn::Load(const std::string& url) const {
  std::shared_ptr<const XmlDocument> doc = context_.loader.Load(url);
  // An error page is a failed request, not a list without entries: taken as an empty game list
  // it would make every stored game look finished.
  if (doc) {
    if (const std::string text = doc->Root().OwnText(); !text.empty()) {
      throw XmlLoadError("The server answered " + url + " with an error: " + text);
    }
  }
  return doc;
}

std::shared_ptr<const XmlDocument> TXMLTarn::TryLoad(const std::string& url,
                                                     std::string& cause) const {
  try {
    std::shared_ptr<const XmlDocument> doc = Load(url);
    if (!doc) cause = "The server answered " + url + " with nothing";
    return doc;
  } catch (const XmlLoadError& error) {
    cause = error.what();
    return nullptr;
  }
}

void TXMLTarn::ShowNotAllowed(const std::string& cause) const {
  context_.dialogs.ShowMessage(context_.host + " does not allowed\n" + cause);
}

void TXMLTarn::LoadGameList(const std::string& url) {
  std::shared_ptr<const XmlDocument> doc = Load(url);
  if (!doc) throw XmlLoadError("The server answered " + url + " with nothing");
  GameCount = doc->Root().ChildCount();
  Document = std::move(doc);
}

void TXMLTarn::LoadCurrentGames() {
  LoadGameList(
      Url(context_.host, "mode=games_current&user_id=" + std::to_string(Player.player_id)));
}

void TXMLTarn::LoadAllGames() {
  LoadGameList(Url(context_.host, "mode=games_all&user_id=" + std::to_string(Player.player_id)));
}

void TXMLTarn::LoadCurrentGamesSince(DateTime fromDate) {
  LoadGameList(Url(WithWwwPrefix(context_.host),
                   "mode=games_current&user_name=" + EncodeQueryValue(Player.alies) +
                       "&fromdate=" + EncodeQueryValue(ServerDateText(fromDate))));
}

void TXMLTarn::LoadAllGamesSince(DateTime fromDate) {
  LoadGameList(Url(WithWwwPrefix(context_.host),
                   "mode=games_all&user_name=" + EncodeQueryValue(Player.alies) +
                       "&fromdate=" + EncodeQueryValue(ServerDateText(fromDate))));
}

void TXMLTarn::ClearGame() {
  const bool mentorGame = Game.mentor_game;
  Game = TS_CURRGAME();
  Game.mentor_game = mentorGame;
}

void TXMLTarn::ReadGame(int index) {
  ClearGame();
  if (GameCount <= 0 || index < 0 || index >= GameCount) return;
  const ServerTimeZone zone = StoredTimeZone(context_.db);
  static const DateTime base = ParseServerDate(kTurnLimitBase, false, {});

  const XmlElement g = Document->Root().Child(index);
  const AttributeReader game(g, zone);
  Game.game_id = game.Int("id");
  Game.start_time = game.Date("start_time");
  Game.active_deadline = game.Date("activeDeadline");
  Game.passive_remaining_time = game.Int("passiveRemainingTime");
  Game.tourney = game.Bool("tourney");

  const AttributeReader settings(RequiredChild(g, 0, index), zone);
  Game.mentor_game = settings.Bool("mentorGame");
  Game.rating_game = settings.Bool("ratingGame");
  Game.chess_clock = settings.Bool("useChessClock");
  Game.unit_set = settings.Int("unitSet");
  Game.revenue_turns = settings.Int("revenue_turns_count");
  Game.alies_density = settings.Int("alliesDensityCode");
  Game.ingame_time = settings.Int("ingame_time_left");
  const DateTime turnLimit = settings.Date("turn_limit", false);
  Game.freeze_time = RoundedHours(turnLimit);
  Game.turn_limit = std::trunc(turnLimit.Days() - base.Days());
  Game.map_id = settings.Text("planet");

  const XmlElement second = RequiredChild(g, 1, index);
  XmlElement first = second;
  int otherPosition = 2;
  if (second.Name() == "tournament") {
    const AttributeReader tournament(second, zone);
    Game.tournament_id = tournament.Int("id");
    Game.tournament_name = tournament.Text("name");
    first = RequiredChild(g, 2, index);
    otherPosition = 3;
  }
  const XmlElement other = RequiredChild(g, otherPosition, index);
  const bool firstIsOwn =
      ParseWholeNumberIn<int32_t>(first.Attribute("id").value_or("")) == Player.player_id;
  const AttributeReader own(firstIsOwn ? first : other, zone);
  const AttributeReader competitor(firstIsOwn ? other : first, zone);

  Game.competitor_id = competitor.Int("id");
  Game.own_side = own.Text("side");
  Game.competitor_name = competitor.Text("alias");
  Game.game_status = own.SmallInt("status");
  Game.own_turn = own.Int("turn");
  Game.competitor_turn = competitor.Int("turn");
  Game.own_turn_date = own.Date("turn_date");
  Game.competitor_turn_date = competitor.Date("turn_date");

  const int64_t turnDifference = static_cast<int64_t>(Game.own_turn) - Game.competitor_turn;
  if (Game.own_side == "pl") Game.new_turn = turnDifference == 0;
  if (Game.own_side == "fnu") Game.new_turn = turnDifference != 0;

  Game.player_id = Player.player_id;
  Game.player_name = Player.alies;
}

TS_PLAYER TXMLTarn::ReadPlayer(const XmlElement& element) const {
  const ServerTimeZone zone = StoredTimeZone(context_.db);
  const AttributeReader a(element, zone);
  TS_PLAYER p;
  p.player_id = a.Int("id");
  p.name = a.Text("name");
  p.country = a.Text("country");
  p.email = a.Text("email");
  p.alies = a.Text("alias");
  p.user_type = a.SmallInt("user_type");
  p.last_login = a.Date("last_login");
  p.stat_score = a.Int("stat_score");
  p.stat_wins = a.Int("stat_wins");
  p.stat_looses = a.Int("stat_looses");
  p.stat_drawns = a.Int("stat_drawns");
  p.country_code = a.SmallInt("country_code");
  p.reg_date = a.Date("reg_date");
  p.player_occupation = a.Text("player_occupation");
  p.score_exp = a.Int("score_exp");
  p.score_glicko = a.Text("score_glicko");
  p.place_glicko = a.Int("place_glicko");
  p.place_exp = a.Int("place_exp");
  p.stat_active = a.Int("stat_active");
  p.avatar_state = a.Text("avatar_state");
  p.gender = a.Text("gender");
  p.add_info = a.Text("add_info");
  return p;
}

bool TXMLTarn::UpdatePlayers() {
  TFormDBMonitor& db = context_.db;
  Table& players = db.Players;

  const std::unique_ptr<Cursor> gameRows = db.CurrentGames.CreateCursor();
  for (gameRows->First(); !gameRows->Eof(); gameRows->Next()) {
    const Value competitorId = gameRows->Field("competitor_id");
    if (!players.Locate("player_id", competitorId)) {
      players.Append();
      players.SetField("player_id", competitorId);
      players.Post();
    }
  }

  // The ids are read through a cursor of their own; the table's cursor goes to each row written.
  const std::unique_ptr<Cursor> rows = players.CreateCursor();
  bool complete = true;
  rows->First();
  while (!rows->Eof()) {
    std::string ids;
    std::unordered_set<int64_t> asked;
    for (int k = 0; k < kPlayerBatchSize && !rows->Eof(); ++k, rows->Next()) {
      const int64_t id = rows->Field("player_id").AsInt();
      asked.insert(id);
      if (!ids.empty()) ids += ",";
      ids += std::to_string(id);
    }
    std::string cause;
    const std::shared_ptr<const XmlDocument> doc =
        TryLoad(Url(context_.host, "mode=player_info&user_id=" + ids), cause);
    if (!doc) {
      ShowNotAllowed(cause);
      complete = false;
      continue;
    }
    const XmlElement root = doc->Root();
    for (int c = 0; c < root.ChildCount(); ++c) {
      TS_PLAYER player = ReadPlayer(root.Child(c));
      // Only the row of the very player answered is his: a server that answers with someone
      // else, or with one player more, must not turn other rows into copies of him.
      if (!asked.contains(player.player_id) || !players.Locate("player_id", player.player_id)) {
        continue;
      }
      player.current = player.player_id == Player.player_id;
      db.UpdatePlayer(player);
    }
  }
  return complete;
}

int TXMLTarn::FixedTournamentName(int32_t id, std::string& name) {
  name.clear();
  switch (id) {
    case 1:
    case 3:
    case 4:
    case 14:
    case 26:
    case 68:
    case 69:
    case 80:
    case 86:
      return -1;
    case 15:
      name = "T.A.R.N. - Летний Кубок RU 2008 (Раунд 1)";
      break;
    case 17:
      name = "T.A.R.N. - Летний Кубок RU 2008 (Раунд 2)";
      break;
    case 18:
      name = "T.A.R.N. - Летний Кубок RU 2008 (Утешительный раунд)";
      break;
    case 20:
      name = "T.A.R.N. - Летний Кубок RU 2008 (Раунд 3 )";
      break;
    case 22:
      name = "T.A.R.N. - Летний Кубок RU 2008 (Финал)";
      break;
    case 23:
      name = "T.A.R.N. - Летний Кубок RU 2008 (Утешительный финал)";
      break;
    default:
      break;
  }
  return 0;
}

TS_TOURNAMENT TXMLTarn::ReadTournament(const XmlElement& element,
                                       const std::string& fixedName) const {
  const ServerTimeZone zone = StoredTimeZone(context_.db);
  const AttributeReader a(element, zone);
  TS_TOURNAMENT t;
  t.tournament_id = a.Int("id");
  t.tournament_name = fixedName.empty() ? a.Text("name") : fixedName;
  t.last_updated = a.Date("lastUpdated");
  t.default_win_score = a.SmallInt("default_win_score");
  t.type = a.Text("type");
  t.start_date = a.Date("start_date");
  t.accept_players = a.Int("accept_players");
  t.status = a.Int("status");
  for (int c = 0; c < element.ChildCount(); ++c) {
    const XmlElement child = element.Child(c);
    if (child.Name() != "moderator") continue;
    const AttributeReader moderator(child, zone);
    if (t.moderator1_id == 0) {
      t.moderator1_id = moderator.Int("id");
      t.moderator1_alias = moderator.Text("alias");
    } else {
      t.moderator2_id = moderator.Int("id");
      t.moderator2_alias = moderator.Text("alias");
    }
  }
  return t;
}

void TXMLTarn::LoadTournaments() {
  const std::shared_ptr<const XmlDocument> doc = Load(Url(context_.host, "mode=tournament_list"));
  if (!doc) {
    context_.dialogs.ShowMessage("Error to load XML from " + context_.host);
    return;
  }
  // The whole list is read before the table is touched, so a broken element leaves the stored
  // tournaments as they were instead of a half-replaced list.
  std::vector<TS_TOURNAMENT> tournaments;
  const XmlElement root = doc->Root();
  for (int c = 0; c < root.ChildCount(); ++c) {
    const XmlElement element = root.Child(c);
    const int32_t id = AttributeReader(element, {}).Int("id");
    std::string fixedName;
    if (FixedTournamentName(id, fixedName) < 0) continue;
    tournaments.push_back(ReadTournament(element, fixedName));
  }

  context_.db.Tournaments.DeleteAll();
  for (const TS_TOURNAMENT& t : tournaments) context_.db.AppendTournament(t);
}

}  // namespace tarn
