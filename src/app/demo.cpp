#include "app/demo.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "sim/scenario.h"
#include "sim/sim_server.h"

namespace tarn {
namespace {

// Often enough that a watch with a short interval has something to announce on every check.
constexpr std::chrono::seconds kDemoTimelinePeriod{4};

std::filesystem::path MakeDemoFolder() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "tarn-monitor-demo-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("Cannot create a folder for the demo");
  return pattern;
}

}  // namespace

DemoServer::DemoServer()
    : folder_(MakeDemoFolder()), dataDir_(folder_ / "data"), profileDir_(folder_ / "profile") {
  sim::World world = sim::DemoWorld();
  const sim::SimPlayer* player = world.FindPlayer(world.monitoredPlayerId);
  if (!player) throw std::runtime_error("The demo world names no monitored player");

  std::filesystem::create_directories(profileDir_ / "Tarn Frontlines");
  std::ofstream(profileDir_ / "Tarn Frontlines" / "settings.ini")
      << "[misc]\nlast_network_alias=" << player->alias << "\n";

  server_ = std::make_unique<sim::SimServer>(std::move(world));
  server_->Start();
  server_->StartTimeline(kDemoTimelinePeriod, 1);
}

DemoServer::~DemoServer() {
  server_->Stop();
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

std::string DemoServer::Host() const { return "127.0.0.1:" + std::to_string(server_->Port()); }

}  // namespace tarn
