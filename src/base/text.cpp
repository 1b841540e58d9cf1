#include "base/text.h"

#include <algorithm>

#include "base/numbers.h"

namespace tarn {
namespace {

constexpr std::string_view kBlanks = " \t\r\n";

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

std::optional<bool> ParseBoolText(std::string_view text) {
  if (EqualsIgnoringCase(text, "true")) return true;
  if (EqualsIgnoringCase(text, "false")) return false;
  if (const auto number = ParseWholeNumber(text)) return *number != 0;
  return std::nullopt;
}

size_t CodePointCount(std::string_view text) {
  return static_cast<size_t>(
      std::ranges::count_if(text, [](char c) { return !IsContinuationByte(c); }));
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

}  // namespace tarn
