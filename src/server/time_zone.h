#pragma once

#include <array>
#include <optional>
#include <string>

namespace tarn {

// One entry of the time zone list the user picks from: its position in the list and the
// offset from GMT it stores (minutes without sign, also west of GMT).
struct TimeZoneChoice {
  int index;
  int hours;
  int minutes;
  bool operator==(const TimeZoneChoice&) const = default;
};

// The list from "(GMT-12:00)" to "(GMT+13:00)", west to east.
inline constexpr std::array<TimeZoneChoice, 33> kTimeZoneChoices{{
    {0, -12, 0}, {1, -11, 0}, {2, -10, 0}, {3, -9, 0},   {4, -8, 0},  {5, -7, 0},  {6, -6, 0},
    {7, -5, 0},  {8, -4, 30}, {9, -4, 0},  {10, -3, 30}, {11, -3, 0}, {12, -2, 0}, {13, -1, 0},
    {14, 0, 0},  {15, 1, 0},  {16, 2, 0},  {17, 3, 0},   {18, 4, 0},  {19, 4, 30}, {20, 5, 0},
    {21, 5, 30}, {22, 5, 45}, {23, 6, 0},  {24, 6, 30},  {25, 7, 0},  {26, 8, 0},  {27, 9, 0},
    {28, 9, 30}, {29, 10, 0}, {30, 11, 0}, {31, 12, 0},  {32, 13, 0},
}};

// "(GMT)" for GMT itself, otherwise "(GMT+05:30)", "(GMT-04:30)" and so on.
std::string TimeZoneCaption(const TimeZoneChoice& choice);

// The list entry for the system's standard bias in minutes (UTC = local + bias). The whole hours
// decide, and only the zones the list splits into half hours look at the minutes. Nothing when
// the hours lie outside -12..13.
std::optional<TimeZoneChoice> TimeZoneFromBias(int biasMinutes);

}  // namespace tarn
