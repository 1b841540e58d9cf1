#pragma once

#include <filesystem>

namespace tarn {

// The running program's own file, links resolved; argv0 made absolute where the system cannot
// tell. A data folder may sit beside it, so its real location matters.
std::filesystem::path ExecutablePath(const char* argv0);

}  // namespace tarn
