#include <atomic>
#include <chrono>
#include <csignal>
#include <iostream>
#include <thread>

#include "app/command_line.h"
#include "platform/executable_path.h"
#include "platform/system_environment.h"
#ifdef TARN_DESKTOP
#include "gui/desktop_program.h"
#endif

namespace {

std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

// The first Ctrl+C asks the command to stop; a second one ends the program at once.
void OnInterrupt(int signal) {
  interrupted = true;
  std::signal(signal, SIG_DFL);
}

bool Wait(std::chrono::milliseconds duration) {
  const auto end = std::chrono::steady_clock::now() + duration;
  while (!interrupted && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return !interrupted;
}

}  // namespace

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
  const tarn::SystemEnvironment environment;
  if (commandLine.command.empty()) {
#ifdef TARN_DESKTOP
    return tarn::RunDesktop(argc, argv, {commandLine.dataDir, commandLine.server, commandLine.demo},
                            environment, tarn::ExecutablePath(argv[0]));
#else
    std::cerr << "tarn-monitor: a command is needed (this build has no windows)\n\n"
              << tarn::UsageText();
    return 2;
#endif
  }
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
  return tarn::RunCommandLine(commandLine, {std::cout, std::cerr, environment,
                                            tarn::ExecutablePath(argv[0]), interrupted, Wait});
}
