#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/date_time.h"

namespace tarn {

class Cursor;

// The clock fields of one current game.
struct GameClock {
  bool chessClock = false;
  bool newTurn = false;  // the monitored player is to move
  int turnLimit = 0;     // days without chess clock
  DateTime ownTurnDate;
  DateTime competitorTurnDate;
  DateTime activeDeadline;           // chess clock: when the side to move runs out of time
  int64_t passiveRemainingTime = 0;  // chess clock: seconds left to the side not to move
};

// The clock fields of the current row of a cursor over CurrentGames.
GameClock CurrentGameClock(const Cursor& games);

struct RemainingTimeTexts {
  std::string yourTime;
  std::string competitorTime;
};

// The time left to each side as "N Days " + a time of day in `longTimeFormat`, or "Time expired".
RemainingTimeTexts RemainingTimes(DateTime now, const GameClock& game,
                                  std::string_view longTimeFormat);

}  // namespace tarn
