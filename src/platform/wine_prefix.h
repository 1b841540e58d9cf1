#pragma once

#include <filesystem>
#include <optional>

#include "platform/environment.h"

namespace tarn {

// The Wine prefix the Windows game runs in: $WINEPREFIX when set, else ~/.wine when that folder
// exists. Nothing when neither applies.
std::optional<std::filesystem::path> WinePrefix(const Environment& env);

}  // namespace tarn
