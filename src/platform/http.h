#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

namespace tarn {

class HttpError : public std::runtime_error {
 public:
  enum class Kind { NoConnection, Timeout, Status, BrokenTransfer, LocalFile };
  HttpError(Kind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}
  Kind kind() const { return kind_; }

 private:
  Kind kind_;
};

struct HttpTimeouts {
  std::chrono::milliseconds connect{10000};
  std::chrono::milliseconds total{30000};
};

// Blocking HTTP GET, one request at a time. Every failure throws HttpError naming the URL;
// an answer other than 2xx is a failure. Up to five redirects to http or https are followed.
class Http {
 public:
  virtual ~Http() = default;
  virtual std::string GetText(const std::string& url) = 0;
  // Streams the body into the file (created or replaced). A file that cannot be created fails
  // before any request; after a failed transfer the file is removed, never left half-written.
  virtual void GetToFile(const std::string& url, const std::filesystem::path& file) = 0;
};

std::unique_ptr<Http> MakeCurlHttp(HttpTimeouts timeouts = {});

}  // namespace tarn
