#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarn {

// A local date and time as the game's day count: whole days since 1899-12-30 plus the time of day
// as the fraction. 0.0 stands for "no date". The count runs continuously on both sides of zero.
class DateTime {
 public:
  struct Fields {
    int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0, msec = 0;
    bool operator==(const Fields&) const = default;
  };

  constexpr DateTime() = default;
  constexpr explicit DateTime(double days) : days_(days) {}

  // Nothing when the fields do not form a valid date and time (year 1..9999).
  static std::optional<DateTime> FromFields(int year, int month, int day, int hour = 0,
                                            int minute = 0, int second = 0, int msec = 0);
  static std::optional<DateTime> FromFields(const Fields& f);

  constexpr double Days() const { return days_; }
  constexpr bool IsNull() const { return days_ == 0.0; }

  // Calendar fields after rounding to the millisecond.
  Fields ToFields() const;
  // The same moment rounded to the millisecond, as stored in tables.
  DateTime RoundedToMs() const;
  // Milliseconds since 1899-12-30 00:00:00 after rounding.
  int64_t TotalMilliseconds() const;
  // Whole seconds since 1899-12-30 00:00:00, after rounding to the millisecond (floor).
  int64_t WholeSeconds() const;
  // Equal as display texts are: to the whole second, milliseconds ignored.
  bool SameSecond(DateTime other) const { return WholeSeconds() == other.WholeSeconds(); }

  // Formats with the tokens yyyy, MM, dd, HH (or hh: 24-hour too), mm, ss, zzz; other characters
  // are copied.
  std::string Format(std::string_view pattern) const;
  // "yyyy-MM-dd HH:mm:ss.zzz", the form of table files.
  std::string ToStorageText() const;
  // The same appended to `out`: table files write one in every few cells.
  void AppendStorageText(std::string& out) const;
  // Parses "yyyy-MM-dd HH:mm:ss.zzz" (the ".zzz" and the time part may be left out).
  static std::optional<DateTime> FromStorageText(std::string_view text);

  static constexpr double kMsPerDay = 86400000.0;

  friend constexpr bool operator==(DateTime a, DateTime b) { return a.days_ == b.days_; }
  friend constexpr auto operator<=>(DateTime a, DateTime b) { return a.days_ <=> b.days_; }

 private:
  double days_ = 0.0;
};

// Days from 1899-12-30 to the given civil date (proleptic Gregorian).
int64_t DaysFromCivil(int year, int month, int day);
bool IsValidDate(int year, int month, int day);

}  // namespace tarn
