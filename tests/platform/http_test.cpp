#include "platform/http.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tarn {
namespace {

using ::testing::HasSubstr;

HttpError::Kind KindOf(const std::function<void()>& request, std::string* message) {
  try {
    request();
  } catch (const HttpError& error) {
    *message = error.what();
    return error.kind();
  }
  ADD_FAILURE() << "no error";
  return HttpError::Kind::LocalFile;
}

TEST(CurlHttpTest, NothingListeningIsNoConnection) {
  auto http = MakeCurlHttp();
  const std::string url = "http://127.0.0.1:1/tarn/x";
  std::string message;
  EXPECT_EQ(KindOf([&] { http->GetText(url); }, &message), HttpError::Kind::NoConnection);
  EXPECT_EQ(message, "Cannot connect to " + url + ": Connection refused");
}

}  // namespace
}  // namespace tarn
