#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "sim/world.h"

namespace tarn::sim {

// Request keys, used for faults and request counts: a path, or the XML interface's path with
// "?mode=" and one mode.
inline constexpr const char* kXmlPath = "/tarn/prokladko/xml_server_v2.php";
inline constexpr const char* kReplayPreparationPath = "/tarn/get_replay.php";
inline constexpr const char* kReplayFilesPath = "/tarn/gamereplays/";
std::string XmlModeKey(const std::string& mode);

// A way to misbehave on the requests of one key.
struct Fault {
  enum class Body {
    Intact,
    Malformed,         // the answer's text with a stray end tag: no longer well-formed XML
    Truncated,         // the length of the whole answer is announced, half of it is sent
    ClosedConnection,  // the connection is closed without any answer
  };
  std::chrono::milliseconds delay{0};
  int status = 0;  // 0 keeps the answer's own status
  Body body = Body::Intact;
};

// The simulated game server on 127.0.0.1. Every method may be called from any thread.
class SimServer {
 public:
  explicit SimServer(World world);
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
  // interface takes precedence over one for its path.
  void SetFault(const std::string& key, Fault fault);
  void ClearFaults();
  // Requests received on `key` so far; a request counts for its mode and for its path.
  int RequestCount(const std::string& key) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tarn::sim
