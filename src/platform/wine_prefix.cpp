#include "platform/wine_prefix.h"

namespace tarn {

std::optional<std::filesystem::path> WinePrefix(const Environment& env) {
  if (const auto prefix = env.Get("WINEPREFIX"); prefix && !prefix->empty()) return *prefix;
  const auto home = env.Get("HOME");
  if (!home || home->empty()) return std::nullopt;
  std::error_code error;
  std::filesystem::path standard = std::filesystem::path(*home) / ".wine";
  if (std::filesystem::is_directory(standard, error)) return standard;
  return std::nullopt;
}

}  // namespace tarn
