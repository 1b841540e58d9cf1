#pragma once

#include <string>

#include "base/records.h"

namespace tarn::testing {

// A stored player with the fields the windows and their logic show.
inline TS_PLAYER PlayerRecord(int id, const std::string& alias, const std::string& glicko,
                              const std::string& country) {
  TS_PLAYER player;
  player.player_id = id;
  player.alies = alias;
  player.score_glicko = glicko;
  player.country = country;
  return player;
}

}  // namespace tarn::testing
