#include "platform/http.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/xml.h"
#include "sim/answers.h"
#include "sim/scenario.h"
#include "sim/sim_server.h"

namespace tarn {
namespace {

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
  std::unique_ptr<Http> http_ =
      MakeCurlHttp({std::chrono::milliseconds(2000), std::chrono::milliseconds(2000)});
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
           Case{{.delay = std::chrono::milliseconds(5000)},
                HttpError::Kind::Timeout,
                "timed out after 2 s"},
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

}  // namespace
}  // namespace tarn
