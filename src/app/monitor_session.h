#pragma once

#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/demo.h"
#include "app/monitor.h"
#include "platform/clock.h"
#include "platform/data_dir.h"
#include "platform/environment.h"
#include "platform/system_time_zone.h"
#include "platform/xml.h"
#include "store/db_monitor.h"

namespace tarn {

class Http;
class Registry;

// What to run against, as the command line names it.
struct SessionOptions {
  std::optional<std::string> dataDir;
  std::optional<std::string> server;
  bool demo = false;
};

// Said after a table file that could not be opened, when the program refuses to run without it.
inline constexpr const char* kRepairTableAdvice =
    "Nothing was changed. Repair the file, or move it away to start its table afresh.";

// Everything one run of the program works with, the command line's and the window's alike: the
// demo's own server and user profile when asked for, the data folder (locked while the session
// lives), the game server, the store holder and the platform pieces the monitor reaches.
class MonitorSession {
 public:
  // Throws with a clear message when the data folder cannot be found or is in use. While *cancel
  // is true a request under way is broken off.
  MonitorSession(const SessionOptions& options, const Environment& environment,
                 const std::filesystem::path& executableDir, Dialogs& dialogs,
                 const std::atomic<bool>* cancel = nullptr);
  ~MonitorSession();
  MonitorSession(const MonitorSession&) = delete;
  MonitorSession& operator=(const MonitorSession&) = delete;

  // Loads the eight tables. False when one could not be opened (reported through the dialogs):
  // running on without it would only add errors that follow from it.
  bool LoadTables();

  // What a monitor of this session needs; `timeFormat` formats the times of its messages.
  MonitorServices Services(std::string timeFormat);

  TFormDBMonitor& Db() { return db_; }
  const Clock& SessionClock() const { return clock_; }
  const std::filesystem::path& DataDir() const { return dataDir_; }
  bool Demo() const { return demo_ != nullptr; }

 private:
  std::unique_ptr<DemoServer> demo_;
  OverlayEnvironment environment_;
  std::filesystem::path dataDir_;
  bool demoFolder_;  // the data folder is the demo's own fresh one
  DataDirLock lock_;
  std::string host_;
  Dialogs& dialogs_;
  SystemClock clock_;
  TFormDBMonitor db_;
  std::unique_ptr<Http> http_;
  HttpXmlLoader loader_;
  std::unique_ptr<Registry> registry_;
  OsTimeZone timeZone_;
};

}  // namespace tarn
