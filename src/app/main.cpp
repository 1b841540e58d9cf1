#include <filesystem>
#include <iostream>

#include "app/command_line.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  tarn::CommandLine commandLine;
  try {
    commandLine = tarn::ParseCommandLine(args);
  } catch (const tarn::UsageError& e) {
    std::cerr << "tarn-monitor: " << e.what() << "\n\n" << tarn::UsageText();
    return 2;
  }
  if (commandLine.help) {
    std::cout << tarn::UsageText();
    return 0;
  }
  if (commandLine.command.empty()) {
    std::cerr << "tarn-monitor: a command is needed\n\n" << tarn::UsageText();
    return 2;
  }
  // The data folder may sit beside the executable, so its real location matters.
  std::error_code error;
  std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) executable = std::filesystem::absolute(argv[0]);
  return tarn::RunCommandLine(commandLine, executable.string());
}
