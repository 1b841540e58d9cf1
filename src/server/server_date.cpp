#include "server/server_date.h"

#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "base/numbers.h"
#include "base/text.h"
#include "server/server_data_error.h"

namespace tarn {
namespace {

// The server's clock runs this many hours behind the zone the stored hours count from.
constexpr int kServerHourShift = 1;

// A decimal whole number that fits an int.
std::optional<int> ParseInt(std::string_view text) {
  const auto value = ParseWholeNumber(text);
  if (!value || *value < std::numeric_limits<int>::min() ||
      *value > std::numeric_limits<int>::max()) {
    return std::nullopt;
  }
  return static_cast<int>(*value);
}

// The characters at 1-based positions first..last; shorter (or empty) past the end of the text.
std::string_view Piece(std::string_view text, size_t first, size_t last) {
  if (text.size() < first) return {};
  return text.substr(first - 1, last - first + 1);
}

int PieceValue(std::string_view text, size_t first, size_t last) {
  const auto value = ParseInt(Piece(text, first, last));
  if (!value) {
    throw ServerDataError("'" + std::string(text) + "' is not a valid server date");
  }
  return *value;
}

// Applies the stored time zone; nothing when a zone text is not a number.
std::optional<double> Shifted(double t, const ServerTimeZone& zone) {
  bool westOfGmt = false;
  if (!zone.hours.empty()) {
    const auto hours = ParseInt(zone.hours);
    if (!hours) return std::nullopt;
    westOfGmt = *hours < 0;
    const double h = kServerHourShift + static_cast<double>(*hours);
    t = (t * 24 + h) / 24;
  }
  if (!zone.minutes.empty() && zone.minutes != "0") {
    const auto minutes = ParseInt(zone.minutes);
    if (!minutes) return std::nullopt;
    const double m = westOfGmt ? -std::abs(static_cast<double>(*minutes)) : *minutes;
    t = (t * 1440 + m) / 1440;
  }
  // A far-fetched stored zone must not carry the date off the calendar.
  static const double kFirstDay = static_cast<double>(DaysFromCivil(1, 1, 1));
  static const double kPastLastDay = static_cast<double>(DaysFromCivil(10000, 1, 1));
  if (t < kFirstDay || t >= kPastLastDay) return std::nullopt;
  return t;
}

}  // namespace

DateTime ParseServerDate(std::string_view text, bool shift, const ServerTimeZone& zone) {
  if (text == "0000-00-00 00:00:00") return DateTime();
  const int year = PieceValue(text, 1, 4);
  const int month = PieceValue(text, 6, 7);
  const int day = PieceValue(text, 9, 10);
  const int hour = PieceValue(text, 12, 13);
  const int minute = PieceValue(text, 15, 16);
  const int second = PieceValue(text, 18, 19);
  const auto server = DateTime::FromFields(year, month, day, hour, minute, second);
  if (!server) return DateTime();
  if (!shift) return *server;
  return DateTime(Shifted(server->Days(), zone).value_or(0.0));
}

}  // namespace tarn
