#include "sim/sim_server.h"

#include <fcntl.h>
#include <httplib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <future>
#include <map>
#include <mutex>
#include <thread>

#include "sim/answers.h"
#include "sim/timeline.h"

namespace tarn::sim {
namespace {

using Answer = std::function<SimResponse(const World&, const httplib::Request&)>;

int PortOf(const sockaddr_storage& address) {
  if (address.ss_family == AF_INET) {
    return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
  }
  if (address.ss_family == AF_INET6) {
    return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
  }
  return -1;
}

bool IsConnection(int fd, int localPort, int remotePort) {
  sockaddr_storage local{}, remote{};
  socklen_t localSize = sizeof local, remoteSize = sizeof remote;
  return getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localSize) == 0 &&
         getpeername(fd, reinterpret_cast<sockaddr*>(&remote), &remoteSize) == 0 &&
         PortOf(local) == localPort && PortOf(remote) == remotePort;
}

// cpp-httplib always answers a request it has read. To hang up without an answer, find the
// request's socket among our descriptors and put /dev/null in its place: the peer sees the
// connection close, and the library's late answer goes nowhere.
void HangUp(const httplib::Request& request) {
  const int devNull = open("/dev/null", O_RDWR | O_CLOEXEC);
  if (devNull < 0) return;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", ignored)) {
    const int fd = std::atoi(entry.path().filename().c_str());
    if (fd != devNull && IsConnection(fd, request.local_port, request.remote_port)) {
      dup2(devNull, fd);
      break;
    }
  }
  close(devNull);
}

std::string Malformed(std::string body) { return body + "</broken>\n"; }

}  // namespace

std::string XmlModeKey(const std::string& mode) { return std::string(kXmlPath) + "?mode=" + mode; }

struct SimServer::Impl {
  mutable std::mutex mutex;
  std::condition_variable wake;  // ends delays and the timeline when stopping
  bool stopping = false;
  World world;
  std::map<std::string, Fault> faults;
  std::map<std::string, int> counts;

  std::unique_ptr<httplib::Server> http;
  std::thread listener;
  std::thread timeline;
  int port = 0;

  explicit Impl(World w) : world(std::move(w)) {}

  // The keys a request counts for: its path and, on the XML interface, its mode.
  static std::vector<std::string> KeysOf(const std::string& pathKey, const httplib::Request& req) {
    std::vector<std::string> keys;
    if (pathKey == kXmlPath) keys.push_back(XmlModeKey(req.get_param_value("mode")));
    keys.push_back(pathKey);
    return keys;
  }

  void Serve(const std::string& pathKey, const httplib::Request& req, httplib::Response& res,
             const Answer& answer) {
    Fault fault;
    SimResponse response;
    {
      std::unique_lock lock(mutex);
      const std::vector<std::string> keys = KeysOf(pathKey, req);
      for (const std::string& key : keys) ++counts[key];
      for (const std::string& key : keys) {
        if (auto it = faults.find(key); it != faults.end()) {
          fault = it->second;
          break;
        }
      }
      wake.wait_for(lock, fault.delay, [this] { return stopping; });
      if (fault.body == Fault::Body::ClosedConnection) {
        HangUp(req);
        return;
      }
      response = answer(world, req);
    }
    res.status = fault.status != 0 ? fault.status : response.status;
    switch (fault.body) {
      case Fault::Body::Malformed:
        res.set_content(Malformed(std::move(response.body)), response.contentType);
        break;
      case Fault::Body::Truncated: {
        auto body = std::make_shared<std::string>(std::move(response.body));
        res.set_content_provider(body->size(), response.contentType,
                                 [body](size_t, size_t, httplib::DataSink& sink) {
                                   sink.write(body->data(), body->size() / 2);
                                   return false;  // hang up half-way
                                 });
        break;
      }
      default:
        res.set_content(std::move(response.body), response.contentType);
    }
  }

  void Route(const std::string& pattern, const std::string& pathKey, Answer answer) {
    http->Get(pattern, [this, pathKey, answer = std::move(answer)](const httplib::Request& req,
                                                                   httplib::Response& res) {
      Serve(pathKey, req, res, answer);
    });
  }

  void AddRoutes() {
    Route(kXmlPath, kXmlPath, [](const World& w, const httplib::Request& req) {
      return AnswerXmlInterface(w, req.params);
    });
    Route(kReplayPreparationPath, kReplayPreparationPath,
          [](const World& w, const httplib::Request& req) {
            return AnswerReplayPreparation(w, req.params);
          });
    Route(std::string(kReplayFilesPath) + R"(game_(-?\d{1,9})_(-?\d{1,9})_(-?\d{1,9})\.rep)",
          kReplayFilesPath, [](const World& w, const httplib::Request& req) {
            return AnswerReplayFile(w, std::stoi(req.matches[1]), std::stoi(req.matches[2]),
                                    std::stoi(req.matches[3]));
          });
    Route("/", "/", [](const World& w, const httplib::Request&) { return AnswerHomePage(w); });
  }

  void RunTimeline(std::chrono::milliseconds period, uint32_t seed) {
    Timeline life(seed);
    std::unique_lock lock(mutex);
    try {
      while (!wake.wait_for(lock, period, [this] { return stopping; })) life.Step(world, SimNow());
    } catch (const WorldError& error) {
      // A world without a monitored player and competitors has no life to play.
      std::fprintf(stderr, "tarn-sim: timeline stopped: %s\n", error.what());
    }
  }
};

SimServer::SimServer(World world) : impl_(std::make_unique<Impl>(std::move(world))) {}

SimServer::~SimServer() { Stop(); }

int SimServer::Start(int port) {
  Stop();
  impl_->stopping = false;
  impl_->http = std::make_unique<httplib::Server>();
  // One request per connection: no idle connection holds up Stop.
  impl_->http->set_keep_alive_max_count(1);
  impl_->AddRoutes();
  const bool bound = port == 0 ? (port = impl_->http->bind_to_any_port("127.0.0.1")) > 0
                               : impl_->http->bind_to_port("127.0.0.1", port);
  if (!bound) throw std::runtime_error("Cannot listen on 127.0.0.1:" + std::to_string(port));
  impl_->port = port;
  std::promise<void> listenEnded;
  std::future<void> ended = listenEnded.get_future();
  impl_->listener = std::thread([this, listenEnded = std::move(listenEnded)]() mutable {
    impl_->http->listen_after_bind();
    listenEnded.set_value();
  });
  // The library's stop only works once it listens; a quick Start and Stop would hang otherwise.
  while (!impl_->http->is_running() &&
         ended.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready) {
  }
  return port;
}

void SimServer::Stop() {
  {
    std::lock_guard lock(impl_->mutex);
    impl_->stopping = true;
  }
  impl_->wake.notify_all();
  if (impl_->timeline.joinable()) impl_->timeline.join();
  if (impl_->http) impl_->http->stop();
  if (impl_->listener.joinable()) impl_->listener.join();
  impl_->http.reset();
}

int SimServer::Port() const { return impl_->port; }

std::string SimServer::BaseUrl() const { return "http://127.0.0.1:" + std::to_string(Port()); }

void SimServer::StartTimeline(std::chrono::milliseconds period, uint32_t seed) {
  if (impl_->timeline.joinable()) throw std::logic_error("The timeline runs already");
  impl_->timeline = std::thread([this, period, seed] { impl_->RunTimeline(period, seed); });
}

void SimServer::Edit(const std::function<void(World&)>& change) {
  std::lock_guard lock(impl_->mutex);
  change(impl_->world);
}

World SimServer::Snapshot() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->world;
}

void SimServer::SetFault(const std::string& key, Fault fault) {
  std::lock_guard lock(impl_->mutex);
  impl_->faults[key] = fault;
}

void SimServer::ClearFaults() {
  std::lock_guard lock(impl_->mutex);
  impl_->faults.clear();
}

int SimServer::RequestCount(const std::string& key) const {
  std::lock_guard lock(impl_->mutex);
  auto it = impl_->counts.find(key);
  return it == impl_->counts.end() ? 0 : it->second;
}

}  // namespace tarn::sim
