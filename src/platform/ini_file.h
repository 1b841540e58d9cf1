#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tarn {

// A value of an initialisation file, read the way Windows reads one: section and key names in any
// letter case, the value without surrounding blanks, lines starting with ';' ignored, CR LF or LF
// line ends, a UTF-8 byte order mark skipped. The first matching key of the first matching section
// wins. A missing or unreadable file, section or key gives `defaultValue`.
std::string ReadIniString(const std::filesystem::path& file, std::string_view section,
                          std::string_view key, std::string_view defaultValue);

}  // namespace tarn
