#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarn {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Without leading and trailing spaces, tabs, carriage returns and line feeds.
std::string_view TrimBlanks(std::string_view text);

// Equal when compared with ASCII letters in any case, whatever the locale: key, column and
// host names and the words true and false are compared so.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// "True"/"False" in any letter case, or a whole decimal number (non-zero is true).
std::optional<bool> ParseBoolText(std::string_view text);

// Characters (code points) of a UTF-8 text; bytes that are not valid UTF-8 count one each.
size_t CodePointCount(std::string_view text);

// The first `size` code points of a UTF-8 text; a code point is never split. Bytes that are not
// valid UTF-8 count one each, so a malformed text is cut, never overrun.
std::string CutToCodePoints(std::string_view text, int size);

}  // namespace tarn
