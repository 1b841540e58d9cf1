#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace tarn {

namespace sim {
class SimServer;
}

// The simulated game server with the demo world, started in this process, and a fresh demo
// folder with a user profile whose game client settings name the demo's player, so the first
// start finds him as a real first start would. Removed again when the demo ends.
class DemoServer {
 public:
  DemoServer();
  ~DemoServer();
  DemoServer(const DemoServer&) = delete;
  DemoServer& operator=(const DemoServer&) = delete;

  // "127.0.0.1:PORT"
  std::string Host() const;
  const std::filesystem::path& DataDir() const { return dataDir_; }
  // The user profile to run the demo with (USERPROFILE).
  const std::filesystem::path& ProfileDir() const { return profileDir_; }

 private:
  std::unique_ptr<sim::SimServer> server_;
  std::filesystem::path folder_;
  std::filesystem::path dataDir_;
  std::filesystem::path profileDir_;
};

}  // namespace tarn
