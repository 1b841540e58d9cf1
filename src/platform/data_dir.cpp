#include "platform/data_dir.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

#include "platform/environment.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace tarn {
namespace {

constexpr const char* kFolderName = "tarn-monitor";
constexpr const char* kLockFileName = "tarn-monitor.lock";

// A variable that is set to a non-empty value.
std::optional<std::string> Variable(const Environment& environment, const char* name) {
  auto value = environment.Get(name);
  if (value && value->empty()) return std::nullopt;
  return value;
}

std::filesystem::path UserDataDir(const Environment& environment) {
#ifdef _WIN32
  if (const auto local = Variable(environment, "LOCALAPPDATA")) {
    return std::filesystem::path(*local) / kFolderName;
  }
#else
  // A relative XDG_DATA_HOME is invalid and to be ignored.
  if (const auto xdg = Variable(environment, "XDG_DATA_HOME");
      xdg && std::filesystem::path(*xdg).is_absolute()) {
    return std::filesystem::path(*xdg) / kFolderName;
  }
  if (const auto home = Variable(environment, "HOME")) {
    return std::filesystem::path(*home) / ".local" / "share" / kFolderName;
  }
#endif
  throw DataDirError(
      "Cannot find a folder for the data: use --data-dir DIR or set TARN_MONITOR_DATA.");
}

[[noreturn]] void LockFailed(const std::filesystem::path& dataDir, const std::string& reason) {
  throw DataDirError("Cannot lock the data folder " + dataDir.string() + ": " + reason);
}

[[noreturn]] void AlreadyInUse(const std::filesystem::path& dataDir) {
  throw DataDirError("Another Tarn Monitor is already using the data folder " + dataDir.string());
}

}  // namespace

std::filesystem::path ResolveDataDir(const std::optional<std::filesystem::path>& dataDirOption,
                                     const Environment& environment,
                                     const std::filesystem::path& executableDir) {
  if (dataDirOption && !dataDirOption->empty()) return *dataDirOption;
  if (const auto fromEnvironment = Variable(environment, "TARN_MONITOR_DATA")) {
    return *fromEnvironment;
  }
  std::error_code error;
  if (std::filesystem::is_directory(executableDir / "db", error)) return executableDir;
  return UserDataDir(environment);
}

#ifdef _WIN32

DataDirLock::DataDirLock(const std::filesystem::path& dataDir) {
  std::error_code error;
  std::filesystem::create_directories(dataDir, error);
  if (error) LockFailed(dataDir, error.message());
  HANDLE handle = CreateFileW((dataDir / kLockFileName).c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    LockFailed(dataDir, std::system_category().message(static_cast<int>(GetLastError())));
  }
  OVERLAPPED whole{};
  if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                  MAXDWORD, &whole)) {
    CloseHandle(handle);
    AlreadyInUse(dataDir);
  }
  handle_ = handle;
}

DataDirLock::~DataDirLock() { CloseHandle(static_cast<HANDLE>(handle_)); }

#else

DataDirLock::DataDirLock(const std::filesystem::path& dataDir) {
  std::error_code error;
  std::filesystem::create_directories(dataDir, error);
  if (error) LockFailed(dataDir, error.message());
  const int fd = ::open((dataDir / kLockFileName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) LockFailed(dataDir, std::strerror(errno));
  // flock belongs to this open file, so a second lock in the same process is refused too.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int lockError = errno;
    ::close(fd);
    if (lockError == EWOULDBLOCK) AlreadyInUse(dataDir);
    LockFailed(dataDir, std::strerror(lockError));
  }
  fd_ = fd;
}

DataDirLock::~DataDirLock() { ::close(fd_); }

#endif

}  // namespace tarn
