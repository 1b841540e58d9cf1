#pragma once

#include <string>
#include <string_view>

#include "base/date_time.h"

namespace tarn {

// The stored time zone as the texts of GlobalSettings' `time_zone_h` and `time_zone_m` columns;
// an empty text stands for an empty column.
struct ServerTimeZone {
  std::string hours;
  std::string minutes;
};

// Converts a server time "YYYY-MM-DD hh:mm:ss" (read by character position; the separators are
// not examined and anything after the seconds is ignored) into a local date-time.
// "0000-00-00 00:00:00", an impossible date or time, or a time zone text that is not a number
// gives 0.0. A date or time piece that is not a decimal number throws ServerDataError.
// With shift, the server's fixed hour and the stored hours and minutes are added; west of GMT
// (negative hours) the minutes are subtracted instead, so that "-4:30" is four and a half hours.
DateTime ParseServerDate(std::string_view text, bool shift, const ServerTimeZone& zone);

}  // namespace tarn
