#pragma once

#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/alert_messages.h"
#include "base/date_time.h"
#include "server/xml_tarn.h"

namespace tarn {

class Clock;
class Dialogs;
class Environment;
class Registry;
class SystemTimeZone;
class TFormDBMonitor;
class XmlLoader;

// Everything the monitor reaches outside itself.
struct MonitorServices {
  TFormDBMonitor& db;
  XmlLoader& loader;
  Dialogs& dialogs;
  const Clock& clock;
  const Environment& environment;
  const Registry& registry;
  const SystemTimeZone& systemTimeZone;
  std::string serverHost;
  std::string timeFormat = "HH:mm:ss";
};

// Why a command that needs the monitored player cannot run.
inline constexpr const char* kNoMonitoredPlayer =
    "No player is monitored yet: name one in the player window or with "
    "\"tarn-monitor player ALIAS\"";

// The tray and the caption: the window draws them, the command line ignores them.
class MonitorView {
 public:
  virtual ~MonitorView() = default;
  virtual void ChangeImageTray(const std::string& iconFile) = 0;
  virtual void CaptionChanged(const std::string& caption) = 0;
};

// The monitoring of one player's running games: start-up, the timer cycle and the commands that
// run the same steps by hand. The main window drives it with a timer, the command line directly.
class Monitor {
 public:
  static constexpr int kFirstTickInterval = 1000;
  static constexpr int kFirstTickRetryInterval = 60000;
  static constexpr const char* kTrayIcon = "tarnMon.ico";
  static constexpr const char* kTrayAlertIcon = "tarnMon2.ico";

  explicit Monitor(MonitorServices services, MonitorView* view = nullptr);
  ~Monitor();

  // The start-up sequence. A failing step is reported and the next steps still run.
  void PrepareStartup();

  // One timer tick; answers the interval in milliseconds until the next one (0: no more ticks).
  // A tick that comes while another tick or a command runs is skipped.
  int Timer1Timer();

  // The commands; each answers false when it failed (the error was reported) or was skipped.
  bool DeleteCurrentGames();
  bool LoadCurrentGames();
  // Tells "Players were updated" in every case; false when the server could not be asked.
  bool UpdatePlayers();
  // One periodic check by hand; false when it failed, the server could not be asked or a game
  // of the list could not be read.
  bool Check();
  // Looks the alias up and makes him the monitored player at once, his current games replacing
  // the stored ones. False when the player could not be found.
  bool SaveMonitoredPlayer(const std::string& alias);
  // The stored tournament names, fetched first when none are stored or when refresh is set.
  bool Tournaments(bool refresh, std::vector<std::string>& names);

  // The close button of the notification window.
  void AlertWindowClosed();

  const std::string& Caption() const { return caption_; }
  int TimerInterval() const { return timerInterval_; }
  AlertMessages& Alerts() { return alerts_; }

  // The run state shared with the windows.
  std::string MonitoredAlias;
  std::unique_ptr<TXMLTarn> ServerClient;
  bool FirstRun = true;
  DateTime NextPlayersRefresh;
  int CheckInterval = 0;
  int MessageCount = 0;
  bool TrayAlert = false;

  // The steps, public for the windows and tests; they raise errors instead of reporting them.
  void DetectTimeZone();
  void IdentifyPlayer();
  // Answers false when no player could be read, so nothing was loaded.
  bool SynchronizeCurrentGames();
  void FillCurrentGames(const std::vector<TS_CURRGAME>& listed);
  int CheckCurrentGames();

 private:
  // The games of a loaded list that could be read, and what kept the others from it.
  struct GameList {
    std::vector<TS_CURRGAME> games;
    std::vector<std::string> problems;  // one line per unreadable element
    std::unordered_set<int32_t> unreadableIds;
    bool unreadableWithoutId = false;
  };

  // Runs one tick or command: skipped while another runs, errors reported, changed tables saved.
  bool Guarded(const std::function<void()>& operation);
  // The server client for the monitored player, created when absent; nullptr while the player
  // cannot be read. `created` tells whether this call created it (its list is then fresh).
  TXMLTarn* EnsureServerClient(GameListMode mode, bool* created = nullptr);
  std::unique_ptr<TXMLTarn> CreateClient(const std::string& alias, GameListMode mode);
  // The server client with the current games just loaded; nullptr while no player can be read.
  TXMLTarn* ServerClientWithFreshList();
  // Reads every game of the client's list before any row changes; an element that cannot be
  // read is left out and reported once, so it hides none of the others.
  GameList ListedGames(TXMLTarn& client);
  // Stored games absent from the list; none while an unreadable element might be any of them.
  std::vector<int32_t> FinishedGameIds(const GameList& list);
  // Stores the player as the one current row: his own row by id when he has one (another row
  // would duplicate him), and the mark taken from every other row.
  void StoreCurrentPlayer(TS_PLAYER player);
  // Refuses an alias the Players table could not hold whole: cut, it would name nobody.
  void CheckAliasFits(const std::string& alias) const;
  // The time zone must be decided before any server time is read into a table.
  void DecideTimeZone();
  std::string MapName(const std::string& mapId);
  void FillTournamentList();
  void UpdateCaption(const char* prefix = "Tarn Monitor");
  void RefreshPlayersWhenDue();

  MonitorServices s_;
  MonitorView* view_;
  AlertMessages alerts_;
  AlertMessageWriter writer_;
  std::string caption_ = "Tarn Monitor";
  int timerInterval_ = kFirstTickInterval;
  bool busy_ = false;
  bool listComplete_ = true;  // whether the last list read had no unreadable element
};

}  // namespace tarn
