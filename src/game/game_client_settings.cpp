#include "game/game_client_settings.h"

#include "platform/ini_file.h"
#include "platform/user_profile.h"

namespace tarn {

std::string ReadLastNetworkAlias(const Environment& env) {
  const std::string profileDir = UserProfileDir(env);
  if (profileDir.empty()) return {};
  const std::string file = JoinWindowsRelative(profileDir, "\\Tarn Frontlines\\settings.ini");
  return ReadIniString(file, "misc", "last_network_alias", "");
}

}  // namespace tarn
