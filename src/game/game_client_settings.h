#pragma once

#include <string>

#include "platform/environment.h"

namespace tarn {

// The alias the game client last played online with, from its settings file below the user's
// profile folder; empty when the file or the value is missing.
std::string ReadLastNetworkAlias(const Environment& env);

}  // namespace tarn
