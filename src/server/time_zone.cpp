#include "server/time_zone.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace tarn {
namespace {

// The minutes of the list entry for a system zone of these whole hours and remaining minutes.
int ListMinutes(int hours, int minutes) {
  switch (hours) {
    case -4:
    case -3:
      return minutes == 30 ? 30 : 0;
    case 4:
    case 6:
    case 9:
      return minutes != 0 ? 30 : 0;
    case 5:
      return minutes == 0 ? 0 : (minutes == 30 ? 30 : 45);
    default:
      return 0;
  }
}

}  // namespace

std::string TimeZoneCaption(const TimeZoneChoice& choice) {
  if (choice.hours == 0 && choice.minutes == 0) return "(GMT)";
  char text[32];
  std::snprintf(text, sizeof text, "(GMT%c%02d:%02d)", choice.hours < 0 ? '-' : '+',
                std::abs(choice.hours), choice.minutes);
  return text;
}

std::optional<TimeZoneChoice> TimeZoneFromBias(int biasMinutes) {
  const int hours = biasMinutes / -60;  // truncated toward zero
  const int minutes = std::abs(biasMinutes % 60);
  if (hours < -12 || hours > 13) return std::nullopt;
  const int listMinutes = ListMinutes(hours, minutes);
  const auto found = std::find_if(
      kTimeZoneChoices.begin(), kTimeZoneChoices.end(),
      [&](const TimeZoneChoice& c) { return c.hours == hours && c.minutes == listMinutes; });
  return *found;
}

}  // namespace tarn
