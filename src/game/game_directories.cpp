#include "game/game_directories.h"

#include <string>

#include "platform/user_profile.h"

namespace tarn {
namespace {

// Moves to the setting's row; false when the row is missing or already holds a value.
bool LocateEmptySetting(Table& userSettings, std::string_view name) {
  return userSettings.Locate("Name", Value(std::string(name))) &&
         userSettings.Field("Value").AsText().empty();
}

void StoreValue(Table& userSettings, std::string value) {
  userSettings.Edit();
  userSettings.SetField("Value", Value(std::move(value)));
  userSettings.Post();
}

}  // namespace

void DefaultGameDirectories(Table& userSettings, const Registry& registry, const Environment& env) {
  if (LocateEmptySetting(userSettings, "tarndir")) {
    if (auto gameDir = registry.ReadLocalMachineString(kGameRegistryKey, kGameRegistryValue)) {
      StoreValue(userSettings, std::move(*gameDir));
    }
  }
  if (LocateEmptySetting(userSettings, "replaydir")) {
    // Without a profile folder the result would be a folder at the root of the drive; leaving
    // the setting empty lets Run Replay ask the user for one instead.
    const std::string profileDir = UserProfileDir(env);
    if (!profileDir.empty()) {
      StoreValue(userSettings, JoinWindowsRelative(profileDir, kDefaultReplaysDir));
    }
  }
}

}  // namespace tarn
