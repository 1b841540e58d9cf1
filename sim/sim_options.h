#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "sim/fault.h"

namespace tarn::sim {

// tarn-sim's command line.
struct SimOptions {
  int port = 8080;
  std::optional<std::string> scenario;
  bool demo = false;
  int timelineSeconds = 0;
  unsigned seed = 1;
  FaultMap faults;  // from --fault; they replace the scenario's faults on the same keys
};

// A command line tarn-sim cannot run with; the text says why, the usage follows it.
class SimUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

extern const char* const kSimUsage;

// The arguments after the program name. Throws SimUsageError.
SimOptions ParseSimOptions(const std::vector<std::string>& args);

}  // namespace tarn::sim
