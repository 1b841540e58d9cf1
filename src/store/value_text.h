#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarn {

// Text rules shared by cell values, column assignment and typed input.

// A whole decimal number: an optional sign and at least one digit, nothing else; nothing when the
// text is not one or does not fit 64 bits.
std::optional<int64_t> ParseWholeNumber(std::string_view text);

// "True"/"False" in any letter case, or a whole decimal number (non-zero is true).
std::optional<bool> ParseBoolText(std::string_view text);

// The first `size` code points of a UTF-8 text; a code point is never split. Bytes that are not
// valid UTF-8 count one each, so a malformed text is cut, never overrun.
std::string CutToCodePoints(std::string_view text, int size);

// ASCII letter case ignored, as column and index names are compared.
bool SameName(std::string_view a, std::string_view b);

}  // namespace tarn
