#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/date_time.h"

namespace tarn {

// Plain values carried from the server client to the record operations and the windows.
// Texts are UTF-8.

struct TS_PLAYER {
  int32_t player_id = 0;
  std::string name;
  std::string country;
  std::string email;
  std::string alies;
  int32_t user_type = 0;
  DateTime last_login;
  int32_t stat_score = 0;
  int32_t stat_wins = 0;
  int32_t stat_looses = 0;
  int32_t stat_drawns = 0;
  int32_t country_code = 0;
  DateTime reg_date;
  std::string player_occupation;
  int32_t score_exp = 0;
  std::string score_glicko;
  bool current = false;
  int32_t place_glicko = 0;
  int32_t place_exp = 0;
  int32_t stat_active = 0;
  std::string avatar_state;
  std::string gender;
  std::string add_info;
};

// One game seen from the own player's side against the competitor.
struct TS_CURRGAME {
  int32_t game_id = 0;
  int32_t player_id = 0;
  std::string player_name;
  std::string map_id;
  DateTime start_time;
  double turn_limit = 0.0;  // always a whole number
  int32_t ingame_time = 0;
  DateTime active_deadline;
  int32_t passive_remaining_time = 0;
  int32_t freeze_time = 0;
  int32_t alies_density = 0;
  int32_t revenue_turns = 0;
  int32_t unit_set = 0;
  bool chess_clock = false;
  bool rating_game = false;
  bool tourney = false;
  int32_t tournament_id = 0;
  std::string tournament_name;
  std::string own_side;
  int32_t competitor_id = 0;
  std::string competitor_name;
  int32_t game_status = 0;
  int32_t own_turn = 0;
  int32_t competitor_turn = 0;
  DateTime own_turn_date;
  DateTime competitor_turn_date;
  bool new_turn = false;
  bool mentor_game = false;
};

struct TS_TOURNAMENT {
  int32_t tournament_id = 0;
  DateTime start_date;
  int32_t accept_players = 0;
  int32_t status = 0;
  std::string tournament_name;
  int32_t moderator1_id = 0;
  std::string moderator1_alias;
  int32_t moderator2_id = 0;
  std::string moderator2_alias;
  DateTime last_updated;
  int32_t default_win_score = 0;
  std::string type;
};

struct TS_INTERFACE_PRTY {
  std::string form_name;
  int32_t property_no = 0;
  std::string property_name;
  std::string property_value;
};

using TA_INTERFACE_PRTY = std::vector<TS_INTERFACE_PRTY>;

}  // namespace tarn
