#pragma once

#include <string_view>

#include "platform/environment.h"
#include "platform/registry.h"
#include "store/table.h"

namespace tarn {

// Where the game's installer records its folder under HKEY_LOCAL_MACHINE.
inline constexpr std::string_view kGameRegistryKey = "\\SOFTWARE\\Wow6432Node\\Brightmoor\\Paths";
inline constexpr std::string_view kGameRegistryValue = "Tarn Frontlines";
// The replays folder below the user's profile folder.
inline constexpr std::string_view kDefaultReplaysDir = "\\Tarn Frontlines\\replays";

// Fills the UserSettings rows "tarndir" and "replaydir" while they are empty: the game folder from
// the registry when the game's key opens, the replays folder below the user's profile folder when
// that folder is known. A value already set is kept; a missing row is left missing.
void DefaultGameDirectories(Table& userSettings, const Registry& registry, const Environment& env);

}  // namespace tarn
