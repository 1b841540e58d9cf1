#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "sim/fault.h"
#include "sim/world.h"

namespace tarn::sim {

// The simulated game server on 127.0.0.1. Every method may be called from any thread.
class SimServer {
 public:
  // Requests on the keys of `faults` misbehave from the start.
  explicit SimServer(World world, FaultMap faults = {});
  ~SimServer();
  SimServer(const SimServer&) = delete;
  SimServer& operator=(const SimServer&) = delete;

  // Starts serving; port 0 picks a free port. Returns the port. Throws std::runtime_error when the
  // port cannot be bound.
  int Start(int port = 0);
  void Stop();
  int Port() const;
  // "http://127.0.0.1:PORT"
  std::string BaseUrl() const;

  // Every `period` one step of the world's life (a competitor moves, sometimes a game ends and
  // another starts); the same seed gives the same steps. Without it the world stands still.
  void StartTimeline(std::chrono::milliseconds period, uint32_t seed);

  // Reads or changes the world under the server's lock; requests see the change at once.
  void Edit(const std::function<void(World&)>& change);
  World Snapshot() const;

  // Requests on `key` misbehave until the faults are cleared. A fault for a mode of the XML
  // interface takes precedence over one for its path. A slow or endless answer being sent does
  // not hold up Stop.
  void SetFault(const std::string& key, Fault fault);
  void ClearFaults();
  // Requests received on `key` so far; a request counts for its mode and for its path.
  int RequestCount(const std::string& key) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tarn::sim
