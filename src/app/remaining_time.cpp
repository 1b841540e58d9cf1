#include "app/remaining_time.h"

#include <algorithm>
#include <limits>

#include "store/table.h"

namespace tarn {
namespace {

constexpr int64_t kMsPerDay = 86400000;
constexpr int64_t kSecondsPerDay = 86400;
constexpr std::string_view kTimeExpired = "Time expired";

std::string DaysText(int64_t days, int64_t msOfDay, std::string_view longTimeFormat) {
  const DateTime timeOfDay(static_cast<double>(msOfDay) / DateTime::kMsPerDay);
  return std::to_string(days) + " Days " + timeOfDay.Format(longTimeFormat);
}

std::string SecondsText(int64_t seconds, std::string_view longTimeFormat) {
  return DaysText(seconds / kSecondsPerDay, seconds % kSecondsPerDay * 1000, longTimeFormat);
}

// A turn date later than now (a clock set wrong) counts as no time elapsed, not as time used.
int64_t ElapsedMs(DateTime since, DateTime now) {
  return std::max<int64_t>(0, now.TotalMilliseconds() - since.TotalMilliseconds());
}

// The side to move in a game without chess clock has `turnLimit` days from the other side's turn.
// Counting what is left, rather than whole days elapsed plus a wrapped time of day, keeps the
// moment a whole day has passed from showing one day too few.
std::string RunningText(DateTime now, DateTime lastTurn, int turnLimit,
                        std::string_view longTimeFormat) {
  const int64_t leftMs = turnLimit * kMsPerDay - ElapsedMs(lastTurn, now);
  if (leftMs <= 0) return std::string(kTimeExpired);
  return DaysText(leftMs / kMsPerDay, leftMs % kMsPerDay, longTimeFormat);
}

std::string FullLimitText(int turnLimit) { return std::to_string(turnLimit) + " Days 00:00:00"; }

std::string ActiveText(DateTime now, DateTime deadline, std::string_view longTimeFormat) {
  if (now >= deadline) return std::string(kTimeExpired);
  return SecondsText((deadline.TotalMilliseconds() - now.TotalMilliseconds()) / 1000,
                     longTimeFormat);
}

// The side not to move keeps its stored seconds plus up to `turnLimit` seconds of the turn in
// progress. A negative store shows as no time left rather than as a time of day before midnight.
std::string PassiveText(DateTime now, const GameClock& game, std::string_view longTimeFormat) {
  const DateTime lastTurn = game.newTurn ? game.ownTurnDate : game.competitorTurnDate;
  const int64_t bonus = std::min<int64_t>(game.turnLimit, ElapsedMs(lastTurn, now) / 1000);
  const int64_t stored = game.passiveRemainingTime;
  const int64_t total = bonus > 0 && stored > std::numeric_limits<int64_t>::max() - bonus
                            ? std::numeric_limits<int64_t>::max()
                            : stored + bonus;
  return SecondsText(std::max<int64_t>(0, total), longTimeFormat);
}

}  // namespace

RemainingTimeTexts RemainingTimes(DateTime now, const GameClock& game,
                                  std::string_view longTimeFormat) {
  if (game.chessClock) {
    std::string active = ActiveText(now, game.activeDeadline, longTimeFormat);
    std::string passive = PassiveText(now, game, longTimeFormat);
    if (game.newTurn) return {std::move(active), std::move(passive)};
    return {std::move(passive), std::move(active)};
  }
  if (game.newTurn) {
    return {RunningText(now, game.competitorTurnDate, game.turnLimit, longTimeFormat),
            FullLimitText(game.turnLimit)};
  }
  return {FullLimitText(game.turnLimit),
          RunningText(now, game.ownTurnDate, game.turnLimit, longTimeFormat)};
}

GameClock CurrentGameClock(const Cursor& games) {
  GameClock game;
  game.chessClock = games.Field("chess_clock").AsBool();
  game.newTurn = games.Field("new_turn").AsBool();
  game.turnLimit = static_cast<int>(games.Field("turn_limit").AsInt());
  game.ownTurnDate = games.Field("own_turn_date").AsDateTime();
  game.competitorTurnDate = games.Field("competitor_turn_date").AsDateTime();
  game.activeDeadline = games.Field("active_deadline").AsDateTime();
  game.passiveRemainingTime = games.Field("passive_remaining_time").AsInt();
  return game;
}

}  // namespace tarn
