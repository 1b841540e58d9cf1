#include "base/date_time.h"

#include <cmath>

namespace tarn {
namespace {

constexpr int64_t kMsPerDay = 86400000;

struct Civil {
  int year, month, day;
};

// Howard Hinnant's days_from_civil / civil_from_days, shifted to the 1899-12-30 epoch.
constexpr int64_t kEpochShift = 25569;  // 1899-12-30 .. 1970-01-01

int64_t UnixDaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

Civil CivilFromUnixDays(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t y = yoe + era * 400;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return {static_cast<int>(y + (m <= 2)), m, d};
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

}  // namespace

int64_t DaysFromCivil(int year, int month, int day) {
  return UnixDaysFromCivil(year, month, day) + kEpochShift;
}

bool IsValidDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

std::optional<DateTime> DateTime::FromFields(int year, int month, int day, int hour, int minute,
                                             int second, int msec) {
  if (!IsValidDate(year, month, day) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
      second < 0 || second > 59 || msec < 0 || msec > 999) {
    return std::nullopt;
  }
  const int64_t ms = ((static_cast<int64_t>(hour) * 60 + minute) * 60 + second) * 1000 + msec;
  return DateTime(static_cast<double>(DaysFromCivil(year, month, day)) +
                  static_cast<double>(ms) / DateTime::kMsPerDay);
}

std::optional<DateTime> DateTime::FromFields(const Fields& f) {
  return FromFields(f.year, f.month, f.day, f.hour, f.minute, f.second, f.msec);
}

int64_t DateTime::TotalMilliseconds() const {
  return static_cast<int64_t>(std::llround(days_ * DateTime::kMsPerDay));
}

DateTime DateTime::RoundedToMs() const {
  return DateTime(static_cast<double>(TotalMilliseconds()) / DateTime::kMsPerDay);
}

int64_t DateTime::WholeSeconds() const { return FloorDiv(TotalMilliseconds(), 1000); }

DateTime::Fields DateTime::ToFields() const {
  const int64_t total = TotalMilliseconds();
  const int64_t day = FloorDiv(total, kMsPerDay);
  int64_t ms = total - day * kMsPerDay;
  const Civil c = CivilFromUnixDays(day - kEpochShift);
  Fields f;
  f.year = c.year;
  f.month = c.month;
  f.day = c.day;
  f.msec = static_cast<int>(ms % 1000);
  ms /= 1000;
  f.second = static_cast<int>(ms % 60);
  ms /= 60;
  f.minute = static_cast<int>(ms % 60);
  f.hour = static_cast<int>(ms / 60);
  return f;
}

std::string DateTime::Format(std::string_view pattern) const {
  const Fields f = ToFields();
  std::string out;
  char buf[16];
  auto put = [&](const char* fmt, int v) {
    std::snprintf(buf, sizeof buf, fmt, v);
    out += buf;
  };
  for (size_t i = 0; i < pattern.size();) {
    const std::string_view rest = pattern.substr(i);
    if (rest.starts_with("yyyy")) {
      put("%04d", f.year), i += 4;
    } else if (rest.starts_with("MM")) {
      put("%02d", f.month), i += 2;
    } else if (rest.starts_with("dd")) {
      put("%02d", f.day), i += 2;
    } else if (rest.starts_with("HH") || rest.starts_with("hh")) {
      put("%02d", f.hour), i += 2;
    } else if (rest.starts_with("mm")) {
      put("%02d", f.minute), i += 2;
    } else if (rest.starts_with("ss")) {
      put("%02d", f.second), i += 2;
    } else if (rest.starts_with("zzz")) {
      put("%03d", f.msec), i += 3;
    } else {
      out += pattern[i++];
    }
  }
  return out;
}

namespace {

// Table files carry a date-time in every few cells, so the storage text is written and read
// digit by digit rather than through the general formatter.
void AppendDigits(std::string& out, int value, int width) {
  char digits[8];
  for (int i = width - 1; i >= 0; --i, value /= 10) digits[i] = static_cast<char>('0' + value % 10);
  out.append(digits, static_cast<size_t>(width));
}

}  // namespace

void DateTime::AppendStorageText(std::string& out) const {
  const Fields f = ToFields();
  if (f.year < 1 || f.year > 9999) {  // off the calendar: the general form says what it is
    out += Format("yyyy-MM-dd HH:mm:ss.zzz");
    return;
  }
  AppendDigits(out, f.year, 4);
  out += '-';
  AppendDigits(out, f.month, 2);
  out += '-';
  AppendDigits(out, f.day, 2);
  out += ' ';
  AppendDigits(out, f.hour, 2);
  out += ':';
  AppendDigits(out, f.minute, 2);
  out += ':';
  AppendDigits(out, f.second, 2);
  out += '.';
  AppendDigits(out, f.msec, 3);
}

std::string DateTime::ToStorageText() const {
  std::string text;
  AppendStorageText(text);
  return text;
}

std::optional<DateTime> DateTime::FromStorageText(std::string_view text) {
  // The date alone, with the time, or with the milliseconds too.
  constexpr std::string_view kShape = "0000-00-00 00:00:00.000";
  if (text.size() != 10 && text.size() != 19 && text.size() != kShape.size()) return std::nullopt;
  int numbers[7] = {};
  int n = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (kShape[i] != '0') {
      if (c != kShape[i]) return std::nullopt;
      ++n;
    } else if (c < '0' || c > '9') {
      return std::nullopt;
    } else {
      numbers[n] = numbers[n] * 10 + (c - '0');
    }
  }
  return FromFields(numbers[0], numbers[1], numbers[2], numbers[3], numbers[4], numbers[5],
                    numbers[6]);
}

}  // namespace tarn
