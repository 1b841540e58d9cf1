#include "platform/ini_file.h"

#include <fstream>

#include "base/text.h"

namespace tarn {

std::string ReadIniString(const std::filesystem::path& file, std::string_view section,
                          std::string_view key, std::string_view defaultValue) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::string(defaultValue);

  std::string line;
  bool inSection = false;
  bool firstLine = true;
  while (std::getline(in, line)) {
    std::string_view text = line;
    if (firstLine && text.starts_with(kUtf8Bom)) text.remove_prefix(kUtf8Bom.size());
    firstLine = false;
    text = TrimBlanks(text);
    if (text.empty() || text.front() == ';') continue;
    if (text.front() == '[') {
      // Only the first section of the name counts.
      if (inSection) break;
      const size_t close = text.find(']');
      inSection = close != std::string_view::npos &&
                  EqualsIgnoringCase(TrimBlanks(text.substr(1, close - 1)), section);
      continue;
    }
    const size_t equals = text.find('=');
    if (inSection && equals != std::string_view::npos &&
        EqualsIgnoringCase(TrimBlanks(text.substr(0, equals)), key)) {
      return std::string(TrimBlanks(text.substr(equals + 1)));
    }
  }
  return std::string(defaultValue);
}

}  // namespace tarn
