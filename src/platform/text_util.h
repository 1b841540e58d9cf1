#pragma once

#include <string_view>

namespace tarn {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Without leading and trailing spaces, tabs, carriage returns and line feeds.
std::string_view TrimBlanks(std::string_view text);

// Equal when compared with ASCII letters in any case, as Windows compares key names.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace tarn
