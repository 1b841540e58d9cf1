#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

namespace tarn {

// A whole decimal number: an optional sign and at least one digit, nothing else; nothing when the
// text is not one or does not fit 64 bits.
std::optional<int64_t> ParseWholeNumber(std::string_view text);

// Whether a number fits the integer type T, e.g. FitsIn<int16_t> for a small-integer column.
template <class T>
constexpr bool FitsIn(int64_t value) {
  return value >= std::numeric_limits<T>::min() && value <= std::numeric_limits<T>::max();
}

// A whole decimal number that fits T; nothing otherwise.
template <class T>
std::optional<T> ParseWholeNumberIn(std::string_view text) {
  const std::optional<int64_t> value = ParseWholeNumber(text);
  if (!value || !FitsIn<T>(*value)) return std::nullopt;
  return static_cast<T>(*value);
}

}  // namespace tarn
