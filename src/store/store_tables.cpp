#include "store/store_tables.h"

namespace tarn {
namespace {

constexpr ColumnType kInt = ColumnType::Integer;
constexpr ColumnType kSmall = ColumnType::SmallInt;
constexpr ColumnType kText = ColumnType::Text;
constexpr ColumnType kBool = ColumnType::Boolean;
constexpr ColumnType kDate = ColumnType::DateTime;

DateTime At(int year, int month, int day, int hour, int minute, int second) {
  return *DateTime::FromFields(year, month, day, hour, minute, second);
}

// The moment the built-in rows were entered.
const DateTime kEntered = At(2010, 4, 25, 12, 12, 9);

// Columns of a game seen from the own player's side, from `map_id` on: the same in CurrentGames
// and PlayerGames.
std::vector<ColumnDef> GameColumnsFromMap() {
  return {{"map_id", kText, 20},
          {"map_name", kText, 20},
          {"competitor_id", kInt},
          {"competitor_name", kText, 30},
          {"own_side", kText, 3},
          {"own_turn", kInt},
          {"own_turn_date", kDate},
          {"competitor_turn_date", kDate},
          {"game_status", kSmall},
          {"start_time", kDate},
          {"turn_limit", kInt},
          {"ingame_time", kInt},
          {"alies_density", kInt},
          {"revenue_turns", kInt},
          {"unit_set", kInt},
          {"chess_clock", kBool},
          {"rating_game", kBool},
          {"tourney", kBool},
          {"tournament_id", kInt},
          {"date_create", kDate},
          {"date_update", kDate},
          {"new_turn", kBool},
          {"tournament_name", kText, 100},
          {"active_deadline", kDate},
          {"passive_remaining_time", kInt},
          {"freeze_time", kInt},
          {"mentor_game", kBool}};
}

std::vector<ColumnDef> Joined(std::vector<ColumnDef> first, const std::vector<ColumnDef>& then) {
  first.insert(first.end(), then.begin(), then.end());
  return first;
}

TableRows MapRows() {
  struct Map {
    const char* id;
    const char* name;
    const char* size;
  };
  // In the order of their pictures: a map's position here is its img_no.
  static constexpr Map kMaps[] = {
      {"altalim", "Altaliman", "Small"},
      {"antarcticus", "Antarcticus", "Medium"},
      {"anubis", "Anubis", "Medium"},
      {"beotorum", "Beotorum", "Medium"},
      {"bizarria", "Bizarria", "Extra Small"},
      {"brimstone", "Brimstone", "Small"},
      {"butterfly", "Butterfly", "Small"},
      {"crateus", "Crateus", "Medium"},
      {"eden", "Eden", "Medium"},
      {"emerald", "Emerald", "Small"},
      {"inferno", "Inferno", "Large"},
      {"iron", "Station \"Thunder\"", "Small"},
      {"island", "Treasure Island", "Small"},
      {"lions eye", "Lion's Eye", "Small"},
      {"micronesia", "Micronesia", "Extra Smal"},
      {"midgard", "Midgard", "Medium"},
      {"new paradise", "New Paradise", "Large"},
      {"noble rust", "Noble Rust", "Medium"},
      {"san fernando", "San Fernando", "Small"},
      {"swamp", "The Swamp", "Large"},
      {"switzerland", "Sea Switzerland", "Extra Large"},
      {"trinity", "Trinity", "Large"},
      {"twin islands", "Twin Islands", "Medium"},
      {"v6", "V6", "Small"},
      {"v6 demo", "V6 Demo", "Small"},
      {"wasserland", "Wasserland", "Large"},
      {"demoland", "Demoland", "Small"},
      {"aurora", "Aurora", "Large"},
  };
  TableRows rows;
  int imgNo = 0;
  for (const Map& map : kMaps) {
    rows.push_back({map.id, map.name, map.size, imgNo++, kEntered, kEntered});
  }
  return rows;
}

TableRows InterfaceRows() {
  // Both check boxes start ticked; windows start where their layout puts them, black with
  // yellow text. The switch belongs to no single window, so no window's read picks it up.
  return {
      {"", 0, "StoreLastPosition", "-1"},
      {"Form1", 1, "Form1.ToolBar1.Visible", "-1"},
      {"Form1", 2, "Form1.Color", "0"},
      {"Form1", 3, "Form1.Font.Color", "65535"},
      {"Form1", 4, "Form1.Top", "227"},
      {"Form1", 5, "Form1.Left", "344"},
      {"Form1", 6, "Form1.Height", "568"},
      {"Form1", 7, "Form1.Width", "1005"},
      {"FormMonitorSettings", 8, "FormMonitorSettings.Top", "300"},
      {"FormMonitorSettings", 9, "FormMonitorSettings.Left", "560"},
      {"FormMonitorSettings", 10, "FormMonitorSettings.Height", "330"},
      {"FormMonitorSettings", 11, "FormMonitorSettings.Width", "480"},
      {"FormPlayer", 12, "FormPlayer.Top", "236"},
      {"FormPlayer", 13, "FormPlayer.Left", "742"},
      {"FormPlayer", 14, "FormPlayer.Height", "480"},
      {"FormPlayer", 15, "FormPlayer.Width", "520"},
      {"FormPlayer", 16, "FormPlayer.Color", "0"},
      {"FormPlayer", 17, "FormPlayer.Font.Color", "65535"},
  };
}

}  // namespace

const TableDefinition& PlayersDefinition() {
  static const TableDefinition kDefinition{"Players",
                                           "players.cds",
                                           {{"player_id", kInt},      {"alies", kText, 60},
                                            {"name", kText, 60},      {"country", kText, 60},
                                            {"email", kText, 60},     {"user_type", kSmall},
                                            {"last_login", kDate},    {"stat_score", kInt},
                                            {"stat_wins", kInt},      {"stat_looses", kInt},
                                            {"stat_drawns", kInt},    {"country_code", kSmall},
                                            {"reg_date", kDate},      {"player_occupation", kSmall},
                                            {"score_exp", kInt},      {"score_glicko", kText, 20},
                                            {"current", kBool},       {"place_glicko", kInt},
                                            {"place_exp", kInt},      {"stat_active", kInt},
                                            {"avatar_state", kSmall}, {"gender", kSmall},
                                            {"add_info", kText, 200}},
                                           "player_id",
                                           {},
                                           {},
                                           {}};
  return kDefinition;
}

const TableDefinition& MapsDefinition() {
  static const TableDefinition kDefinition{"Maps",
                                           "maps.cds",
                                           {{"map_id", kText, 20},
                                            {"map_name", kText, 20},
                                            {"map_size", kText, 20},
                                            {"img_no", kSmall},
                                            {"date_create", kDate},
                                            {"date_update", kDate}},
                                           "map_id",
                                           {},
                                           MapRows(),
                                           MapRows()};
  return kDefinition;
}

const TableDefinition& CurrentGamesDefinition() {
  static const TableDefinition kDefinition{"CurrentGames",
                                           "currgames.cds",
                                           Joined({{"game_id", kInt}}, GameColumnsFromMap()),
                                           "game_id",
                                           {},
                                           {},
                                           {}};
  return kDefinition;
}

const TableDefinition& GlobalSettingsDefinition() {
  static const TableDefinition kDefinition{"GlobalSettings",
                                           "globalsettings.cds",
                                           {{"time_zone_index", kInt},
                                            {"time_zone_h", kInt},
                                            {"time_zone_m", kInt},
                                            {"last_sync", kDate},
                                            {"sync_period_currgames", kInt},
                                            {"sync_period_players", kInt},
                                            {"check_new_version", kBool}},
                                           // Its one row is edited where it stands.
                                           "",
                                           {},
                                           {{16, 2, 0, kEntered, 10, 1, true}},
                                           // A new data folder takes its time zone from the
                                           // system at the first start rather than a fixed one.
                                           {{Value(), Value(), Value(), kEntered, 10, 1, true}}};
  return kDefinition;
}

const TableDefinition& InterfaceSettingsDefinition() {
  static const TableDefinition kDefinition{"InterfaceSettings",
                                           "interfacesettings.cds",
                                           {{"form_name", kText, 50},
                                            {"property_no", kInt},
                                            {"property_name", kText, 256},
                                            {"property_value", kText, 256}},
                                           "property_name",
                                           {},
                                           {},
                                           InterfaceRows()};
  return kDefinition;
}

const TableDefinition& UserSettingsDefinition() {
  static const TableDefinition kDefinition{"UserSettings",
                                           "usersettings.cds",
                                           {{"Name", kText, 50}, {"Value", kText, 1024}},
                                           "Name",
                                           {},
                                           {},
                                           {{"tarndir", ""}, {"replaydir", ""}}};
  return kDefinition;
}

const TableDefinition& PlayerGamesDefinition() {
  static const TableDefinition kDefinition{
      "PlayerGames",
      "playergames.cds",
      Joined({{"game_id", kInt}, {"player_id", kInt}, {"player_name", kText, 60}},
             GameColumnsFromMap()),
      "game_id",
      {{"OwnTurnDateIndex", "own_turn_date", true},
       {"CompTurnDateIndex", "competitor_turn_date", true},
       {"GameIdIndex", "game_id", false}},
      {},
      {}};
  return kDefinition;
}

const TableDefinition& TournamentsDefinition() {
  static const TableDefinition kDefinition{"Tournaments",
                                           "tournaments.cds",
                                           {{"tournament_id", kInt},
                                            {"start_date", kDate},
                                            {"accept_players", kInt},
                                            {"status", kInt},
                                            {"tournament_name", kText, 120},
                                            {"moderator1_id", kInt},
                                            {"moderator1_alias", kText, 60},
                                            {"moderator2_id", kInt},
                                            {"moderator2_alias", kText, 60},
                                            {"last_updated", kDate},
                                            {"default_win_score", kSmall},
                                            {"type", kText, 20}},
                                           "tournament_id",
                                           {},
                                           {},
                                           {}};
  return kDefinition;
}

}  // namespace tarn
