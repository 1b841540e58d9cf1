#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace tarn::sim {

// A moment of the simulated world, in UTC to the second.
using SimTime = std::chrono::sys_seconds;

SimTime SimNow();

// The game server writes its times as "yyyy-MM-dd HH:mm:ss" in UTC-01:00.
std::string FormatServerTime(SimTime time);
// The same text for a calendar time taken as it is, without any zone.
std::string FormatTimeText(std::chrono::sys_seconds time);
// Reads a server time text: "yyyy-MM-dd" or "yyyy-MM-dd H:mm:ss" (one or two hour digits).
std::optional<SimTime> ParseServerTime(std::string_view text);
// A scenario time: a server time text, or an offset from `now` such as "-3h", "+2d", "-90m",
// "-30s" or "now".
std::optional<SimTime> ParseScenarioTime(std::string_view text, SimTime now);

}  // namespace tarn::sim
