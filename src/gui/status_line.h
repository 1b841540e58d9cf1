#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/monitor.h"
#include "base/date_time.h"

namespace tarn {

// The state at a glance under the main window's pages: when the last check ran and what it found,
// or since when the server has given no list and why, and when the next check comes (nothing
// when no check follows). Times of day in `timeFormat`.
std::string StatusLineText(const CheckOutcome& last, std::optional<DateTime> nextCheck,
                           std::string_view timeFormat);

// The innermost reason of a chained error text ("Cannot load ...: Cannot connect ...: Connection
// refused" gives "Connection refused"): the part after the last ": " of its last line.
std::string InnermostCause(std::string_view text);

}  // namespace tarn
