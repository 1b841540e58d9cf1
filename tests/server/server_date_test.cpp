#include "server/server_date.h"

#include <gtest/gtest.h>

#include "server/server_data_error.h"

namespace tarn {
namespace {

std::string Local(std::string_view text, const ServerTimeZone& zone) {
  return ParseServerDate(text, true, zone).Format("yyyy-MM-dd HH:mm:ss");
}

TEST(ParseServerDateTest, ShiftsByTheStoredZone) {
  struct Case {
    ServerTimeZone zone;
    const char* expected;
  };
  const Case cases[] = {
      {{"3", "0"}, "2008-06-01 14:00:00"},
      {{"0", "0"}, "2008-06-01 11:00:00"},
      // West of GMT the minutes count westwards too: GMT-5:30 lies 30 minutes before GMT-5.
      {{"-5", "30"}, "2008-06-01 05:30:00"},
      {{"-5", "-30"}, "2008-06-01 05:30:00"},
      {{"-4", "30"}, "2008-06-01 06:30:00"},
      {{"5", "45"}, "2008-06-01 16:45:00"},
      {{"", ""}, "2008-06-01 10:00:00"},
      {{"", "30"}, "2008-06-01 10:30:00"},
      {{"3", ""}, "2008-06-01 14:00:00"},
      {{"2", "-15"}, "2008-06-01 12:45:00"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Local("2008-06-01 10:00:00", c.zone), c.expected)
        << "hours '" << c.zone.hours << "' minutes '" << c.zone.minutes << "'";
  }
}

TEST(ParseServerDateTest, ShiftAppliesTheExactFormulas) {
  const DateTime server = ParseServerDate("2008-06-01 10:00:00", false, {});
  double expected = (server.Days() * 24 + 6) / 24;
  expected = (expected * 1440 + 45) / 1440;
  EXPECT_EQ(ParseServerDate("2008-06-01 10:00:00", true, {"5", "45"}).Days(), expected);
}

TEST(ParseServerDateTest, ShiftCrossesMidnight) {
  EXPECT_EQ(Local("2008-06-01 22:30:00", {"3", "0"}), "2008-06-02 02:30:00");
  EXPECT_EQ(Local("2008-01-01 00:10:00", {"-3", "30"}), "2007-12-31 21:40:00");
}

TEST(ParseServerDateTest, WithoutShiftGivesTheServerTime) {
  const DateTime t = ParseServerDate("2008-06-01 10:00:00", false, {"3", "30"});
  EXPECT_EQ(t, DateTime::FromFields(2008, 6, 1, 10));
}

TEST(ParseServerDateTest, OnlyPositionsAreRead) {
  EXPECT_EQ(ParseServerDate("2008/06/01T10:00:00.123 extra", false, {}),
            DateTime::FromFields(2008, 6, 1, 10));
}

TEST(ParseServerDateTest, NoDateOrImpossibleDateGivesZero) {
  for (const char* text :
       {"0000-00-00 00:00:00", "2008-02-30 12:00:00", "2008-06-01 24:00:00", "2008-13-01 10:00:00",
        "2008-06-01 10:60:00", "0000-01-01 10:00:00", "2008-06-01 10:-1:00"}) {
    for (bool shift : {false, true}) {
      EXPECT_EQ(ParseServerDate(text, shift, {"3", "30"}).Days(), 0.0) << text;
    }
  }
}

TEST(ParseServerDateTest, AZoneTextThatIsNoNumberGivesZero) {
  for (const ServerTimeZone& zone :
       {ServerTimeZone{"x", "0"}, ServerTimeZone{"3", "half"}, ServerTimeZone{"3.5", ""},
        ServerTimeZone{"99999999999", ""}, ServerTimeZone{"2147483647", ""}}) {
    EXPECT_EQ(ParseServerDate("2008-06-01 10:00:00", true, zone).Days(), 0.0) << zone.hours;
  }
}

TEST(ParseServerDateTest, PiecesThatAreNoNumbersAreErrors) {
  for (const char* text : {"", "2008-06-01", "2008-06-01 10:00", "20x8-06-01 10:00:00",
                           "2008-06-01 10:00:0a", "2008-06-01 1 :00:00", "2008-06-01 ++:00:00"}) {
    EXPECT_THROW(ParseServerDate(text, false, {}), ServerDataError) << text;
  }
  try {
    ParseServerDate("2008-06-01", true, {});
    FAIL();
  } catch (const ServerDataError& e) {
    EXPECT_STREQ(e.what(), "'2008-06-01' is not a valid server date");
  }
}

}  // namespace
}  // namespace tarn
