#include "sim/server_time.h"

#include <charconv>
#include <cstdio>

namespace tarn::sim {
namespace {

using namespace std::chrono;

constexpr hours kServerOffset{-1};

bool ReadNumber(std::string_view& text, size_t minDigits, size_t maxDigits, int& value) {
  size_t digits = 0;
  while (digits < text.size() && digits < maxDigits && text[digits] >= '0' && text[digits] <= '9') {
    ++digits;
  }
  if (digits < minDigits) return false;
  std::from_chars(text.data(), text.data() + digits, value);
  text.remove_prefix(digits);
  return true;
}

bool Expect(std::string_view& text, char c) {
  if (text.empty() || text.front() != c) return false;
  text.remove_prefix(1);
  return true;
}

}  // namespace

SimTime SimNow() { return time_point_cast<seconds>(system_clock::now()); }

std::string FormatServerTime(SimTime time) { return FormatTimeText(time + kServerOffset); }

std::string FormatTimeText(sys_seconds local) {
  const sys_days day = floor<days>(local);
  const year_month_day date(day);
  const hh_mm_ss clock(local - day);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d", int(date.year()),
                unsigned(date.month()), unsigned(date.day()), int(clock.hours().count()),
                int(clock.minutes().count()), int(clock.seconds().count()));
  return text;
}

std::optional<SimTime> ParseServerTime(std::string_view text) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  if (!ReadNumber(text, 4, 4, y) || !Expect(text, '-') || !ReadNumber(text, 2, 2, mo) ||
      !Expect(text, '-') || !ReadNumber(text, 2, 2, d)) {
    return std::nullopt;
  }
  if (!text.empty()) {
    if (!Expect(text, ' ') || !ReadNumber(text, 1, 2, h) || !Expect(text, ':') ||
        !ReadNumber(text, 2, 2, mi) || !Expect(text, ':') || !ReadNumber(text, 2, 2, s) ||
        !text.empty()) {
      return std::nullopt;
    }
  }
  const year_month_day date{year(y), month(unsigned(mo)), day(unsigned(d))};
  if (!date.ok() || h > 23 || mi > 59 || s > 59) return std::nullopt;
  return SimTime(sys_days(date)) + hours(h) + minutes(mi) + seconds(s) - kServerOffset;
}

std::optional<SimTime> ParseScenarioTime(std::string_view text, SimTime now) {
  if (text == "now") return now;
  if (text.empty() || (text.front() != '-' && text.front() != '+')) return ParseServerTime(text);
  const int sign = text.front() == '-' ? -1 : 1;
  text.remove_prefix(1);
  int amount = 0;
  if (!ReadNumber(text, 1, 9, amount) || text.size() != 1) return std::nullopt;
  switch (text.front()) {
    case 'd':
      return now + sign * days(amount);
    case 'h':
      return now + sign * hours(amount);
    case 'm':
      return now + sign * minutes(amount);
    case 's':
      return now + sign * seconds(amount);
    default:
      return std::nullopt;
  }
}

}  // namespace tarn::sim
