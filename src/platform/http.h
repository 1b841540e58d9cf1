#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

namespace tarn {

class HttpError : public std::runtime_error {
 public:
  enum class Kind { NoConnection, Timeout, Status, BrokenTransfer, LocalFile, TooLarge, Cancelled };
  HttpError(Kind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}
  Kind kind() const { return kind_; }

 private:
  Kind kind_;
};

struct HttpOptions {
  std::chrono::milliseconds connectTimeout{10000};
  // A transfer fails when it stalls: slower than stallBytesPerSecond for stallTime. There is no
  // limit on the whole, so a long list or a replay completes on a slow but steady line.
  long stallBytesPerSecond = 1000;
  std::chrono::seconds stallTime{30};
  // Larger answers are refused, whether their size is announced or they just keep coming.
  int64_t maxTextBytes = int64_t(128) << 20;
  int64_t maxFileBytes = int64_t(256) << 20;
  // While *cancel is true, a running request stops at once and a new one is not sent: both throw
  // HttpError::Kind::Cancelled. It may be set from any thread or a signal handler; whoever sets
  // it clears it before the next request is wanted.
  const std::atomic<bool>* cancel = nullptr;
};

// Blocking HTTP GET, one request at a time. Every failure throws HttpError naming the URL;
// an answer other than 2xx is a failure. Up to five redirects to http or https are followed.
class Http {
 public:
  virtual ~Http() = default;
  virtual std::string GetText(const std::string& url) = 0;
  // Streams the body into the file (created or replaced). A file that cannot be created fails
  // before any request; after a failed or cancelled transfer the file is removed, never left
  // half-written.
  virtual void GetToFile(const std::string& url, const std::filesystem::path& file) = 0;
};

std::unique_ptr<Http> MakeCurlHttp(HttpOptions options = {});

}  // namespace tarn
