#pragma once

#include <filesystem>
#include <stdexcept>
#include <string_view>

#include "sim/fault.h"
#include "sim/world.h"

namespace tarn::sim {

// A scenario that cannot be read; the text says where and why.
class ScenarioError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A world, and the faults its server starts with, from a JSON scenario. Times are server times
// ("2008-06-01 12:00:00", UTC-01:00) or offsets from `now` ("-3h", "+2d", "-90m", "-30s", "now").
// The format:
//
// {
//   "monitored_player": 1001,          // whose games the timeline plays and the home page links
//   "players": [{"id": 1001, "alias": "Vesper", ...}],
//                                      // keys as the player attributes of player_info:
//                                      // name, country, email, user_type, last_login,
//                                      // stat_score, stat_wins, stat_looses, stat_drawns,
//                                      // country_code, reg_date, player_occupation, score_exp,
//                                      // score_glicko, place_glicko, place_exp, stat_active,
//                                      // avatar_state, gender, add_info
//   "tournaments": [{"id": 15, "name": "...", "last_updated": "-2d", "default_win_score": 3,
//                    "type": "swiss", "start_date": "...", "accept_players": 0, "status": 2,
//                    "moderators": [{"id": 1002, "alias": "Kestrel"}]}],
//   "games": [{"id": 52001, "planet": "eden", "start": "-12d", "active_deadline": "+1d",
//              "passive_remaining_time": 43200, "tournament": 15 (its name comes from the list),
//              "mentor": false, "rating": true, "chess_clock": true, "unit_set": 1,
//              "revenue_turns": 3, "allies_density": 2, "ingame_time_left": 7200,
//              "turn_limit_days": 3, "freeze_hours": 12, "bool_words": false,
//              "players": [{"id": 1001, "side": "pl", "status": 1, "turn": 14,
//                           "turn_date": "-5h"}, {...}]}],
//   "generated_history": {"count": 300, "seed": 7, "first_id": 40000},
//                                      // finished games of the monitored player
//   "faults": {"mode=player_info": "other_player", "/tarn/gamereplays/": "slow:2000",
//              "mode=games_all": "delay:3000,status:503"}
//                                      // request key -> fault, in the written form of
//                                      // sim/fault.h: keys mode=NAME or a request path;
//                                      // faults delay:MS, status:CODE, slow:BYTES (a
//                                      // second), joined by ",", and at most one of
//                                      // malformed, truncated, closed, error_page,
//                                      // other_player, extra_player, endless
// }
//
// Only ids, aliases, planets and the two players of a game are required.

// A world and the faults its server starts with.
struct Scenario {
  World world;
  FaultMap faults;
};

Scenario ParseScenario(std::string_view json, SimTime now = SimNow());
Scenario LoadScenario(const std::filesystem::path& file, SimTime now = SimNow());

// The demo scenario, built into the library.
std::string_view DemoScenarioText();
World DemoWorld(SimTime now = SimNow());

}  // namespace tarn::sim
