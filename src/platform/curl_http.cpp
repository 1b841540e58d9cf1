#include <curl/curl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <string_view>

#include "platform/http.h"

namespace tarn {
namespace {

static_assert(std::atomic<bool>::is_always_lock_free, "the cancel flag is set by signal handlers");

// How long a request waits on the network before it looks at the cancel flag again.
constexpr int kCancelCheckMs = 50;

// Body bytes arrive through this; returning false aborts the transfer.
using BodySink = std::function<bool(std::string_view data)>;

// The most a request may receive, and what its answer is called in the refusal.
struct BodyLimit {
  int64_t bytes;
  const char* what;
};

void InitCurlOnce() {
  static const bool initialised = [] {
    return curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  }();
  if (!initialised) throw HttpError(HttpError::Kind::NoConnection, "Cannot initialise libcurl");
}

std::string DurationText(std::chrono::milliseconds ms) {
  if (ms.count() % 1000 == 0) return std::to_string(ms.count() / 1000) + " s";
  return std::to_string(ms.count()) + " ms";
}

std::string SizeText(int64_t bytes) {
  constexpr int64_t kMegabyte = int64_t(1) << 20;
  if (bytes % kMegabyte == 0) return std::to_string(bytes / kMegabyte) + " MB";
  return std::to_string(bytes) + " bytes";
}

class CurlHttp : public Http {
 public:
  explicit CurlHttp(HttpOptions options)
      : options_(options), handle_(curl_easy_init()), multi_(curl_multi_init()) {
    if (!handle_ || !multi_) {
      throw HttpError(HttpError::Kind::NoConnection, "Cannot create a libcurl handle");
    }
    CURL* handle = handle_.get();
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, long(options_.connectTimeout.count()));
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, options_.stallBytesPerSecond);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, long(options_.stallTime.count()));
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    // A server that moved (for example to its "www." name) keeps working; only web schemes.
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorBuffer_);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &CurlHttp::OnBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, this);
    // Both time-outs end in the same libcurl code; these tell whether the connection was made.
    curl_easy_setopt(handle, CURLOPT_SOCKOPTFUNCTION, &CurlHttp::OnConnecting);
    curl_easy_setopt(handle, CURLOPT_SOCKOPTDATA, this);
    curl_easy_setopt(handle, CURLOPT_PREREQFUNCTION, &CurlHttp::OnConnected);
    curl_easy_setopt(handle, CURLOPT_PREREQDATA, this);
  }

  std::string GetText(const std::string& url) override {
    std::string body;
    Get(url, {options_.maxTextBytes, "a document"}, [this, &body](std::string_view data) {
      // One allocation of the announced size instead of doubling: a long list is held once.
      if (body.empty()) body.reserve(AnnouncedSize());
      body.append(data);
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
      Get(url, {options_.maxFileBytes, "a file"}, [&out](std::string_view data) {
        out.write(data.data(), std::streamsize(data.size()));
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
  struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
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
    // An answer without an announced size can go on for ever; it must not fill the memory.
    http->received_ += int64_t(size);
    if (http->received_ > http->limit_.bytes) {
      http->overLimit_ = true;
      return 0;
    }
    return http->sink_(std::string_view(data, size)) ? size : 0;
  }

  static int OnConnecting(void* self, curl_socket_t, curlsocktype) {
    static_cast<CurlHttp*>(self)->connected_ = false;
    return CURL_SOCKOPT_OK;
  }

  static int OnConnected(void* self, char*, char*, int, int) {
    static_cast<CurlHttp*>(self)->connected_ = true;
    return CURL_PREREQFUNC_OK;
  }

  bool CancelRequested() const {
    return options_.cancel != nullptr && options_.cancel->load(std::memory_order_relaxed);
  }

  size_t AnnouncedSize() const {
    curl_off_t length = -1;
    curl_easy_getinfo(handle_.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    return length > 0 ? size_t(std::min<curl_off_t>(length, limit_.bytes)) : 0;
  }

  void Get(const std::string& url, BodyLimit limit, BodySink sink) {
    sink_ = std::move(sink);
    limit_ = limit;
    received_ = 0;
    overLimit_ = false;
    connected_ = false;
    errorBuffer_[0] = '\0';
    curl_easy_setopt(handle_.get(), CURLOPT_URL, url.c_str());
    // Refuses an announced size over the limit before any of the body is read.
    curl_easy_setopt(handle_.get(), CURLOPT_MAXFILESIZE_LARGE, curl_off_t(limit.bytes));
    const CURLcode code = Perform();
    sink_ = nullptr;

    if (code == CURLE_ABORTED_BY_CALLBACK) {
      throw HttpError(HttpError::Kind::Cancelled, "The request to " + url + " was cancelled");
    }
    long status = 0;
    curl_easy_getinfo(handle_.get(), CURLINFO_RESPONSE_CODE, &status);
    if (status != 0 && (status < 200 || status > 299)) {
      throw HttpError(HttpError::Kind::Status,
                      "Server answered HTTP " + std::to_string(status) + " to " + url);
    }
    if (code != CURLE_OK) throw ErrorFor(code, url);
  }

  // Runs the transfer in short waits, so a cancel is seen at once even while nothing arrives;
  // a cancelled transfer gives CURLE_ABORTED_BY_CALLBACK, as if a callback had stopped it.
  CURLcode Perform() {
    if (curl_multi_add_handle(multi_.get(), handle_.get()) != CURLM_OK) return CURLE_FAILED_INIT;
    CURLcode result = CURLE_ABORTED_BY_CALLBACK;
    while (!CancelRequested()) {
      int running = 0;
      const CURLMcode progress = curl_multi_perform(multi_.get(), &running);
      if (progress != CURLM_OK) {
        result = progress == CURLM_OUT_OF_MEMORY ? CURLE_OUT_OF_MEMORY : CURLE_FAILED_INIT;
        break;
      }
      if (running == 0) {
        int left = 0;
        const CURLMsg* done = curl_multi_info_read(multi_.get(), &left);
        result = done && done->msg == CURLMSG_DONE ? done->data.result : CURLE_FAILED_INIT;
        break;
      }
      curl_multi_poll(multi_.get(), nullptr, 0, kCancelCheckMs, nullptr);
    }
    curl_multi_remove_handle(multi_.get(), handle_.get());
    return result;
  }

  HttpError ErrorFor(CURLcode code, const std::string& url) const {
    std::string reason = errorBuffer_[0] != '\0' ? errorBuffer_ : curl_easy_strerror(code);
    switch (code) {
      case CURLE_OPERATION_TIMEDOUT:
        if (!connected_) {
          return HttpError(HttpError::Kind::Timeout, "Cannot connect to " + url + " within " +
                                                         DurationText(options_.connectTimeout));
        }
        return HttpError(HttpError::Kind::Timeout,
                         "The transfer from " + url + " stalled: under " +
                             std::to_string(options_.stallBytesPerSecond) + " bytes a second for " +
                             DurationText(options_.stallTime));
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
      case CURLE_FILESIZE_EXCEEDED:
        return TooLarge(url);
      case CURLE_WRITE_ERROR:
        if (overLimit_) return TooLarge(url);
        return HttpError(HttpError::Kind::LocalFile, "Cannot store the answer of " + url);
      default:
        // Unresolvable host, bad URL, unsupported scheme: the server was never reached.
        return HttpError(HttpError::Kind::NoConnection, "Cannot connect to " + url + ": " + reason);
    }
  }

  HttpError TooLarge(const std::string& url) const {
    return HttpError(HttpError::Kind::TooLarge, "The answer from " + url +
                                                    " is over the limit of " +
                                                    SizeText(limit_.bytes) + " for " + limit_.what);
  }

  HttpOptions options_;
  std::unique_ptr<CURL, HandleDeleter> handle_;
  std::unique_ptr<CURLM, MultiDeleter> multi_;
  char errorBuffer_[CURL_ERROR_SIZE] = {};
  BodySink sink_;
  BodyLimit limit_{0, ""};
  int64_t received_ = 0;
  bool overLimit_ = false;
  bool connected_ = false;
};

}  // namespace

std::unique_ptr<Http> MakeCurlHttp(HttpOptions options) {
  InitCurlOnce();
  return std::make_unique<CurlHttp>(options);
}

}  // namespace tarn
