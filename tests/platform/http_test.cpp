#include "platform/http.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "platform/xml.h"
#include "sim/answers.h"
#include "sim/scenario.h"
#include "sim/sim_server.h"

namespace tarn {
namespace {

using namespace std::chrono_literals;
using sim::Fault;
using ::testing::HasSubstr;

struct Failure {
  HttpError::Kind kind;
  std::string message;
};

Failure FailureOf(const std::function<void()>& request) {
  try {
    request();
  } catch (const HttpError& error) {
    return {error.kind(), error.what()};
  }
  ADD_FAILURE() << "the request succeeded";
  return {};
}

std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class CurlHttpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.Start();
    dir_ = std::filesystem::temp_directory_path() /
           ("tarn_http_test_" + std::to_string(server_.Port()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    server_.Stop();
    std::filesystem::remove_all(dir_);
  }
  std::string Url(const std::string& pathAndQuery) const {
    return server_.BaseUrl() + pathAndQuery;
  }

  sim::SimServer server_{sim::DemoWorld()};
  // The demo's games_all list (168 KB) is over both size limits, half of it under them.
  std::unique_ptr<Http> http_ = MakeCurlHttp({.connectTimeout = 2000ms,
                                              .stallBytesPerSecond = 1000,
                                              .stallTime = 1s,
                                              .maxTextBytes = 100000,
                                              .maxFileBytes = 120000});
  std::filesystem::path dir_;
};

TEST_F(CurlHttpTest, GetTextReturnsTheBody) {
  EXPECT_THAT(http_->GetText(Url("/")), HasSubstr("TARN game server"));
  std::string games =
      http_->GetText(Url("/tarn/prokladko/xml_server_v2.php?mode=games_current&user_id=1001"));
  EXPECT_EQ(XmlDocument::Parse(games)->Root().ChildCount(), 10);
}

TEST_F(CurlHttpTest, GetToFileReplacesTheFileWithTheBody) {
  const auto file = dir_ / "52001_Vesper_Kestrel.rep";
  std::ofstream(file) << "an older and much longer replay file than the new one ............";
  http_->GetToFile(Url("/tarn/gamereplays/game_52001_14_14.rep"), file);
  EXPECT_EQ(ReadFile(file), sim::ReplayBytes(52001, 14, 14));
}

TEST_F(CurlHttpTest, FaultsAreRecognisableFailuresNamingTheUrl) {
  const std::string url = Url("/tarn/prokladko/xml_server_v2.php?mode=tournament_list");
  struct Case {
    Fault fault;
    HttpError::Kind kind;
    const char* text;
  };
  for (const Case& c : {
           Case{{.status = 500}, HttpError::Kind::Status, "HTTP 500"},
           Case{{.status = 302}, HttpError::Kind::Status, "HTTP 302"},
           Case{{.delay = 5000ms},
                HttpError::Kind::Timeout,
                "stalled: under 1000 bytes a second for 1 s"},
           Case{{.body = Fault::Body::ClosedConnection},
                HttpError::Kind::BrokenTransfer,
                "closed without an answer"},
           Case{{.body = Fault::Body::Truncated}, HttpError::Kind::BrokenTransfer, "broken off"},
       }) {
    server_.SetFault(sim::XmlModeKey("tournament_list"), c.fault);
    Failure failure = FailureOf([&] { http_->GetText(url); });
    EXPECT_EQ(failure.kind, c.kind) << c.text;
    EXPECT_THAT(failure.message, HasSubstr(url));
    EXPECT_THAT(failure.message, HasSubstr(c.text));
  }
  server_.ClearFaults();
  EXPECT_NO_THROW(http_->GetText(url));
}

TEST_F(CurlHttpTest, LimitsStopTheTransferAndAreNamed) {
  const std::string list = Url("/tarn/prokladko/xml_server_v2.php?mode=games_all&user_id=1001");
  const std::string small =
      Url("/tarn/prokladko/xml_server_v2.php?mode=games_current&user_id=1001");
  const std::string stalled =
      "The transfer from " + small + " stalled: under 1000 bytes a second for 1 s";
  const std::string textTooLarge =
      "The answer from " + list + " is over the limit of 100000 bytes for a document";
  const std::string fileTooLarge =
      "The answer from " + list + " is over the limit of 120000 bytes for a file";
  struct Case {
    const char* what;
    Fault fault;
    std::string url;
    bool toFile;
    HttpError::Kind kind;
    std::string message;
  };
  const Case cases[] = {
      {"a line slower than the limit",
       {.bytesPerSecond = 200},
       small,
       false,
       HttpError::Kind::Timeout,
       stalled},
      {"a download on a line slower than the limit",
       {.bytesPerSecond = 200},
       small,
       true,
       HttpError::Kind::Timeout,
       stalled},
      {"a list without end",
       {.body = Fault::Body::Endless},
       list,
       false,
       HttpError::Kind::TooLarge,
       textTooLarge},
      {"a download without end",
       {.body = Fault::Body::Endless},
       list,
       true,
       HttpError::Kind::TooLarge,
       fileTooLarge},
      // Half of the announced length is sent: only a look at the announced size refuses it.
      {"an announced size over the limit",
       {.body = Fault::Body::Truncated},
       list,
       false,
       HttpError::Kind::TooLarge,
       textTooLarge},
      {"a download of an announced size over the limit",
       {.body = Fault::Body::Truncated},
       list,
       true,
       HttpError::Kind::TooLarge,
       fileTooLarge},
  };
  const auto file = dir_ / "list.xml";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    server_.SetFault(sim::kXmlPath, c.fault);
    Failure failure = FailureOf([&] {
      if (c.toFile) {
        http_->GetToFile(c.url, file);
      } else {
        http_->GetText(c.url);
      }
    });
    EXPECT_EQ(failure.kind, c.kind);
    EXPECT_EQ(failure.message, c.message);
    EXPECT_FALSE(std::filesystem::exists(file));
  }
}

TEST_F(CurlHttpTest, SlowButSteadyLineTakesLongerThanTheStallTimeAndCompletes) {
  const std::string list = Url("/tarn/prokladko/xml_server_v2.php?mode=games_current&user_id=1001");
  const std::string replay = Url("/tarn/gamereplays/game_52001_14_14.rep");
  const std::string intactList = http_->GetText(list);
  server_.SetFault(sim::XmlModeKey("games_current"), {.bytesPerSecond = 4000});  // 5.6 KB
  EXPECT_EQ(http_->GetText(list), intactList);
  server_.SetFault(sim::kReplayFilesPath, {.bytesPerSecond = 2500});  // 2.8 KB
  const auto file = dir_ / "52001.rep";
  http_->GetToFile(replay, file);
  EXPECT_EQ(ReadFile(file), sim::ReplayBytes(52001, 14, 14));
}

TEST_F(CurlHttpTest, CancelStopsAHangingRequestAndTheNextOneWorks) {
  std::atomic<bool> cancel = false;
  // No stall limit in reach: only the cancel can end these requests soon.
  auto http = MakeCurlHttp({.cancel = &cancel});
  const std::string url = Url("/tarn/prokladko/xml_server_v2.php?mode=tournament_list");
  const std::string key = sim::XmlModeKey("tournament_list");
  const auto file = dir_ / "tournaments.xml";
  for (const bool toFile : {false, true}) {
    SCOPED_TRACE(toFile ? "GetToFile" : "GetText");
    server_.SetFault(key, {.delay = 30s});
    const int before = server_.RequestCount(key);
    std::thread canceller([&] {
      while (server_.RequestCount(key) == before) std::this_thread::sleep_for(5ms);
      cancel = true;
    });
    auto request = [&] {
      if (toFile) {
        http->GetToFile(url, file);
      } else {
        http->GetText(url);
      }
    };
    Failure failure = FailureOf(request);
    canceller.join();
    EXPECT_EQ(failure.kind, HttpError::Kind::Cancelled);
    EXPECT_EQ(failure.message, "The request to " + url + " was cancelled");
    EXPECT_FALSE(std::filesystem::exists(file));

    server_.ClearFaults();
    EXPECT_EQ(FailureOf(request).kind, HttpError::Kind::Cancelled);  // while the flag is up
    EXPECT_EQ(server_.RequestCount(key), before + 1);
    cancel = false;
    EXPECT_NO_THROW(request());
  }
  EXPECT_THAT(ReadFile(file), HasSubstr("<tournaments>"));
}

TEST_F(CurlHttpTest, UnknownPathIsAStatusFailure) {
  Failure failure = FailureOf([&] { http_->GetText(Url("/tarn/nothing.php")); });
  EXPECT_EQ(failure.kind, HttpError::Kind::Status);
  EXPECT_THAT(failure.message, HasSubstr("HTTP 404"));
}

TEST_F(CurlHttpTest, FailedDownloadLeavesNoFile) {
  const auto file = dir_ / "52001.rep";
  for (Fault fault : {Fault{.status = 500}, Fault{.body = Fault::Body::Truncated}}) {
    server_.SetFault(sim::kReplayFilesPath, fault);
    FailureOf([&] { http_->GetToFile(Url("/tarn/gamereplays/game_52001_14_14.rep"), file); });
    EXPECT_FALSE(std::filesystem::exists(file));
  }
}

TEST_F(CurlHttpTest, UncreatableFileFailsBeforeAnyRequest) {
  const auto file = dir_ / "missing folder" / "52001.rep";
  Failure failure =
      FailureOf([&] { http_->GetToFile(Url("/tarn/gamereplays/game_52001_14_14.rep"), file); });
  EXPECT_EQ(failure.kind, HttpError::Kind::LocalFile);
  EXPECT_THAT(failure.message, HasSubstr(file.string()));
  EXPECT_EQ(server_.RequestCount(sim::kReplayFilesPath), 0);
}

TEST_F(CurlHttpTest, MalformedDocumentIsAnXmlLoadError) {
  server_.SetFault(sim::kXmlPath, {.body = Fault::Body::Malformed});
  HttpXmlLoader loader(*http_);
  const std::string url = Url("/tarn/prokladko/xml_server_v2.php?mode=player_info&user_id=1001");
  EXPECT_THAT([&] { loader.Load(url); }, ::testing::ThrowsMessage<XmlLoadError>(HasSubstr(url)));
}

TEST(CurlHttpNoServerTest, NothingListeningIsNoConnection) {
  auto http = MakeCurlHttp();
  const std::string url = "http://127.0.0.1:1/tarn/x";
  Failure failure = FailureOf([&] { http->GetText(url); });
  EXPECT_EQ(failure.kind, HttpError::Kind::NoConnection);
  EXPECT_EQ(failure.message, "Cannot connect to " + url + ": Connection refused");
}

// A listener whose queue of connections is full: the next connection is not taken.
class FullListener {
 public:
  FullListener() : listener_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        listen(listener_, 0) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
      ADD_FAILURE() << "no listener";
    }
    port_ = ntohs(address.sin_port);
    for (int& filler : fillers_) {
      filler = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
      connect(filler, reinterpret_cast<sockaddr*>(&address), size);
    }
  }
  ~FullListener() {
    for (int filler : fillers_) close(filler);
    close(listener_);
  }
  int Port() const { return port_; }

 private:
  int listener_;
  int fillers_[3] = {};
  int port_ = 0;
};

TEST(CurlHttpNoServerTest, ConnectionNotTakenInTimeNamesTheConnectLimit) {
  FullListener listener;
  auto http = MakeCurlHttp({.connectTimeout = 300ms});
  const std::string url = "http://127.0.0.1:" + std::to_string(listener.Port()) + "/tarn/x";
  Failure failure = FailureOf([&] { http->GetText(url); });
  EXPECT_EQ(failure.kind, HttpError::Kind::Timeout);
  EXPECT_EQ(failure.message, "Cannot connect to " + url + " within 300 ms");
}

}  // namespace
}  // namespace tarn
