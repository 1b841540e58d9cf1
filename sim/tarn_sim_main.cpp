// tarn-sim: the simulated game server on 127.0.0.1 until Ctrl+C.
#include <pthread.h>
#include <signal.h>

#include <chrono>
#include <cstdio>

#include "sim/scenario.h"
#include "sim/sim_options.h"
#include "sim/sim_server.h"

int main(int argc, char** argv) {
  tarn::sim::SimOptions options;
  try {
    options = tarn::sim::ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const tarn::sim::SimUsageError& error) {
    std::fprintf(stderr, "tarn-sim: %s\n%s", error.what(), tarn::sim::kSimUsage);
    return 2;
  }
  // Ctrl+C and termination are waited for below; every thread started later inherits the mask.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  try {
    tarn::sim::Scenario scenario = options.demo ? tarn::sim::Scenario{tarn::sim::DemoWorld(), {}}
                                                : tarn::sim::LoadScenario(*options.scenario);
    for (const auto& [key, fault] : options.faults) scenario.faults[key] = fault;
    tarn::sim::SimServer server(std::move(scenario.world), std::move(scenario.faults));
    server.Start(options.port);
    if (options.timelineSeconds > 0) {
      server.StartTimeline(std::chrono::seconds(options.timelineSeconds), options.seed);
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
