#include "store/db_monitor.h"

#include <cmath>
#include <cstdint>
#include <exception>
#include <limits>
#include <system_error>

#include "base/numbers.h"
#include "base/text.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "store/store_tables.h"
#include "store/table_file.h"

namespace tarn {
namespace {

// Runs the assignments of a row that is being appended or edited and posts it; when an
// assignment fails the row is given up, so no half-written row is left behind.
template <typename Assign>
void WriteRow(Table& table, Assign assign) {
  try {
    assign();
    table.Post();
  } catch (...) {
    if (table.Active() && table.State() != EditState::Browse) table.Cancel();
    throw;
  }
}

// A code the server sends as text, for a small-integer column: empty when it is not a whole
// number the column can hold, so that one odd code does not cost the whole record.
Value SmallIntOrEmpty(const std::string& text) {
  const auto number = ParseWholeNumberIn<int16_t>(text);
  return number ? Value(int64_t{*number}) : Value();
}

// The columns of a table's rows as its file holds them: its own, then the foreign ones it kept.
std::vector<ColumnDef> FileColumns(const Table& table) {
  std::vector<ColumnDef> columns = table.Columns();
  const auto& foreign = table.ForeignColumns();
  columns.insert(columns.end(), foreign.begin(), foreign.end());
  return columns;
}

// A table with the definition's columns and indexes, before any rows are loaded.
Table EmptyTable(const TableDefinition& definition) {
  return Table(definition.name, definition.columns, definition.indexes);
}

}  // namespace

TFormDBMonitor::TFormDBMonitor(Dialogs& dialogs, const Clock& clock)
    : Players(EmptyTable(PlayersDefinition())),
      Maps(EmptyTable(MapsDefinition())),
      CurrentGames(EmptyTable(CurrentGamesDefinition())),
      GlobalSettings(EmptyTable(GlobalSettingsDefinition())),
      InterfaceSettings(EmptyTable(InterfaceSettingsDefinition())),
      UserSettings(EmptyTable(UserSettingsDefinition())),
      PlayerGames(EmptyTable(PlayerGamesDefinition())),
      Tournaments(EmptyTable(TournamentsDefinition())),
      dialogs_(dialogs),
      clock_(clock),
      tables_{{&GlobalSettings, &GlobalSettingsDefinition(), {}},
              {&CurrentGames, &CurrentGamesDefinition(), {}},
              {&Maps, &MapsDefinition(), {}},
              {&Players, &PlayersDefinition(), {}},
              {&InterfaceSettings, &InterfaceSettingsDefinition(), {}},
              {&UserSettings, &UserSettingsDefinition(), {}},
              {&PlayerGames, &PlayerGamesDefinition(), {}},
              {&Tournaments, &TournamentsDefinition(), {}}} {
  for (StoredTable& stored : tables_) stored.table->Load(stored.definition->builtIn);
}

TFormDBMonitor::~TFormDBMonitor() {
  try {
    Close();
  } catch (const std::exception& error) {
    try {
      dialogs_.ShowError(error.what());
    } catch (...) {
      // Nothing is left to tell the user with.
    }
  }
}

void TFormDBMonitor::FormCreate(const std::filesystem::path& dataDir) {
  const std::filesystem::path dbDir = std::filesystem::absolute(dataDir) / "db";
  std::error_code ignored;  // a folder that cannot be made shows in each table's error
  std::filesystem::create_directories(dbDir, ignored);
  for (StoredTable& stored : tables_) LoadTable(stored, dbDir);
}

void TFormDBMonitor::LoadTable(StoredTable& stored, const std::filesystem::path& dbDir) {
  const TableDefinition& definition = *stored.definition;
  const std::filesystem::path file = dbDir / definition.fileName;
  stored.file.clear();
  stored.table->Close();
  try {
    std::error_code error;
    if (!std::filesystem::exists(file, error) && !error) {
      WriteTableFile(file, definition.name, definition.columns, definition.delivered);
    }
    TableFileContent content =
        ReadTableFile(file, definition.name, definition.columns, definition.idColumn);
    stored.table->Load(std::move(content.rows), std::move(content.foreignColumns));
    stored.file = file;
  } catch (const TableFileError& error) {
    dialogs_.ShowError(error.what());
  }
}

void TFormDBMonitor::SaveChanges() {
  std::string failures;
  for (StoredTable& stored : tables_) {
    if (stored.file.empty() || !stored.table->Active() || !stored.table->Changed()) continue;
    try {
      WriteTableFile(stored.file, stored.definition->name, FileColumns(*stored.table),
                     stored.table->Rows());
      stored.table->MarkSaved();
    } catch (const TableFileError& error) {
      // The other tables are still written; this one stays changed and is tried again.
      failures += (failures.empty() ? "" : "\n") + std::string(error.what());
    }
  }
  if (!failures.empty()) throw TableFileError(failures);
}

void TFormDBMonitor::Close() {
  if (closed_) return;
  closed_ = true;
  struct CloseTables {
    std::vector<StoredTable>& tables;
    ~CloseTables() {
      for (StoredTable& stored : tables) stored.table->Close();
    }
  } closeTables{tables_};
  SaveChanges();
}

void TFormDBMonitor::InsertGame(Table& games, const TS_CURRGAME& game, bool withPlayer) {
  games.Append();
  WriteRow(games, [&] {
    games.SetField("game_id", game.game_id);
    if (withPlayer) {
      games.SetField("player_id", game.player_id);
      games.SetField("player_name", game.player_name);
    }
    games.SetField("map_id", game.map_id);
    if (Maps.Locate("map_id", game.map_id)) games.SetField("map_name", Maps.Field("map_name"));
    games.SetField("competitor_id", game.competitor_id);
    games.SetField("competitor_name", game.competitor_name);
    games.SetField("own_side", game.own_side);
    games.SetField("own_turn", game.own_turn);
    games.SetField("own_turn_date", game.own_turn_date);
    games.SetField("competitor_turn_date", game.competitor_turn_date);
    games.SetField("game_status", game.game_status);
    games.SetField("start_time", game.start_time);
    games.SetField("turn_limit", static_cast<int64_t>(std::llround(game.turn_limit)));
    games.SetField("ingame_time", game.ingame_time);
    games.SetField("alies_density", game.alies_density);
    games.SetField("revenue_turns", game.revenue_turns);
    games.SetField("unit_set", game.unit_set);
    games.SetField("chess_clock", game.chess_clock);
    games.SetField("rating_game", game.rating_game);
    games.SetField("tourney", game.tourney);
    games.SetField("new_turn", game.new_turn);
    games.SetField("tournament_id", game.tournament_id);
    games.SetField("tournament_name", game.tournament_name);
    games.SetField("date_create", clock_.Now());
    games.SetField("date_update", clock_.Now());
    games.SetField("active_deadline", game.active_deadline);
    games.SetField("passive_remaining_time", game.passive_remaining_time);
    games.SetField("freeze_time", game.freeze_time);
  });
}

void TFormDBMonitor::UpdateGame(Table& games, const TS_CURRGAME& game) {
  games.Edit();
  WriteRow(games, [&] {
    games.SetField("own_turn", game.own_turn);
    games.SetField("own_turn_date", game.own_turn_date);
    games.SetField("competitor_turn_date", game.competitor_turn_date);
    games.SetField("new_turn", game.new_turn);
    games.SetField("date_update", clock_.Now());
    games.SetField("active_deadline", game.active_deadline);
    games.SetField("passive_remaining_time", game.passive_remaining_time);
  });
}

MergeResult TFormDBMonitor::MergeGame(Table& games, const TS_CURRGAME& game, bool withPlayer) {
  if (!games.Locate("game_id", game.game_id)) {
    InsertGame(games, game, withPlayer);
    return MergeResult::NewGame;
  }
  // Turn dates count as equal when they show the same to the whole second.
  const bool competitorMoved =
      !game.competitor_turn_date.SameSecond(games.Field("competitor_turn_date").AsDateTime());
  const bool ownMoved = !game.own_turn_date.SameSecond(games.Field("own_turn_date").AsDateTime());
  if (competitorMoved) {
    UpdateGame(games, game);
    return MergeResult::CompetitorMoved;
  }
  if (ownMoved) {
    UpdateGame(games, game);
    return MergeResult::OwnMoved;
  }
  return MergeResult::Unchanged;
}

void TFormDBMonitor::InsertCurrentGame(TS_CURRGAME game) { InsertGame(CurrentGames, game, false); }

void TFormDBMonitor::InsertPlayerGame(TS_CURRGAME game) { InsertGame(PlayerGames, game, true); }

void TFormDBMonitor::UpdateCurrentGame(TS_CURRGAME game) { UpdateGame(CurrentGames, game); }

void TFormDBMonitor::UpdatePlayerGame(TS_CURRGAME game) { UpdateGame(PlayerGames, game); }

MergeResult TFormDBMonitor::MergeCurrentGame(TS_CURRGAME game) {
  return MergeGame(CurrentGames, game, false);
}

MergeResult TFormDBMonitor::MergePlayerGame(TS_CURRGAME game) {
  return MergeGame(PlayerGames, game, true);
}

void TFormDBMonitor::SetTimeZone(int index, int hours, int minutes) {
  GlobalSettings.Edit();
  WriteRow(GlobalSettings, [&] {
    GlobalSettings.SetField("time_zone_index", index);
    GlobalSettings.SetField("time_zone_h", hours);
    GlobalSettings.SetField("time_zone_m", minutes);
  });
}

void TFormDBMonitor::WritePlayer(Table& players, const TS_PLAYER& player) {
  WriteRow(players, [&] {
    players.SetField("player_id", player.player_id);
    players.SetField("alies", player.alies);
    players.SetField("name", player.name);
    players.SetField("country", player.country);
    players.SetField("email", player.email);
    players.SetField("user_type", player.user_type);
    players.SetField("last_login", player.last_login);
    players.SetField("stat_score", player.stat_score);
    players.SetField("stat_wins", player.stat_wins);
    players.SetField("stat_looses", player.stat_looses);
    players.SetField("stat_drawns", player.stat_drawns);
    players.SetField("country_code", player.country_code);
    players.SetField("reg_date", player.reg_date);
    players.SetField("player_occupation", SmallIntOrEmpty(player.player_occupation));
    players.SetField("score_exp", player.score_exp);
    players.SetField("score_glicko", player.score_glicko);
    players.SetField("current", player.current);
    players.SetField("place_glicko", player.place_glicko);
    players.SetField("place_exp", player.place_exp);
    players.SetField("stat_active", player.stat_active);
    players.SetField("avatar_state", SmallIntOrEmpty(player.avatar_state));
    players.SetField("gender", SmallIntOrEmpty(player.gender));
    players.SetField("add_info", player.add_info);
  });
}

void TFormDBMonitor::AppendPlayer(TS_PLAYER player) {
  Players.Append();
  WritePlayer(Players, player);
}

void TFormDBMonitor::UpdatePlayer(TS_PLAYER player) {
  Players.Edit();
  WritePlayer(Players, player);
}

void TFormDBMonitor::AppendTournament(TS_TOURNAMENT tournament) {
  Tournaments.Append();
  WriteRow(Tournaments, [&] {
    Tournaments.SetField("tournament_id", tournament.tournament_id);
    Tournaments.SetField("start_date", tournament.start_date);
    Tournaments.SetField("accept_players", tournament.accept_players);
    Tournaments.SetField("status", tournament.status);
    Tournaments.SetField("tournament_name", tournament.tournament_name);
    Tournaments.SetField("moderator1_id", tournament.moderator1_id);
    Tournaments.SetField("moderator1_alias", tournament.moderator1_alias);
    Tournaments.SetField("moderator2_id", tournament.moderator2_id);
    Tournaments.SetField("moderator2_alias", tournament.moderator2_alias);
    Tournaments.SetField("last_updated", tournament.last_updated);
    Tournaments.SetField("default_win_score", tournament.default_win_score);
    Tournaments.SetField("type", tournament.type);
  });
}

}  // namespace tarn
