#include "sim/sim_server.h"

#include <fcntl.h>
#include <httplib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <future>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

#include "sim/answers.h"
#include "sim/timeline.h"

namespace tarn::sim {
namespace {

using Answer = std::function<SimResponse(const World&, const httplib::Request&, PlayerAnswer)>;

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

PlayerAnswer PlayersFor(Fault::Body body) {
  if (body == Fault::Body::OtherPlayer) return PlayerAnswer::Other;
  if (body == Fault::Body::ExtraPlayer) return PlayerAnswer::Extra;
  return PlayerAnswer::Asked;
}

// The answer as the fault turns it; how it is sent is decided later.
SimResponse Spoilt(SimResponse response, Fault::Body body) {
  if (body == Fault::Body::ErrorPage) return ErrorPageAnswer();
  if (body == Fault::Body::Malformed) response.body += "</broken>\n";
  return response;
}

}  // namespace

struct SimServer::Impl {
  mutable std::mutex mutex;
  std::condition_variable wake;  // ends delays and the timeline when stopping
  bool stopping = false;
  World world;
  FaultMap faults;
  std::map<std::string, int> counts;

  std::unique_ptr<httplib::Server> http;
  std::thread listener;
  std::thread timeline;
  int port = 0;

  Impl(World w, FaultMap f) : world(std::move(w)), faults(std::move(f)) {}

  // Waits until `until`; false when the server stops first.
  bool SleepUntil(std::chrono::steady_clock::time_point until) {
    std::unique_lock lock(mutex);
    return !wake.wait_until(lock, until, [this] { return stopping; });
  }

  bool Stopping() const {
    std::lock_guard lock(mutex);
    return stopping;
  }

  // The line an answer goes out on: at full speed, or at a steady rate in a slice every tenth of
  // a second. Sending fails once the server stops or the client has gone, so no answer outlives
  // the server.
  class Line {
   public:
    Line(Impl& server, int bytesPerSecond) : server_(server), rate_(bytesPerSecond) {}

    bool Send(httplib::DataSink& sink, std::string_view data) {
      if (rate_ <= 0) return !server_.Stopping() && sink.write(data.data(), data.size());
      if (!start_) start_ = std::chrono::steady_clock::now();
      const size_t slice = std::max<size_t>(1, size_t(rate_) / 10);
      while (!data.empty()) {
        const auto due = *start_ + std::chrono::microseconds(sent_ * 1000000 / rate_);
        const size_t size = std::min(slice, data.size());
        if (!server_.SleepUntil(due) || !sink.write(data.data(), size)) return false;
        sent_ += int64_t(size);
        data.remove_prefix(size);
      }
      return true;
    }

   private:
    Impl& server_;
    const int rate_;
    std::optional<std::chrono::steady_clock::time_point> start_;
    int64_t sent_ = 0;
  };

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
      response = answer(world, req, PlayersFor(fault.body));
    }
    response = Spoilt(std::move(response), fault.body);
    res.status = fault.status != 0 ? fault.status : response.status;
    Send(res, std::move(response), fault);
  }

  void Send(httplib::Response& res, SimResponse response, const Fault& fault) {
    auto line = std::make_shared<Line>(*this, fault.bytesPerSecond);
    if (fault.body == Fault::Body::Endless) {
      res.set_chunked_content_provider(
          kXmlContentType,
          [line, list = EndlessGameList()](size_t, httplib::DataSink& sink) mutable {
            return line->Send(sink, list.Next());
          });
      return;
    }
    if (fault.body != Fault::Body::Truncated && fault.bytesPerSecond <= 0) {
      res.set_content(std::move(response.body), response.contentType);
      return;
    }
    auto body = std::make_shared<std::string>(std::move(response.body));
    const size_t sent = fault.body == Fault::Body::Truncated ? body->size() / 2 : body->size();
    res.set_content_provider(body->size(), response.contentType,
                             [line, body, sent](size_t, size_t, httplib::DataSink& sink) {
                               // false hangs up: half-way when the answer is to be truncated
                               return line->Send(sink, std::string_view(*body).substr(0, sent)) &&
                                      sent == body->size();
                             });
  }

  void Route(const std::string& pattern, const std::string& pathKey, Answer answer) {
    http->Get(pattern, [this, pathKey, answer = std::move(answer)](const httplib::Request& req,
                                                                   httplib::Response& res) {
      Serve(pathKey, req, res, answer);
    });
  }

  void AddRoutes() {
    Route(kXmlPath, kXmlPath,
          [](const World& w, const httplib::Request& req, PlayerAnswer players) {
            return AnswerXmlInterface(w, req.params, players);
          });
    Route(kReplayPreparationPath, kReplayPreparationPath,
          [](const World& w, const httplib::Request& req, PlayerAnswer) {
            return AnswerReplayPreparation(w, req.params);
          });
    Route(std::string(kReplayFilesPath) + R"(game_(-?\d{1,9})_(-?\d{1,9})_(-?\d{1,9})\.rep)",
          kReplayFilesPath, [](const World& w, const httplib::Request& req, PlayerAnswer) {
            return AnswerReplayFile(w, std::stoi(req.matches[1]), std::stoi(req.matches[2]),
                                    std::stoi(req.matches[3]));
          });
    Route(kHomePath, kHomePath,
          [](const World& w, const httplib::Request&, PlayerAnswer) { return AnswerHomePage(w); });
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

SimServer::SimServer(World world, FaultMap faults)
    : impl_(std::make_unique<Impl>(std::move(world), std::move(faults))) {}

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
