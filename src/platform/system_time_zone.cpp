#include "platform/system_time_zone.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <algorithm>
#include <ctime>
#endif

namespace tarn {

#ifdef _WIN32
int OsTimeZone::StandardBiasMinutes() const {
  TIME_ZONE_INFORMATION info{};
  GetTimeZoneInformation(&info);
  return static_cast<int>(info.Bias);
}
#else
namespace {

// Seconds east of UTC on the first of `month` (0-based) of `year` (years since 1900) at noon.
long OffsetOn(int year, int month) {
  std::tm date{};
  date.tm_year = year;
  date.tm_mon = month;
  date.tm_mday = 1;
  date.tm_hour = 12;
  date.tm_isdst = -1;
  const std::time_t moment = std::mktime(&date);
  std::tm local{};
  localtime_r(&moment, &local);
  return local.tm_gmtoff;
}

}  // namespace

int OsTimeZone::StandardBiasMinutes() const {
  tzset();  // TZ may have changed since the last look
  const std::time_t now = std::time(nullptr);
  std::tm today{};
  localtime_r(&now, &today);
  const long standardOffset = std::min(OffsetOn(today.tm_year, 0), OffsetOn(today.tm_year, 6));
  return static_cast<int>(-standardOffset / 60);
}
#endif

}  // namespace tarn
