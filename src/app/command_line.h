#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarn {

class Environment;

// A command line that does not say what it should; answered with the usage text and exit 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct CommandLine {
  std::optional<std::string> dataDir;
  std::optional<std::string> server;
  bool demo = false;
  bool help = false;
  std::string command;  // empty: the window
  std::optional<int> intervalSeconds;
  std::optional<int> ticks;
  std::optional<std::string> alias;
  bool refresh = false;
};

CommandLine ParseCommandLine(const std::vector<std::string>& args);
std::string UsageText();

// What a run of the command line reaches outside itself.
struct Console {
  std::ostream& out;
  std::ostream& err;
  const Environment& environment;
  std::filesystem::path executablePath;
  // Set when the user asks to stop (Ctrl+C): a request under way is broken off, `watch` ends.
  const std::atomic<bool>& interrupted;
  // Waits for the duration; false when it was interrupted.
  std::function<bool(std::chrono::milliseconds)> wait;
};

// Exit status of a command that was interrupted, as shells report it for Ctrl+C.
inline constexpr int kInterruptedStatus = 130;

// Runs the command line; answers the exit status.
int RunCommandLine(const CommandLine& commandLine, const Console& console);

}  // namespace tarn
