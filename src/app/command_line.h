#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarn {

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
const char* UsageText();

// Runs the command line; answers the exit status.
int RunCommandLine(const CommandLine& commandLine, const std::string& executablePath);

}  // namespace tarn
