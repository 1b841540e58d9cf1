#include "app/remaining_time.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

DateTime At(int day, int hour, int minute = 0, int second = 0, int msec = 0) {
  return *DateTime::FromFields(2024, 1, day, hour, minute, second, msec);
}

// A game without chess clock.
GameClock Daily(bool newTurn, int turnLimit, DateTime ownTurnDate, DateTime competitorTurnDate) {
  GameClock game;
  game.newTurn = newTurn;
  game.turnLimit = turnLimit;
  game.ownTurnDate = ownTurnDate;
  game.competitorTurnDate = competitorTurnDate;
  return game;
}

GameClock Chess(bool newTurn, int turnLimit, DateTime ownTurnDate, DateTime competitorTurnDate,
                DateTime activeDeadline, int64_t passiveRemainingTime) {
  GameClock game = Daily(newTurn, turnLimit, ownTurnDate, competitorTurnDate);
  game.chessClock = true;
  game.activeDeadline = activeDeadline;
  game.passiveRemainingTime = passiveRemainingTime;
  return game;
}

struct Case {
  const char* name;
  DateTime now;
  GameClock game;
  const char* yourTime;
  const char* competitorTime;
};

void ExpectTexts(const Case& c, std::string_view format = "HH:mm:ss") {
  SCOPED_TRACE(c.name);
  const RemainingTimeTexts texts = RemainingTimes(c.now, c.game, format);
  EXPECT_EQ(texts.yourTime, c.yourTime);
  EXPECT_EQ(texts.competitorTime, c.competitorTime);
}

TEST(RemainingTimesTest, WithoutChessClockTheSideToMoveCountsDownFromTheOtherSidesTurn) {
  const Case cases[] = {
      {"worked example", At(11, 10), Daily(true, 3, DateTime(), At(10, 15)), "2 Days 05:00:00",
       "3 Days 00:00:00"},
      {"2 days 1 hour used", At(12, 16), Daily(true, 3, DateTime(), At(10, 15)), "0 Days 23:00:00",
       "3 Days 00:00:00"},
      {"limit used up", At(13, 15), Daily(true, 3, DateTime(), At(10, 15)), "Time expired",
       "3 Days 00:00:00"},
      {"one second left", At(13, 14, 59, 59), Daily(true, 3, DateTime(), At(10, 15)),
       "0 Days 00:00:01", "3 Days 00:00:00"},
      {"competitor to move", At(11, 10), Daily(false, 3, At(10, 15), At(1, 1)), "3 Days 00:00:00",
       "2 Days 05:00:00"},
      {"part seconds are not rounded up", At(10, 16, 0, 0, 400),
       Daily(true, 2, DateTime(), At(10, 15)), "1 Days 22:59:59", "2 Days 00:00:00"},
      {"no limit", At(10, 15), Daily(true, 0, DateTime(), At(10, 15)), "Time expired",
       "0 Days 00:00:00"},
  };
  for (const Case& c : cases) ExpectTexts(c);
}

// The moments where counting whole days and a wrapped time of day goes wrong.
TEST(RemainingTimesTest, WholeDaysElapsedAndTurnDatesAheadOfNowKeepTheTimeLeft) {
  const Case cases[] = {
      {"just moved", At(10, 15), Daily(true, 3, DateTime(), At(10, 15)), "3 Days 00:00:00",
       "3 Days 00:00:00"},
      {"exactly one day used", At(11, 15), Daily(true, 3, DateTime(), At(10, 15)),
       "2 Days 00:00:00", "3 Days 00:00:00"},
      {"turn date an hour ahead", At(10, 14), Daily(true, 3, DateTime(), At(10, 15)),
       "3 Days 00:00:00", "3 Days 00:00:00"},
  };
  for (const Case& c : cases) ExpectTexts(c);
}

TEST(RemainingTimesTest, ChessClockShowsTheDeadlineToTheSideToMoveAndTheStoreToTheOther) {
  const Case cases[] = {
      // Passive: 3600 s stored + the smaller of 600 and the 7200 s since the own turn.
      {"before the deadline", At(10, 12),
       Chess(true, 600, At(10, 10), DateTime(), At(11, 13, 1, 1), 3600), "1 Days 01:01:01",
       "0 Days 01:10:00"},
      // Passive: 86400 s stored + the 60 s since the own turn, below the limit.
      {"deadline passed", At(10, 12),
       Chess(true, 600, At(10, 11, 59), DateTime(), At(10, 11), 86400), "Time expired",
       "1 Days 00:01:00"},
      {"deadline now", At(10, 12), Chess(true, 0, DateTime(), DateTime(), At(10, 12), 5),
       "Time expired", "0 Days 00:00:05"},
      // Competitor to move: the passive side is ours and counts from the competitor's turn.
      {"competitor to move", At(10, 12),
       Chess(false, 600, At(10, 11, 59), At(10, 10), At(10, 12, 30), 0), "0 Days 00:10:00",
       "0 Days 00:30:00"},
      {"negative store", At(10, 12), Chess(true, 600, At(10, 11), DateTime(), At(10, 13), -3600),
       "0 Days 01:00:00", "0 Days 00:00:00"},
  };
  for (const Case& c : cases) ExpectTexts(c);
}

TEST(RemainingTimesTest, TheTimeOfDayFollowsTheGivenFormatButTheFullLimitDoesNot) {
  ExpectTexts({"format", At(11, 10), Daily(true, 3, DateTime(), At(10, 15, 0, 30)), "2 Days 05:00",
               "3 Days 00:00:00"},
              "HH:mm");
}

}  // namespace
}  // namespace tarn
