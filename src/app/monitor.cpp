#include "app/monitor.h"

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <unordered_set>
#include <utility>

#include "base/numbers.h"
#include "base/text.h"
#include "game/game_client_settings.h"
#include "game/game_directories.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/system_time_zone.h"
#include "platform/xml.h"
#include "server/server_data_error.h"
#include "server/time_zone.h"
#include "store/db_monitor.h"

namespace tarn {
namespace {

// The longest check period taken from the settings; a week keeps the milliseconds in an int.
constexpr int64_t kLongestCheckMinutes = 7 * 24 * 60;

// A period in whole units from the settings; empty, zero or negative counts as not set, since a
// negative period would make the timer fire without pause.
int64_t Period(const Value& value) { return std::max<int64_t>(0, value.AsInt()); }

// The alias is empty: nothing can be checked until a player is named.
[[noreturn]] void NoMonitoredPlayer() { throw std::runtime_error(kNoMonitoredPlayer); }

// "5 current games, 1 new, 2 finished", or "..., nothing new".
std::string FoundText(int games, int newGames, int updatedGames, int finishedGames) {
  std::string text = std::to_string(games) + (games == 1 ? " current game" : " current games");
  if (newGames + updatedGames + finishedGames == 0) return text + ", nothing new";
  const std::pair<int, const char*> counts[] = {
      {newGames, " new"}, {updatedGames, " updated"}, {finishedGames, " finished"}};
  for (const auto& [count, what] : counts) {
    if (count > 0) text += ", " + std::to_string(count) + what;
  }
  return text;
}

}  // namespace

Monitor::Monitor(MonitorServices services, MonitorView* view)
    : s_(std::move(services)), view_(view), writer_(alerts_, MessageCount, s_.timeFormat) {
  alerts_.OnDeleteMessage = [this](int) { --MessageCount; };
  alerts_.OnClose = [this] { AlertWindowClosed(); };
}

Monitor::~Monitor() = default;

bool Monitor::Guarded(const std::function<void()>& operation) {
  if (busy_) return false;
  busy_ = true;
  bool ok = true;
  try {
    operation();
  } catch (const std::exception& e) {
    s_.dialogs.ShowError(e.what());
    ok = false;
  }
  // Whatever the operation changed reaches disk now, so a crash later loses nothing.
  try {
    s_.db.SaveChanges();
  } catch (const std::exception& e) {
    s_.dialogs.ShowError(e.what());
    ok = false;
  }
  busy_ = false;
  return ok;
}

bool Monitor::GuardedCheck(const std::function<CheckOutcome()>& check) {
  if (busy_) return false;
  CheckOutcome outcome;
  const bool ok = Guarded([&] {
    try {
      outcome = check();
    } catch (const XmlLoadError& e) {
      outcome = {CheckOutcome::Result::Unreachable, {}, {}, e.what()};
      throw;
    } catch (const std::exception& e) {
      outcome = {CheckOutcome::Result::Failed, {}, {}, e.what()};
      throw;
    }
  });
  outcome.time = s_.clock.Now();
  if (outcome.result != CheckOutcome::Result::Checked) {
    const bool failingAlready = lastCheck_.result == CheckOutcome::Result::Unreachable ||
                                lastCheck_.result == CheckOutcome::Result::Failed;
    outcome.since = failingAlready ? lastCheck_.since : outcome.time;
  }
  lastCheck_ = std::move(outcome);
  return ok;
}

CheckOutcome Monitor::NoPlayerOutcome() const {
  if (MonitoredAlias.empty()) return {CheckOutcome::Result::Failed, {}, {}, kNoMonitoredPlayer};
  if (!lookupFailure_.empty()) {
    return {CheckOutcome::Result::Unreachable, {}, {}, lookupFailure_};
  }
  return {CheckOutcome::Result::Failed,
          {},
          {},
          "The server does not know the player " + MonitoredAlias};
}

void Monitor::PrepareStartup() {
  // Each step runs on its own: a server that cannot be reached must not keep the periods, the
  // caption or the stored directories from being set up.
  const std::function<void()> steps[] = {
      [this] { DecideTimeZone(); },
      [this] { DefaultGameDirectories(s_.db.UserSettings, s_.registry, s_.environment); },
      [this] { IdentifyPlayer(); },
      [this] { FillTournamentList(); },
      [this] { s_.db.PlayerGames.DeleteAll(); },
  };
  for (const auto& step : steps) Guarded(step);
}

void Monitor::DetectTimeZone() {
  const auto choice = TimeZoneFromBias(s_.systemTimeZone.StandardBiasMinutes());
  if (choice) s_.db.SetTimeZone(choice->index, choice->hours, choice->minutes);
}

void Monitor::DecideTimeZone() {
  if (s_.db.GlobalSettings.Field("time_zone_h").AsText().empty()) DetectTimeZone();
}

void Monitor::CheckAliasFits(const std::string& alias) const {
  const ColumnDef& column = s_.db.Players.Columns()[s_.db.Players.FieldIndex("alies")];
  if (column.size > 0 && CodePointCount(alias) > static_cast<size_t>(column.size)) {
    throw std::invalid_argument("The alias \"" + alias + "\" is longer than the " +
                                std::to_string(column.size) + " characters an alias can have");
  }
}

std::unique_ptr<TXMLTarn> Monitor::CreateClient(const std::string& alias, GameListMode mode) {
  CheckAliasFits(alias);
  DecideTimeZone();
  return TXMLTarn::Create({s_.loader, s_.dialogs, s_.db, s_.serverHost}, alias, mode,
                          s_.clock.Now());
}

void Monitor::IdentifyPlayer() {
  if (!MonitoredAlias.empty()) {
    UpdateCaption("TARN Monitor");
    return;
  }
  // The periods and the caption do not depend on the server: a failed lookup is reported after
  // they are set.
  std::exception_ptr lookupError;
  if (s_.db.Players.Locate("current", true)) {
    MonitoredAlias = s_.db.Players.Field("alies").AsText();
  } else {
    MonitoredAlias = ReadLastNetworkAlias(s_.environment);
    try {
      EnsureServerClient(GameListMode::CurrentGames);
    } catch (...) {
      lookupError = std::current_exception();
    }
  }
  UpdateCaption();
  const Table& settings = s_.db.GlobalSettings;
  if (const int64_t days = Period(settings.Field("sync_period_players")); days > 0) {
    NextPlayersRefresh =
        DateTime(settings.Field("last_sync").AsDateTime().Days() + static_cast<double>(days));
  }
  const int64_t minutes =
      std::min(Period(settings.Field("sync_period_currgames")), kLongestCheckMinutes);
  if (minutes > 0) CheckInterval = static_cast<int>(minutes * 60000);
  if (lookupError) std::rethrow_exception(lookupError);
}

TXMLTarn* Monitor::EnsureServerClient(GameListMode mode, bool* created) {
  if (created) *created = false;
  if (ServerClient || MonitoredAlias.empty()) return ServerClient.get();
  std::unique_ptr<TXMLTarn> client = CreateClient(MonitoredAlias, mode);
  lookupFailure_ = client->LookupFailure;
  // A client whose player could not be read is not kept: the next tick asks again, and no check
  // ever runs on a list that was not loaded.
  if (client->Player.player_id == 0) return nullptr;
  if (!s_.db.Players.Locate("current", true)) {
    StoreCurrentPlayer(client->Player);
    UpdateCaption();
  }
  ServerClient = std::move(client);
  if (created) *created = true;
  return ServerClient.get();
}

void Monitor::StoreCurrentPlayer(TS_PLAYER player) {
  Table& players = s_.db.Players;
  while (players.Locate("current", true) &&
         players.Field("player_id").AsInt() != player.player_id) {
    players.Edit();
    players.SetField("current", false);
    players.Post();
  }
  player.current = true;
  if (players.Locate("player_id", player.player_id)) {
    s_.db.UpdatePlayer(player);
  } else {
    s_.db.AppendPlayer(player);
  }
}

void Monitor::UpdateCaption(const char* prefix) {
  caption_ = prefix;
  if (!MonitoredAlias.empty()) caption_ += " - " + MonitoredAlias;
  // Without a stored current player there is no rating to show, rather than another row's.
  if (s_.db.Players.Locate("current", true)) {
    caption_ += " - " + s_.db.Players.Field("score_glicko").AsText();
  }
  if (view_) view_->CaptionChanged(caption_);
}

int Monitor::Timer1Timer() {
  GuardedCheck([this] {
    Table& games = s_.db.CurrentGames;
    const int selected = games.RecNo();
    bool listed = false;
    if (FirstRun) {
      timerInterval_ = kFirstTickRetryInterval;
      // Until a player could be read the quiet first load has not happened; like a first load
      // that failed, it is tried again a minute later.
      listed = SynchronizeCurrentGames();
      if (listed) {
        FirstRun = false;
        timerInterval_ = CheckInterval;
      }
    } else {
      CheckCurrentGames();
      listed = ServerClient != nullptr;
    }
    RefreshPlayersWhenDue();
    if (selected > 0 && games.RecordCount() > 0) games.SetRecNo(selected);
    return listed ? CheckOutcome{CheckOutcome::Result::Checked, {}, {}, found_} : NoPlayerOutcome();
  });
  return timerInterval_;
}

void Monitor::RefreshPlayersWhenDue() {
  const DateTime now = s_.clock.Now();
  // Both moments are kept to the millisecond, as stored; "strictly later" is judged at that grain.
  if (now.TotalMilliseconds() <= NextPlayersRefresh.TotalMilliseconds()) return;
  // A tick that could not reach the player has refreshed nobody: the refresh stays due.
  if (!ServerClient) return;
  ServerClient->UpdatePlayers();
  Table& settings = s_.db.GlobalSettings;
  NextPlayersRefresh =
      DateTime(now.Days() + static_cast<double>(Period(settings.Field("sync_period_players"))));
  settings.Edit();
  settings.SetField("last_sync", now);
  settings.Post();
}

TXMLTarn* Monitor::ServerClientWithFreshList() {
  bool created = false;
  TXMLTarn* client = EnsureServerClient(GameListMode::CurrentGames, &created);
  // A client made just now holds a fresh list already.
  if (client && !created) client->LoadCurrentGames();
  return client;
}

Monitor::GameList Monitor::ListedGames(TXMLTarn& client) {
  GameList list;
  list.games.reserve(static_cast<size_t>(client.GameCount));
  for (int i = 0; i < client.GameCount; ++i) {
    try {
      client.ReadGame(i);
      list.games.push_back(client.Game);
    } catch (const ServerDataError& error) {
      const XmlElement element = client.Document->Root().Child(i);
      if (const auto id = ParseWholeNumberIn<int32_t>(element.Attribute("id").value_or(""))) {
        list.unreadableIds.insert(*id);
        list.problems.push_back("Game " + std::to_string(*id) + ": " + error.what());
      } else {
        list.unreadableWithoutId = true;
        list.problems.push_back("Game number " + std::to_string(i + 1) + ": " + error.what());
      }
    }
  }
  listComplete_ = list.problems.empty();
  if (!listComplete_) {
    std::string text = "Left out of the game list, since the server sent them unreadable:";
    for (const std::string& problem : list.problems) text += "\n" + problem;
    s_.dialogs.ShowError(text);
  }
  return list;
}

bool Monitor::SynchronizeCurrentGames() {
  TXMLTarn* client = ServerClientWithFreshList();
  if (!client) return false;
  const GameList listed = ListedGames(*client);
  int newGames = 0, updatedGames = 0, finishedGames = 0;
  Table& games = s_.db.CurrentGames;
  if (games.RecordCount() == 0) {
    FillCurrentGames(listed.games);
  } else {
    for (const TS_CURRGAME& game : listed.games) {
      const MergeResult result = s_.db.MergeCurrentGame(game);
      newGames += result == MergeResult::NewGame;
      updatedGames += result == MergeResult::CompetitorMoved;
    }
    const std::vector<int32_t> finished = FinishedGameIds(listed);
    for (const int32_t id : finished) {
      if (games.Locate("game_id", id)) games.Delete();
    }
    finishedGames = static_cast<int>(finished.size());
    if (games.RecordCount() > 1) games.SetRecNo(1);
  }
  found_ = FoundText(games.RecordCount(), newGames, updatedGames, finishedGames);
  writer_.AddSummary(s_.clock.Now(), newGames, updatedGames, finishedGames);
  return true;
}

void Monitor::FillCurrentGames(const std::vector<TS_CURRGAME>& listed) {
  Table& games = s_.db.CurrentGames;
  games.DeleteAll();
  for (const TS_CURRGAME& game : listed) s_.db.InsertCurrentGame(game);
  // The grid and its details start at the top of a fresh list, not at its last row.
  if (games.RecordCount() > 0) games.SetRecNo(1);
}

std::vector<int32_t> Monitor::FinishedGameIds(const GameList& list) {
  std::vector<int32_t> finished;
  if (list.unreadableWithoutId) return finished;
  std::unordered_set<int32_t> listed = list.unreadableIds;
  for (const TS_CURRGAME& game : list.games) listed.insert(game.game_id);
  // A cursor of its own, so that a grid following the table does not jump through every row.
  const std::unique_ptr<Cursor> games = s_.db.CurrentGames.CreateCursor();
  for (games->First(); !games->Eof(); games->Next()) {
    const auto id = static_cast<int32_t>(games->Field("game_id").AsInt());
    if (!listed.contains(id)) finished.push_back(id);
  }
  return finished;
}

std::string Monitor::MapName(const std::string& mapId) {
  Table& maps = s_.db.Maps;
  return maps.Locate("map_id", mapId) ? maps.Field("map_name").AsText() : std::string();
}

int Monitor::CheckCurrentGames() {
  TXMLTarn* client = ServerClientWithFreshList();
  if (!client) return 0;
  const GameList listed = ListedGames(*client);
  int result = 0;
  int newGames = 0, updatedGames = 0, finishedGames = 0;
  for (const TS_CURRGAME& game : listed.games) {
    const MergeResult merge = s_.db.MergeCurrentGame(game);
    newGames += merge == MergeResult::NewGame;
    updatedGames += merge == MergeResult::CompetitorMoved;
    if (merge == MergeResult::NewGame || merge == MergeResult::CompetitorMoved) {
      writer_.AddGameMessage(
          merge == MergeResult::NewGame ? GameMessageKind::New : GameMessageKind::Updated,
          s_.clock.Now(), game.own_side, game.competitor_name, MapName(game.map_id));
      result = 1;
    }
  }
  Table& games = s_.db.CurrentGames;
  for (const int32_t id : FinishedGameIds(listed)) {
    if (!games.Locate("game_id", id)) continue;
    writer_.AddGameMessage(
        GameMessageKind::Finished, s_.clock.Now(), games.Field("own_side").AsText(),
        games.Field("competitor_name").AsText(), games.Field("map_name").AsText());
    result = 1;
    ++finishedGames;
    games.Delete();
  }
  found_ = FoundText(games.RecordCount(), newGames, updatedGames, finishedGames);
  if (result == 1) {
    alerts_.Select(MessageCount);
    alerts_.Show();
    if (view_) view_->ChangeImageTray(kTrayAlertIcon);
    TrayAlert = true;
  }
  return result;
}

void Monitor::AlertWindowClosed() {
  if (!TrayAlert) return;
  if (view_) view_->ChangeImageTray(kTrayIcon);
  TrayAlert = false;
}

bool Monitor::DeleteCurrentGames() {
  return Guarded([this] { s_.db.CurrentGames.DeleteAll(); });
}

bool Monitor::LoadCurrentGames() {
  bool loaded = false;
  const bool ok = GuardedCheck([this, &loaded] {
    if (MonitoredAlias.empty()) NoMonitoredPlayer();
    loaded = SynchronizeCurrentGames();
    return loaded ? CheckOutcome{CheckOutcome::Result::Checked, {}, {}, found_} : NoPlayerOutcome();
  });
  return ok && loaded;
}

bool Monitor::UpdatePlayers() {
  bool updated = MonitoredAlias.empty();
  const bool ok = Guarded([this, &updated] {
    if (TXMLTarn* client = EnsureServerClient(GameListMode::CurrentGames))
      updated = client->UpdatePlayers();
    s_.dialogs.ShowMessage("Players were updated");
  });
  return ok && updated;
}

bool Monitor::Check() {
  bool asked = false;
  const bool ok = GuardedCheck([this, &asked] {
    if (MonitoredAlias.empty()) NoMonitoredPlayer();
    CheckCurrentGames();
    asked = ServerClient != nullptr && listComplete_;
    return ServerClient ? CheckOutcome{CheckOutcome::Result::Checked, {}, {}, found_}
                        : NoPlayerOutcome();
  });
  return ok && asked;
}

bool Monitor::SaveMonitoredPlayer(const std::string& alias) {
  bool saved = false;
  Guarded([&] {
    if (alias.empty()) throw std::invalid_argument("A player alias is needed");
    Table& players = s_.db.Players;
    if (players.Locate("current", true) && players.Field("alies").AsText() == alias) {
      saved = true;
      return;
    }
    std::unique_ptr<TXMLTarn> client = CreateClient(alias, GameListMode::CurrentGames);
    if (client->Player.player_id == 0) return;
    const GameList listed = ListedGames(*client);
    StoreCurrentPlayer(client->Player);
    // The new player's games replace the old player's at once, so the next check announces
    // nothing of the old list as finished.
    FillCurrentGames(listed.games);
    MonitoredAlias = alias;
    ServerClient = std::move(client);
    UpdateCaption();
    saved = true;
  });
  return saved;
}

void Monitor::FillTournamentList() {
  if (s_.db.Tournaments.RecordCount() > 0) return;
  // Without a stored player the lookup of this start-up has just been made; when it failed,
  // asking again at once would only repeat its message.
  if (!ServerClient && !s_.db.Players.Locate("current", true)) return;
  if (TXMLTarn* client = EnsureServerClient(GameListMode::None)) client->LoadTournaments();
}

bool Monitor::Tournaments(bool refresh, std::vector<std::string>& names) {
  bool listed = false;
  const bool ok = Guarded([&] {
    Table& tournaments = s_.db.Tournaments;
    if (refresh || tournaments.RecordCount() == 0) {
      if (MonitoredAlias.empty()) NoMonitoredPlayer();
      TXMLTarn* client = EnsureServerClient(GameListMode::None);
      if (!client) return;  // the failed lookup has told why
      client->LoadTournaments();
    }
    names.clear();
    const std::unique_ptr<Cursor> rows = tournaments.CreateCursor();
    for (rows->First(); !rows->Eof(); rows->Next()) {
      names.push_back(rows->Field("tournament_name").AsText());
    }
    listed = true;
  });
  return ok && listed;
}

}  // namespace tarn
