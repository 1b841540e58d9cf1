#include "platform/atomic_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>

#include <fstream>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tarn {
namespace {

[[noreturn]] void Fail(const std::filesystem::path& file, const std::string& reason) {
  throw FileWriteError("Cannot write file \"" + file.string() + "\". " + reason);
}

[[noreturn]] void FailToRead(const std::string& reason) { throw FileReadError(reason); }

const char* const kNotRegular = "The file is not a regular file.";

std::string DirectoryText() { return std::make_error_code(std::errc::is_a_directory).message(); }

// Collects what a file gives, refusing it once it holds more than the limit: a file may still grow
// after its size was looked at.
class LimitedContent {
 public:
  explicit LimitedContent(std::uintmax_t largestMegabytes)
      : largestMegabytes_(largestMegabytes), largest_(largestMegabytes << 20) {}

  void CheckSize(std::uintmax_t size) const {
    if (size > largest_) {
      FailToRead("The file is larger than " + std::to_string(largestMegabytes_) + " MB.");
    }
  }
  void Reserve(std::uintmax_t size) { text_.reserve(static_cast<size_t>(size)); }
  void Append(const char* data, size_t size) {
    CheckSize(text_.size() + size);
    text_.append(data, size);
  }
  std::string Take() { return std::move(text_); }

 private:
  std::uintmax_t largestMegabytes_;
  std::uintmax_t largest_;
  std::string text_;
};

constexpr size_t kReadChunk = 1 << 16;

#ifdef _WIN32

std::string LastErrorText() {
  return std::system_category().message(static_cast<int>(GetLastError()));
}

void WriteAndSync(const std::filesystem::path& temp, std::string_view content,
                  const std::filesystem::path& file) {
  HANDLE handle = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) Fail(file, LastErrorText());
  bool ok = true;
  while (ok && !content.empty()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(content.size(), 1u << 30));
    ok = WriteFile(handle, content.data(), chunk, &written, nullptr) != 0;
    content.remove_prefix(written);
  }
  ok = ok && FlushFileBuffers(handle) != 0;
  const std::string reason = ok ? std::string() : LastErrorText();
  CloseHandle(handle);
  if (!ok) Fail(file, reason);
}

void ReplaceFile(const std::filesystem::path& temp, const std::filesystem::path& file) {
  if (!MoveFileExW(temp.c_str(), file.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    Fail(file, LastErrorText());
  }
}

// Folders hold no FIFOs here, so looking at the type before opening cannot be raced into a block.
void ReadInto(LimitedContent& content, const std::filesystem::path& file) {
  std::error_code error;
  const auto status = std::filesystem::status(file, error);
  if (error) FailToRead(error.message());
  if (std::filesystem::is_directory(status)) FailToRead(DirectoryText());
  if (!std::filesystem::is_regular_file(status)) FailToRead(kNotRegular);
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  if (error) FailToRead(error.message());
  content.CheckSize(size);
  content.Reserve(size);
  std::ifstream in(file, std::ios::binary);
  if (!in) FailToRead(std::strerror(errno));
  char chunk[kReadChunk];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    content.Append(chunk, static_cast<size_t>(in.gcount()));
  }
  if (in.bad()) FailToRead(std::strerror(errno));
}

#else

std::string ErrnoText() { return std::strerror(errno); }

void WriteAndSync(const std::filesystem::path& temp, std::string_view content,
                  const std::filesystem::path& file) {
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) Fail(file, ErrnoText());
  bool ok = true;
  while (ok && !content.empty()) {
    const ssize_t written = ::write(fd, content.data(), content.size());
    if (written < 0 && errno == EINTR) continue;
    ok = written > 0;
    if (ok) content.remove_prefix(static_cast<size_t>(written));
  }
  ok = ok && ::fsync(fd) == 0;
  const std::string reason = ok ? std::string() : ErrnoText();
  ok = ::close(fd) == 0 && ok;
  if (!ok) Fail(file, reason.empty() ? ErrnoText() : reason);
}

void ReplaceFile(const std::filesystem::path& temp, const std::filesystem::path& file) {
  if (::rename(temp.c_str(), file.c_str()) != 0) Fail(file, ErrnoText());
  // The rename itself must survive a power cut too.
  const std::filesystem::path folder = file.parent_path().empty() ? "." : file.parent_path();
  const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
}

void CheckRegular(const struct stat& info) {
  if (S_ISDIR(info.st_mode)) FailToRead(DirectoryText());
  if (!S_ISREG(info.st_mode)) FailToRead(kNotRegular);
}

void ReadInto(LimitedContent& content, const std::filesystem::path& file) {
  struct stat info {};
  // Devices are refused before they are opened, since opening one can already do something.
  // When stat fails, open says why.
  if (::stat(file.c_str(), &info) == 0) CheckRegular(info);
  // Something else may take the file's place meanwhile: O_NONBLOCK keeps a FIFO from waiting for
  // a writer, and the type is looked at again on what was opened.
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) FailToRead(ErrnoText());
  struct CloseAtEnd {
    int fd;
    ~CloseAtEnd() { ::close(fd); }
  } closeAtEnd{fd};
  if (::fstat(fd, &info) != 0) FailToRead(ErrnoText());
  CheckRegular(info);
  content.CheckSize(static_cast<std::uintmax_t>(info.st_size));
  content.Reserve(static_cast<std::uintmax_t>(info.st_size));
  char chunk[kReadChunk];
  for (;;) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      FailToRead(ErrnoText());
    }
    content.Append(chunk, static_cast<size_t>(got));
  }
}

#endif

}  // namespace

void WriteFileAtomically(const std::filesystem::path& file, std::string_view content) {
  std::filesystem::path temp = file;
  temp += ".tmp";
  try {
    WriteAndSync(temp, content, file);
    ReplaceFile(temp, file);
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    throw;
  }
}

std::string ReadRegularFile(const std::filesystem::path& file, std::uintmax_t largestMegabytes) {
  LimitedContent content(largestMegabytes);
  ReadInto(content, file);
  return content.Take();
}

}  // namespace tarn
