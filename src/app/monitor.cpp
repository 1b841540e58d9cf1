#include "app/monitor.h"

#include <exception>
#include <unordered_set>

#include "game/game_client_settings.h"
#include "game/game_directories.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/system_time_zone.h"
#include "server/time_zone.h"
#include "store/db_monitor.h"

namespace tarn {
namespace {

// A whole-number setting that reads as empty or "0" counts as not set.
bool IsSet(const Value& value) {
  const std::string text = value.AsText();
  return !text.empty() && text != "0";
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

void Monitor::PrepareStartup() {
  // Each step runs on its own: a server that cannot be reached must not keep the periods, the
  // caption or the stored directories from being set up.
  const std::function<void()> steps[] = {
      [this] {
        if (s_.db.GlobalSettings.Field("time_zone_h").AsText().empty()) DetectTimeZone();
      },
      [this] { DefaultGameDirectories(s_.db.UserSettings, s_.registry, s_.environment); },
      [this] { IdentifyPlayer(); },
      [this] { FillTournamentList(); },
      [this] { DeleteAllRows(s_.db.PlayerGames); },
  };
  for (const auto& step : steps) Guarded(step);
}

void Monitor::DetectTimeZone() {
  const auto choice = TimeZoneFromBias(s_.systemTimeZone.StandardBiasMinutes());
  if (choice) s_.db.SetTimeZone(choice->index, choice->hours, choice->minutes);
}

std::unique_ptr<TXMLTarn> Monitor::CreateClient(const std::string& alias, int mode) {
  return TXMLTarn::Create({s_.loader, s_.dialogs, s_.db, s_.serverHost}, alias, mode,
                          s_.clock.Now());
}

void Monitor::IdentifyPlayer() {
  if (!MonitoredAlias.empty()) {
    UpdateCaption();
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
      EnsureServerClient(0);
    } catch (...) {
      lookupError = std::current_exception();
    }
  }
  UpdateCaption();
  const Table& settings = s_.db.GlobalSettings;
  const Value playersPeriod = settings.Field("sync_period_players");
  if (IsSet(playersPeriod)) {
    NextPlayersRefresh = DateTime(settings.Field("last_sync").AsDateTime().Days() +
                                  static_cast<double>(playersPeriod.AsInt()));
  }
  const Value checkPeriod = settings.Field("sync_period_currgames");
  if (IsSet(checkPeriod)) CheckInterval = static_cast<int>(checkPeriod.AsInt() * 60000);
  if (lookupError) std::rethrow_exception(lookupError);
}

TXMLTarn* Monitor::EnsureServerClient(int mode, bool* created) {
  if (created) *created = false;
  if (ServerClient || MonitoredAlias.empty()) return ServerClient.get();
  std::unique_ptr<TXMLTarn> client = CreateClient(MonitoredAlias, mode);
  // A client whose player could not be read is not kept: the next tick asks again, and no check
  // ever runs on a list that was not loaded.
  if (client->Player.player_id == 0) return nullptr;
  if (!s_.db.Players.Locate("current", true)) {
    TS_PLAYER player = client->Player;
    player.current = true;
    s_.db.AppendPlayer(player);
    UpdateCaption();
  }
  ServerClient = std::move(client);
  if (created) *created = true;
  return ServerClient.get();
}

void Monitor::UpdateCaption() {
  caption_ = "Tarn Monitor";
  if (!MonitoredAlias.empty()) caption_ += " - " + MonitoredAlias;
  // Without a stored current player there is no rating to show, rather than another row's.
  if (s_.db.Players.Locate("current", true)) {
    caption_ += " - " + s_.db.Players.Field("score_glicko").AsText();
  }
  if (view_) view_->CaptionChanged(caption_);
}

int Monitor::Timer1Timer() {
  Guarded([this] {
    Table& games = s_.db.CurrentGames;
    const int selected = games.RecNo();
    if (FirstRun) {
      timerInterval_ = kFirstTickRetryInterval;
      SynchronizeCurrentGames();
      FirstRun = false;
      timerInterval_ = CheckInterval;
    } else {
      CheckCurrentGames();
    }
    RefreshPlayersWhenDue();
    if (selected > 0 && games.RecordCount() > 0) games.SetRecNo(selected);
  });
  return timerInterval_;
}

void Monitor::RefreshPlayersWhenDue() {
  const DateTime now = s_.clock.Now();
  // Both moments are kept to the millisecond, as stored; "strictly later" is judged at that grain.
  if (now.TotalMilliseconds() <= NextPlayersRefresh.TotalMilliseconds()) return;
  if (ServerClient) ServerClient->UpdatePlayers();
  Table& settings = s_.db.GlobalSettings;
  NextPlayersRefresh =
      DateTime(now.Days() + static_cast<double>(settings.Field("sync_period_players").AsInt()));
  settings.Edit();
  settings.SetField("last_sync", now);
  settings.Post();
}

void Monitor::SynchronizeCurrentGames() {
  int newGames = 0, updatedGames = 0, finishedGames = 0;
  bool created = false;
  TXMLTarn* client = EnsureServerClient(0, &created);
  if (!client) return;
  // A client made just now holds a fresh list already.
  if (!created) client->LoadCurrentGames();
  Table& games = s_.db.CurrentGames;
  if (games.RecordCount() == 0) {
    FillCurrentGames();
  } else {
    std::vector<int32_t> listed;
    for (int i = 0; i < client->GameCount; ++i) {
      client->ReadGame(i);
      listed.push_back(client->Game.game_id);
      const int result = s_.db.MergeCurrentGame(client->Game);
      newGames += result == 1;
      updatedGames += result == 2;
    }
    const std::vector<int32_t> finished = FinishedGameIds(listed);
    for (const int32_t id : finished) {
      if (games.Locate("game_id", id)) games.Delete();
    }
    finishedGames = static_cast<int>(finished.size());
    if (games.RecordCount() > 1) games.SetRecNo(1);
  }
  writer_.AddSummary(s_.clock.Now(), newGames, updatedGames, finishedGames);
}

void Monitor::FillCurrentGames() { FillCurrentGamesFrom(*ServerClient); }

void Monitor::FillCurrentGamesFrom(TXMLTarn& client) {
  DeleteAllRows(s_.db.CurrentGames);
  for (int i = 0; i < client.GameCount; ++i) {
    client.ReadGame(i);
    s_.db.InsertCurrentGame(client.Game);
  }
}

std::vector<int32_t> Monitor::FinishedGameIds(const std::vector<int32_t>& listedIds) {
  const std::unordered_set<int32_t> listed(listedIds.begin(), listedIds.end());
  std::vector<int32_t> finished;
  Table& games = s_.db.CurrentGames;
  const int rows = games.RecordCount();
  for (int r = 1; r <= rows; ++r) {
    games.SetRecNo(r);
    const auto id = static_cast<int32_t>(games.Field("game_id").AsInt());
    if (!listed.contains(id)) finished.push_back(id);
  }
  return finished;
}

std::string Monitor::MapName(const std::string& mapId) {
  Table& maps = s_.db.Maps;
  return maps.Locate("map_id", mapId) ? maps.Field("map_name").AsText() : std::string();
}

int Monitor::CheckCurrentGames() {
  int result = 0;
  bool created = false;
  TXMLTarn* client = EnsureServerClient(0, &created);
  if (!client) return 0;
  if (!created) client->LoadCurrentGames();

  std::vector<int32_t> listed;
  for (int i = 0; i < client->GameCount; ++i) {
    client->ReadGame(i);
    const TS_CURRGAME& game = client->Game;
    listed.push_back(game.game_id);
    const int merge = s_.db.MergeCurrentGame(game);
    if (merge == 1 || merge == 2) {
      writer_.AddGameMessage(merge == 1 ? GameMessageKind::New : GameMessageKind::Updated,
                             s_.clock.Now(), game.own_side, game.competitor_name,
                             MapName(game.map_id));
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
    games.Delete();
  }
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

void Monitor::DeleteAllRows(Table& table) {
  for (int n = table.RecordCount(); n > 0; --n) table.Delete();
}

bool Monitor::DeleteCurrentGames() {
  return Guarded([this] { DeleteAllRows(s_.db.CurrentGames); });
}

bool Monitor::LoadCurrentGames() {
  return Guarded([this] { SynchronizeCurrentGames(); });
}

bool Monitor::UpdatePlayers() {
  return Guarded([this] {
    if (TXMLTarn* client = EnsureServerClient(0)) client->UpdatePlayers();
    s_.dialogs.ShowMessage("Players were updated");
  });
}

bool Monitor::Check() {
  bool asked = false;
  const bool ok = Guarded([this, &asked] {
    CheckCurrentGames();
    asked = ServerClient != nullptr;
  });
  return ok && asked;
}

bool Monitor::SaveMonitoredPlayer(const std::string& alias) {
  bool saved = false;
  Guarded([&] {
    if (alias.empty()) throw std::invalid_argument("A player alias is needed");
    Table& players = s_.db.Players;
    const bool hasCurrent = players.Locate("current", true);
    if (hasCurrent && players.Field("alies").AsText() == alias) {
      saved = true;
      return;
    }
    std::unique_ptr<TXMLTarn> client = CreateClient(alias, 0);
    if (client->Player.player_id == 0) return;
    TS_PLAYER player = client->Player;
    player.current = true;
    if (hasCurrent) {
      s_.db.UpdatePlayer(player);
    } else {
      s_.db.AppendPlayer(player);
    }
    // The new player's games replace the old player's at once, so the next check announces
    // nothing of the old list as finished.
    FillCurrentGamesFrom(*client);
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
  if (TXMLTarn* client = EnsureServerClient(4)) client->LoadTournaments();
}

bool Monitor::Tournaments(bool refresh, std::vector<std::string>& names) {
  return Guarded([&] {
    Table& tournaments = s_.db.Tournaments;
    if (refresh || tournaments.RecordCount() == 0) {
      TXMLTarn* client = EnsureServerClient(4);
      if (!client)
        throw std::runtime_error("The tournament list cannot be fetched without a player");
      client->LoadTournaments();
    }
    names.clear();
    for (int r = 1; r <= tournaments.RecordCount(); ++r) {
      tournaments.SetRecNo(r);
      names.push_back(tournaments.Field("tournament_name").AsText());
    }
  });
}

}  // namespace tarn
