#include <curl/curl.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>

#include "platform/http.h"

namespace tarn {
namespace {

// Body bytes arrive through this; returning false aborts the transfer.
using BodySink = std::function<bool(const char* data, size_t size)>;

void InitCurlOnce() {
  static const bool initialised = [] {
    return curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  }();
  if (!initialised) throw HttpError(HttpError::Kind::NoConnection, "Cannot initialise libcurl");
}

std::string TimeoutText(std::chrono::milliseconds ms) {
  if (ms.count() % 1000 == 0) return std::to_string(ms.count() / 1000) + " s";
  return std::to_string(ms.count()) + " ms";
}

class CurlHttp : public Http {
 public:
  explicit CurlHttp(HttpTimeouts timeouts) : timeouts_(timeouts), handle_(curl_easy_init()) {
    if (!handle_) throw HttpError(HttpError::Kind::NoConnection, "Cannot create a libcurl handle");
    curl_easy_setopt(handle_.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle_.get(), CURLOPT_CONNECTTIMEOUT_MS, long(timeouts_.connect.count()));
    curl_easy_setopt(handle_.get(), CURLOPT_TIMEOUT_MS, long(timeouts_.total.count()));
    curl_easy_setopt(handle_.get(), CURLOPT_PROTOCOLS_STR, "http,https");
    // A server that moved (for example to its "www." name) keeps working; only web schemes.
    curl_easy_setopt(handle_.get(), CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle_.get(), CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(handle_.get(), CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle_.get(), CURLOPT_ERRORBUFFER, errorBuffer_);
    curl_easy_setopt(handle_.get(), CURLOPT_WRITEFUNCTION, &CurlHttp::OnBody);
    curl_easy_setopt(handle_.get(), CURLOPT_WRITEDATA, this);
  }

  std::string GetText(const std::string& url) override {
    std::string body;
    Get(url, [&body](const char* data, size_t size) {
      body.append(data, size);
      return true;
    });
    return body;
  }

  void GetToFile(const std::string& url, const std::filesystem::path& file) override {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) {
      throw HttpError(HttpError::Kind::LocalFile, "Cannot create file " + file.string() + " for " +
                                                      url + ": " + std::strerror(errno));
    }
    try {
      Get(url, [&out](const char* data, size_t size) {
        out.write(data, std::streamsize(size));
        return out.good();
      });
      out.close();
      if (out.fail()) throw HttpError(HttpError::Kind::LocalFile, CannotWrite(file, url));
    } catch (const HttpError& error) {
      const bool diskFailed = error.kind() != HttpError::Kind::LocalFile && !out.good();
      out.close();
      RemovePartialFile(file);
      if (diskFailed) throw HttpError(HttpError::Kind::LocalFile, CannotWrite(file, url));
      throw;
    }
  }

 private:
  struct HandleDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
  };

  static std::string CannotWrite(const std::filesystem::path& file, const std::string& url) {
    return "Cannot write file " + file.string() + " for " + url + ": " + std::strerror(errno);
  }

  // A half-written download is worth nothing and would pass for a complete one.
  static void RemovePartialFile(const std::filesystem::path& file) {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
  }

  static size_t OnBody(char* data, size_t, size_t size, void* self) {
    auto* http = static_cast<CurlHttp*>(self);
    long status = 0;
    curl_easy_getinfo(http->handle_.get(), CURLINFO_RESPONSE_CODE, &status);
    // The body of an error answer is not wanted; stopping early saves reading it.
    if (status < 200 || status > 299) return 0;
    return http->sink_(data, size) ? size : 0;
  }

  void Get(const std::string& url, BodySink sink) {
    sink_ = std::move(sink);
    errorBuffer_[0] = '\0';
    curl_easy_setopt(handle_.get(), CURLOPT_URL, url.c_str());
    CURLcode code = curl_easy_perform(handle_.get());
    sink_ = nullptr;

    long status = 0;
    curl_easy_getinfo(handle_.get(), CURLINFO_RESPONSE_CODE, &status);
    if (status != 0 && (status < 200 || status > 299)) {
      throw HttpError(HttpError::Kind::Status,
                      "Server answered HTTP " + std::to_string(status) + " to " + url);
    }
    if (code != CURLE_OK) throw ErrorFor(code, url);
  }

  HttpError ErrorFor(CURLcode code, const std::string& url) const {
    std::string reason = errorBuffer_[0] != '\0' ? errorBuffer_ : curl_easy_strerror(code);
    switch (code) {
      case CURLE_OPERATION_TIMEDOUT:
        return HttpError(HttpError::Kind::Timeout,
                         "Request to " + url + " timed out after " +
                             TimeoutText(ConnectedYet() ? timeouts_.total : timeouts_.connect));
      case CURLE_COULDNT_CONNECT: {
        long osError = 0;
        curl_easy_getinfo(handle_.get(), CURLINFO_OS_ERRNO, &osError);
        if (osError != 0) reason = std::strerror(int(osError));
        return HttpError(HttpError::Kind::NoConnection, "Cannot connect to " + url + ": " + reason);
      }
      case CURLE_GOT_NOTHING:
        return HttpError(HttpError::Kind::BrokenTransfer,
                         "Connection closed without an answer from " + url);
      case CURLE_PARTIAL_FILE:
      case CURLE_RECV_ERROR:
      case CURLE_SEND_ERROR:
      case CURLE_HTTP2:
      case CURLE_HTTP2_STREAM:
      case CURLE_BAD_CONTENT_ENCODING:
        return HttpError(HttpError::Kind::BrokenTransfer,
                         "Transfer from " + url + " broken off: " + reason);
      case CURLE_WRITE_ERROR:
        return HttpError(HttpError::Kind::LocalFile, "Cannot store the answer of " + url);
      default:
        // Unresolvable host, bad URL, unsupported scheme: the server was never reached.
        return HttpError(HttpError::Kind::NoConnection, "Cannot connect to " + url + ": " + reason);
    }
  }

  bool ConnectedYet() const {
    curl_off_t connectTime = 0;
    curl_easy_getinfo(handle_.get(), CURLINFO_CONNECT_TIME_T, &connectTime);
    return connectTime > 0;
  }

  HttpTimeouts timeouts_;
  std::unique_ptr<CURL, HandleDeleter> handle_;
  char errorBuffer_[CURL_ERROR_SIZE] = {};
  BodySink sink_;
};

}  // namespace

std::unique_ptr<Http> MakeCurlHttp(HttpTimeouts timeouts) {
  InitCurlOnce();
  return std::make_unique<CurlHttp>(timeouts);
}

}  // namespace tarn
