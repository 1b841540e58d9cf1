#include "platform/atomic_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tarn {
namespace {

[[noreturn]] void Fail(const std::filesystem::path& file, const std::string& reason) {
  throw FileWriteError("Cannot write file \"" + file.string() + "\". " + reason);
}

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

}  // namespace tarn
