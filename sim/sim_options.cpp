#include "sim/sim_options.h"

#include <charconv>
#include <string_view>

namespace tarn::sim {
namespace {

long NumberOf(const std::string& option, const std::string& value, long low, long high) {
  long number = 0;
  const char* end = value.data() + value.size();
  auto [stop, error] = std::from_chars(value.data(), end, number);
  if (error != std::errc() || stop != end || value.empty() || number < low || number > high) {
    throw SimUsageError(option + " needs a number from " + std::to_string(low) + " to " +
                        std::to_string(high) + ", not \"" + value + "\"");
  }
  return number;
}

// "KEY=KIND": the key may hold a "=" itself (mode=NAME), a fault never does.
void AddFault(FaultMap& faults, const std::string& value) {
  const size_t equals = value.rfind('=');
  // "mode=NAME" alone is a key without its fault.
  if (equals == std::string::npos || (value.find('=') == equals && value.starts_with("mode="))) {
    throw SimUsageError("--fault needs KEY=KIND, not \"" + value + "\"");
  }
  try {
    const std::string key = ParseFaultKey(std::string_view(value).substr(0, equals));
    if (!faults.emplace(key, ParseFault(std::string_view(value).substr(equals + 1))).second) {
      throw SimUsageError("--fault for " + key + " given twice; join its kinds with \",\"");
    }
  } catch (const FaultError& error) {
    throw SimUsageError("--fault " + value + ": " + error.what());
  }
}

}  // namespace

const char* const kSimUsage =
    "Usage: tarn-sim [--port N] (--scenario FILE | --demo) [--timeline SECONDS] [--seed N]\n"
    "                [--fault KEY=KIND]...\n"
    "  --port N            port on 127.0.0.1 (default 8080, 0 picks a free one)\n"
    "  --scenario FILE     the world to serve, a JSON scenario\n"
    "  --demo              the built-in demo scenario\n"
    "  --timeline SECONDS  every SECONDS a step of the games' life (default: the world stands "
    "still)\n"
    "  --seed N            seed of the timeline (default 1)\n"
    "  --fault KEY=KIND    requests on KEY misbehave; repeatable, over the scenario's faults\n"
    "      KEY   mode=NAME (one mode of the XML interface), or a path:\n"
    "            /tarn/prokladko/xml_server_v2.php, /tarn/get_replay.php, /tarn/gamereplays/, /\n"
    "      KIND  one or more of delay:MS, status:CODE, slow:BYTES (a second), joined by \",\",\n"
    "            and at most one of malformed, truncated, closed, error_page, other_player,\n"
    "            extra_player, endless\n"
    "      e.g.  --fault mode=player_info=other_player --fault /tarn/gamereplays/=slow:2000\n";

SimOptions ParseSimOptions(const std::vector<std::string>& args) {
  SimOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (option == "--demo") {
      options.demo = true;
      continue;
    }
    if (option != "--scenario" && option != "--port" && option != "--timeline" &&
        option != "--seed" && option != "--fault") {
      throw SimUsageError("unknown option \"" + option + "\"");
    }
    if (i + 1 >= args.size()) throw SimUsageError(option + " needs a value");
    const std::string& value = args[++i];
    if (option == "--scenario") {
      options.scenario = value;
    } else if (option == "--port") {
      options.port = int(NumberOf(option, value, 0, 65535));
    } else if (option == "--timeline") {
      options.timelineSeconds = int(NumberOf(option, value, 1, 86400));
    } else if (option == "--seed") {
      options.seed = unsigned(NumberOf(option, value, 0, 4294967295L));
    } else {
      AddFault(options.faults, value);
    }
  }
  if (options.demo == options.scenario.has_value()) {
    throw SimUsageError("give either --scenario FILE or --demo");
  }
  return options;
}

}  // namespace tarn::sim
