#include "platform/user_profile.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "platform/wine_prefix.h"

namespace tarn {
namespace {

std::string WithoutTrailingSeparators(std::string dir) {
  while (!dir.empty() && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
  return dir;
}

#ifndef _WIN32
std::optional<std::string> WineUserProfile(const Environment& env) {
  const auto prefix = WinePrefix(env);
  // Scheduled jobs often run without USER but with LOGNAME.
  auto user = env.Get("USER");
  if (!user || user->empty()) user = env.Get("LOGNAME");
  if (!prefix || !user || user->empty()) return std::nullopt;
  const std::filesystem::path profile = *prefix / "drive_c" / "users" / *user;
  std::error_code error;
  if (!std::filesystem::is_directory(profile, error)) return std::nullopt;
  return profile.string();
}
#endif

}  // namespace

std::string UserProfileDir(const Environment& env) {
  if (auto profile = env.Get("USERPROFILE"); profile && !profile->empty()) {
    return WithoutTrailingSeparators(std::move(*profile));
  }
#ifndef _WIN32
  if (auto wineProfile = WineUserProfile(env)) return WithoutTrailingSeparators(*wineProfile);
  if (auto home = env.Get("HOME")) return WithoutTrailingSeparators(std::move(*home));
#endif
  return {};
}

std::string JoinWindowsRelative(std::string_view dir, std::string_view windowsRelative) {
  std::string relative(windowsRelative);
  constexpr char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);
  std::replace(relative.begin(), relative.end(), '\\', kSeparator);
  return std::string(dir) + relative;
}

}  // namespace tarn
