#include "app/command_line.h"

#include <atomic>
#include <charconv>
#include <chrono>
#include <csignal>
#include <iostream>
#include <thread>

#include "app/demo.h"
#include "app/monitor.h"
#include "app/remaining_time.h"
#include "platform/clock.h"
#include "platform/data_dir.h"
#include "platform/dialogs.h"
#include "platform/http.h"
#include "platform/registry.h"
#include "platform/system_environment.h"
#include "platform/system_time_zone.h"
#include "platform/xml.h"
#include "server/server_address.h"
#include "store/db_monitor.h"

namespace tarn {
namespace {

constexpr const char* kDateFormat = "yyyy-MM-dd";
constexpr const char* kTimeFormat = "HH:mm:ss";

int ParseWholeNumber(const std::string& option, const std::string& text, int minimum) {
  int value = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || ptr != text.data() + text.size() || value < minimum) {
    throw UsageError(option + " takes a whole number of at least " + std::to_string(minimum) +
                     ", not '" + text + "'");
  }
  return value;
}

// Messages of the program go to stderr; the window would show them in message boxes.
// An error that ended a command and then the closing save again is told once.
class ConsoleDialogs : public Dialogs {
 public:
  void ShowMessage(const std::string& text) override { std::cerr << text << "\n"; }
  void ShowError(const std::string& text) override {
    if (text == lastError_) return;
    lastError_ = text;
    std::cerr << "Error: " << text << "\n";
  }

 private:
  std::string lastError_;
};

// Prints each notification once, as one line, when the monitor shows them.
class ConsoleAlerts : public AlertWindowView {
 public:
  explicit ConsoleAlerts(AlertMessages& alerts) : alerts_(alerts), printed_(alerts.Added()) {}
  void ShowRequested() override {
    const TAlertMessages& messages = alerts_.Messages();
    const int fresh = static_cast<int>(alerts_.Added() - printed_);
    for (int i = std::max(0, messages.Count() - fresh); i < messages.Count(); ++i) {
      std::cout << OneLineText(messages.Item(i)) << "\n";
    }
    std::cout.flush();
    printed_ = alerts_.Added();
  }
  void CloseRequested() override {}

 private:
  AlertMessages& alerts_;
  int64_t printed_;
};

std::atomic<bool> interrupted{false};

void OnInterrupt(int) { interrupted = true; }

// Sleeps until the time is up or Ctrl+C was pressed; false when interrupted.
bool Wait(std::chrono::milliseconds duration) {
  const auto end = std::chrono::steady_clock::now() + duration;
  while (std::chrono::steady_clock::now() < end) {
    if (interrupted) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return !interrupted;
}

std::string DateText(const Value& value) {
  return value.IsNull() ? ""
                        : value.AsDateTime().Format(std::string(kDateFormat) + " " + kTimeFormat);
}

// A column of the status table: the text padded to a width counted in characters, not bytes,
// so names with letters beyond ASCII keep the columns straight.
std::string Cell(const std::string& text, size_t width) {
  size_t characters = 0;
  for (const char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return text + std::string(width > characters ? width - characters : 0, ' ') + " ";
}

void PrintStatus(TFormDBMonitor& db, const Clock& clock) {
  Table& games = db.CurrentGames;
  if (games.RecordCount() == 0) {
    std::cout << "No current games.\n";
    return;
  }
  static constexpr size_t kWidths[] = {8, 18, 20, 4, 19, 22, 18, 0};
  const std::string headers[] = {"Game",         "Map",
                                 "Competitor",   "Side",
                                 "My turn date", "Competitor's turn date",
                                 "Your time",    "Competitor's time"};
  auto printRow = [](const std::string(&cells)[8]) {
    std::string line;
    for (size_t i = 0; i < 8; ++i) line += Cell(cells[i], kWidths[i]);
    line.erase(line.find_last_not_of(' ') + 1);
    std::cout << line << "\n";
  };
  printRow(headers);
  const DateTime now = clock.Now();
  for (int r = 1; r <= games.RecordCount(); ++r) {
    games.SetRecNo(r);
    GameClock game;
    game.chessClock = games.Field("chess_clock").AsBool();
    game.newTurn = games.Field("new_turn").AsBool();
    game.turnLimit = static_cast<int>(games.Field("turn_limit").AsInt());
    game.ownTurnDate = games.Field("own_turn_date").AsDateTime();
    game.competitorTurnDate = games.Field("competitor_turn_date").AsDateTime();
    game.activeDeadline = games.Field("active_deadline").AsDateTime();
    game.passiveRemainingTime = games.Field("passive_remaining_time").AsInt();
    const RemainingTimeTexts times = RemainingTimes(now, game, kTimeFormat);
    printRow({games.Field("game_id").AsText(), games.Field("map_name").AsText(),
              games.Field("competitor_name").AsText(), games.Field("own_side").AsText(),
              DateText(games.Field("own_turn_date")), DateText(games.Field("competitor_turn_date")),
              times.yourTime, times.competitorTime});
  }
}

void PrintPlayer(Table& players) {
  if (!players.Locate("current", true)) {
    std::cout << "No monitored player.\n";
    return;
  }
  std::cout << "Alias: " << players.Field("alies").AsText() << "\n"
            << "Player ID: " << players.Field("player_id").AsText() << "\n"
            << "Glicko: " << players.Field("score_glicko").AsText() << "\n"
            << "Experience: " << players.Field("score_exp").AsText() << "\n";
}

int Watch(Monitor& monitor, const CommandLine& cl, Dialogs& dialogs) {
  if (monitor.MonitoredAlias.empty()) {
    dialogs.ShowError(kNoMonitoredPlayer);
    return 1;
  }
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
  int interval = monitor.TimerInterval();
  for (int tick = 0; !cl.ticks || tick < *cl.ticks; ++tick) {
    if (!Wait(std::chrono::milliseconds(interval))) break;
    interval = monitor.Timer1Timer();
    if (!monitor.FirstRun && cl.intervalSeconds) interval = *cl.intervalSeconds * 1000;
    if (interval == 0) break;  // no check period: the timer stops after its first tick
  }
  return 0;
}

int RunCommand(const CommandLine& cl, Monitor& monitor, TFormDBMonitor& db, const Clock& clock,
               Dialogs& dialogs) {
  const std::string& c = cl.command;
  const bool startUp =
      c == "load" || c == "check" || c == "watch" || c == "players" || c == "tournaments";
  if (startUp) monitor.PrepareStartup();
  if (c == "load") return monitor.LoadCurrentGames() ? 0 : 1;
  if (c == "check") return monitor.Check() ? 0 : 1;
  if (c == "watch") return Watch(monitor, cl, dialogs);
  if (c == "players") return monitor.UpdatePlayers() ? 0 : 1;
  if (c == "status") {
    PrintStatus(db, clock);
    return 0;
  }
  if (c == "player") {
    if (cl.alias && !monitor.SaveMonitoredPlayer(*cl.alias)) return 1;
    PrintPlayer(db.Players);
    return 0;
  }
  std::vector<std::string> names;
  if (!monitor.Tournaments(cl.refresh, names)) return 1;
  for (const std::string& name : names) std::cout << name << "\n";
  return 0;
}

}  // namespace

const char* UsageText() {
  return "Usage: tarn-monitor [--data-dir DIR] [--server HOST[:PORT]] [--demo] COMMAND\n"
         "\n"
         "Commands:\n"
         "  load                    load the current games and print the summary\n"
         "  check                   check the current games once and print what changed\n"
         "  watch [--interval SECONDS] [--ticks N]\n"
         "                          run the monitoring timer and print every message\n"
         "  status                  show the current games with the time left\n"
         "  player [ALIAS]          show the monitored player, or monitor ALIAS from now on\n"
         "  players                 refresh the stored players from the server\n"
         "  tournaments [--refresh] list the tournaments, fetching them when needed\n"
         "\n"
         "Options:\n"
         "  --data-dir DIR          the data folder (default: $TARN_MONITOR_DATA, a 'db' folder\n"
         "                          beside the program, or the user's data folder)\n"
         "  --server HOST[:PORT]    the game server (default: $TARN_SERVER or the built-in one)\n"
         "  --demo                  run against a simulated game server with fresh demo data\n"
         "  --help                  show this text\n";
}

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine cl;
  size_t i = 0;
  auto valueOf = [&](const std::string& option) {
    if (i + 1 >= args.size()) throw UsageError(option + " needs a value");
    return args[++i];
  };
  for (; i < args.size() && cl.command.empty(); ++i) {
    const std::string& a = args[i];
    if (a == "--data-dir") {
      cl.dataDir = valueOf(a);
    } else if (a == "--server") {
      cl.server = valueOf(a);
      try {
        ValidateServerHost(*cl.server);
      } catch (const std::invalid_argument& e) {
        throw UsageError(e.what());
      }
    } else if (a == "--demo") {
      cl.demo = true;
    } else if (a == "--help" || a == "-h") {
      cl.help = true;
    } else if (a.starts_with("-")) {
      throw UsageError("Unknown option '" + a + "'");
    } else {
      cl.command = a;
    }
  }
  const std::string& c = cl.command;
  if (!c.empty() && c != "load" && c != "check" && c != "watch" && c != "status" && c != "player" &&
      c != "players" && c != "tournaments") {
    throw UsageError("Unknown command '" + c + "'");
  }
  for (; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (c == "watch" && a == "--interval") {
      cl.intervalSeconds = ParseWholeNumber(a, valueOf(a), 1);
    } else if (c == "watch" && a == "--ticks") {
      cl.ticks = ParseWholeNumber(a, valueOf(a), 1);
    } else if (c == "tournaments" && a == "--refresh") {
      cl.refresh = true;
    } else if (c == "player" && !cl.alias && !a.starts_with("-")) {
      cl.alias = a;
    } else {
      throw UsageError("Unexpected '" + a + "' after " + c);
    }
  }
  return cl;
}

int RunCommandLine(const CommandLine& cl, const std::string& executablePath) {
  ConsoleDialogs dialogs;
  try {
    SystemEnvironment environment;
    std::optional<DemoServer> demo;
    std::optional<std::string> dataDirOption = cl.dataDir;
    std::optional<std::string> serverOption = cl.server;
    if (cl.demo) {
      demo.emplace();
      if (!dataDirOption) dataDirOption = demo->DataDir().string();
      serverOption = demo->Host();
    }
    const std::filesystem::path dataDir = ResolveDataDir(
        dataDirOption ? std::optional<std::filesystem::path>(*dataDirOption) : std::nullopt,
        environment, std::filesystem::path(executablePath).parent_path());
    const DataDirLock lock(dataDir);
    const std::string host = ResolveServerHost(serverOption, environment);

    SystemClock clock;
    TFormDBMonitor db(dialogs, clock);
    db.FormCreate(dataDir);
    const std::unique_ptr<Http> http = MakeCurlHttp();
    HttpXmlLoader loader(*http);
    const std::unique_ptr<Registry> registry = MakeSystemRegistry(environment);
    const OsTimeZone timeZone;
    Monitor monitor(
        {db, loader, dialogs, clock, environment, *registry, timeZone, host, kTimeFormat});
    if (cl.demo && (cl.command == "status" || (cl.command == "player" && !cl.alias))) {
      // A demo folder is new on every run: the games are loaded first so there is something
      // to show.
      monitor.PrepareStartup();
      monitor.LoadCurrentGames();
    }
    ConsoleAlerts printer(monitor.Alerts());
    monitor.Alerts().SetView(&printer);

    const int status = RunCommand(cl, monitor, db, clock, dialogs);
    db.Close();
    return status;
  } catch (const std::exception& e) {
    dialogs.ShowError(e.what());
    return 1;
  }
}

}  // namespace tarn
