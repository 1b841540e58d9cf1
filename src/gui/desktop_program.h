#pragma once

#include <filesystem>

#include "app/monitor_session.h"

namespace tarn {

class Environment;

// The desktop program: the application titled "Tarn Monitor", the main window, the player and
// settings windows, then the store holder loaded last, and the event loop. Answers the exit
// status.
int RunDesktop(int& argc, char** argv, const SessionOptions& options,
               const Environment& environment, const std::filesystem::path& executablePath);

}  // namespace tarn
