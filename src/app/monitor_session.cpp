#include "app/monitor_session.h"

#include <map>

#include "platform/http.h"
#include "platform/registry.h"
#include "server/server_address.h"

namespace tarn {
namespace {

// The demo checks every minute, the shortest period there is, so a new user sees the first
// announcements soon after the first load.
constexpr int kDemoCheckMinutes = 1;

std::unique_ptr<DemoServer> StartDemo(const SessionOptions& options) {
  return options.demo ? std::make_unique<DemoServer>() : nullptr;
}

std::map<std::string, std::string> DemoVariables(const std::unique_ptr<DemoServer>& demo) {
  if (!demo) return {};
  return {{"USERPROFILE", demo->ProfileDir().string()}};
}

std::optional<std::filesystem::path> DataDirOption(const SessionOptions& options,
                                                   const std::unique_ptr<DemoServer>& demo) {
  if (options.dataDir) return std::filesystem::path(*options.dataDir);
  if (demo) return demo->DataDir();
  return std::nullopt;
}

bool EveryTableOpen(const TFormDBMonitor& db) {
  for (const Table* table :
       {&db.Players, &db.Maps, &db.CurrentGames, &db.GlobalSettings, &db.InterfaceSettings,
        &db.UserSettings, &db.PlayerGames, &db.Tournaments}) {
    if (!table->Active()) return false;
  }
  return true;
}

}  // namespace

MonitorSession::MonitorSession(const SessionOptions& options, const Environment& environment,
                               const std::filesystem::path& executableDir, Dialogs& dialogs,
                               const std::atomic<bool>* cancel)
    : demo_(StartDemo(options)),
      environment_(environment, DemoVariables(demo_)),
      dataDir_(ResolveDataDir(DataDirOption(options, demo_), environment_, executableDir)),
      demoFolder_(demo_ && !options.dataDir),
      lock_(dataDir_),
      host_(ResolveServerHost(demo_ ? std::optional(demo_->Host()) : options.server, environment_)),
      dialogs_(dialogs),
      db_(dialogs, clock_),
      http_(MakeCurlHttp({.cancel = cancel})),
      loader_(*http_),
      registry_(MakeSystemRegistry(environment_)) {}

MonitorSession::~MonitorSession() = default;

bool MonitorSession::LoadTables() {
  db_.FormCreate(dataDir_);
  if (!EveryTableOpen(db_)) return false;
  if (demoFolder_) {
    db_.GlobalSettings.Edit();
    db_.GlobalSettings.SetField("sync_period_currgames", kDemoCheckMinutes);
    db_.GlobalSettings.Post();
  }
  return true;
}

MonitorServices MonitorSession::Services(std::string timeFormat) {
  return {db_,       loader_,      dialogs_,
          clock_,    environment_, *registry_,
          timeZone_, host_,        std::move(timeFormat)};
}

}  // namespace tarn
