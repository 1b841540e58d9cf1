// tarn-sim: the simulated game server on 127.0.0.1 until Ctrl+C.
#include <pthread.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "sim/scenario.h"
#include "sim/sim_server.h"

namespace {

constexpr const char* kUsage =
    "Usage: tarn-sim [--port N] (--scenario FILE | --demo) [--timeline SECONDS] [--seed N]\n"
    "  --port N            port on 127.0.0.1 (default 8080, 0 picks a free one)\n"
    "  --scenario FILE     the world to serve, a JSON scenario\n"
    "  --demo              the built-in demo scenario\n"
    "  --timeline SECONDS  every SECONDS a step of the games' life (default: the world stands "
    "still)\n"
    "  --seed N            seed of the timeline (default 1)\n";

struct Options {
  int port = 8080;
  std::optional<std::string> scenario;
  bool demo = false;
  int timelineSeconds = 0;
  unsigned seed = 1;
};

std::optional<long> ToNumber(const char* text, long low, long high) {
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || value < low || value > high) return std::nullopt;
  return value;
}

std::optional<Options> ParseArguments(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--demo") {
      options.demo = true;
      continue;
    }
    if (i + 1 >= argc) return std::nullopt;
    const char* value = argv[++i];
    std::optional<long> number;
    if (arg == "--scenario") {
      options.scenario = value;
    } else if (arg == "--port" && (number = ToNumber(value, 0, 65535))) {
      options.port = int(*number);
    } else if (arg == "--timeline" && (number = ToNumber(value, 1, 86400))) {
      options.timelineSeconds = int(*number);
    } else if (arg == "--seed" && (number = ToNumber(value, 0, 4294967295L))) {
      options.seed = unsigned(*number);
    } else {
      return std::nullopt;
    }
  }
  if (options.demo == options.scenario.has_value()) return std::nullopt;
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<Options> options = ParseArguments(argc, argv);
  if (!options) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  // Ctrl+C and termination are waited for below; every thread started later inherits the mask.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  try {
    tarn::sim::SimServer server(options->demo ? tarn::sim::DemoWorld()
                                              : tarn::sim::LoadScenario(*options->scenario));
    server.Start(options->port);
    if (options->timelineSeconds > 0) {
      server.StartTimeline(std::chrono::seconds(options->timelineSeconds), options->seed);
    }
    std::printf("Serving the TARN game server at %s/ (Ctrl+C stops)\n", server.BaseUrl().c_str());
    std::fflush(stdout);
    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.Stop();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tarn-sim: %s\n", error.what());
    return 1;
  }
  return 0;
}
