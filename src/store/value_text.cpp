#include "store/value_text.h"

#include <charconv>

namespace tarn {
namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::optional<int64_t> ParseWholeNumber(std::string_view text) {
  if (text.starts_with('+')) text.remove_prefix(1);
  // from_chars accepts a leading '-' but no '+'; a second sign after the '+' is still refused.
  if (text.empty() || text.starts_with('+') || text == "-") return std::nullopt;
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<bool> ParseBoolText(std::string_view text) {
  if (SameName(text, "true")) return true;
  if (SameName(text, "false")) return false;
  if (const auto number = ParseWholeNumber(text)) return *number != 0;
  return std::nullopt;
}

std::string CutToCodePoints(std::string_view text, int size) {
  int codePoints = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsContinuationByte(text[i])) continue;
    if (codePoints == size) return std::string(text.substr(0, i));
    ++codePoints;
  }
  return std::string(text);
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

}  // namespace tarn
