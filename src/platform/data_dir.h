#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>

namespace tarn {

class Environment;

class DataDirError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The folder that holds db/ and pics/, the first of: the --data-dir option; the environment
// variable TARN_MONITOR_DATA; the executable's folder when it has a db folder (portable use);
// the user's data folder ($XDG_DATA_HOME/tarn-monitor or ~/.local/share/tarn-monitor,
// %LOCALAPPDATA%\tarn-monitor on Windows). Throws DataDirError when none can be found.
std::filesystem::path ResolveDataDir(const std::optional<std::filesystem::path>& dataDirOption,
                                     const Environment& environment,
                                     const std::filesystem::path& executableDir);

// Keeps other processes (and other locks in this one) off a data folder while it lives.
// Creates the folder when needed. Throws DataDirError: "Another Tarn Monitor is already using
// the data folder <dir>" when the folder is taken, or why the lock file could not be made.
class DataDirLock {
 public:
  explicit DataDirLock(const std::filesystem::path& dataDir);
  ~DataDirLock();
  DataDirLock(const DataDirLock&) = delete;
  DataDirLock& operator=(const DataDirLock&) = delete;

 private:
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int fd_ = -1;
#endif
};

}  // namespace tarn
