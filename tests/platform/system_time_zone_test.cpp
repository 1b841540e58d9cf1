#include "platform/system_time_zone.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>

namespace tarn {
namespace {

#ifndef _WIN32
// Sets TZ for one test and puts the previous setting back.
class TimeZoneOverride {
 public:
  explicit TimeZoneOverride(const char* zone) {
    if (const char* old = std::getenv("TZ")) previous_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~TimeZoneOverride() {
    if (previous_) {
      setenv("TZ", previous_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  TimeZoneOverride(const TimeZoneOverride&) = delete;
  TimeZoneOverride& operator=(const TimeZoneOverride&) = delete;

 private:
  std::optional<std::string> previous_;
};

TEST(SystemTimeZoneTest, StandardBiasLeavesDaylightSavingOutInBothHemispheres) {
  // POSIX rules, so the test needs no time-zone database.
  struct Case {
    const char* zone;
    int bias;
  };
  const Case cases[] = {
      {"UTC0", 0},
      {"IST-5:30", -330},
      {"NPT-5:45", -345},
      {"NST3:30NDT,M3.2.0,M11.1.0", 210},      // St. John's: summer in July
      {"AEST-10AEDT,M10.1.0,M4.1.0/3", -600},  // Sydney: summer in January
      {"<-03>3", 180},
      {"<+14>-14", -840},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.zone);
    TimeZoneOverride zone(c.zone);
    EXPECT_EQ(OsTimeZone().StandardBiasMinutes(), c.bias);
  }
}

TEST(SystemTimeZoneTest, NamedZonesOfTheTimeZoneDatabase) {
  struct Case {
    const char* zone;
    int bias;
  };
  const Case cases[] = {
      {"Asia/Kolkata", -330},
      {"America/St_Johns", 210},
      {"Australia/Sydney", -600},
      {"Europe/Dublin", 0},  // the database calls its winter time the exception
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.zone);
    if (!std::filesystem::exists(std::filesystem::path("/usr/share/zoneinfo") / c.zone)) {
      GTEST_SKIP() << "no time-zone database";
    }
    TimeZoneOverride zone(c.zone);
    EXPECT_EQ(OsTimeZone().StandardBiasMinutes(), c.bias);
  }
}
#endif

}  // namespace
}  // namespace tarn
