#include "base/numbers.h"

#include <charconv>

namespace tarn {

std::optional<int64_t> ParseWholeNumber(std::string_view text) {
  // from_chars accepts a leading '-' but no '+'; a second sign after the '+' is refused.
  if (text.starts_with('+')) {
    text.remove_prefix(1);
    if (text.starts_with('+') || text.starts_with('-')) return std::nullopt;
  }
  if (text.empty() || text == "-") return std::nullopt;
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace tarn
