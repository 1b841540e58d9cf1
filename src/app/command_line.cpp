#include "app/command_line.h"

#include <limits>
#include <string_view>

#include "app/console_dialogs.h"
#include "app/demo.h"
#include "app/monitor.h"
#include "app/remaining_time.h"
#include "base/numbers.h"
#include "base/text.h"
#include "platform/clock.h"
#include "platform/data_dir.h"
#include "platform/environment.h"
#include "platform/http.h"
#include "platform/registry.h"
#include "platform/system_time_zone.h"
#include "platform/xml.h"
#include "server/server_address.h"
#include "store/db_monitor.h"

namespace tarn {
namespace {

constexpr const char* kDateFormat = "yyyy-MM-dd";
constexpr const char* kTimeFormat = "HH:mm:ss";
// The longest --interval: a week, as for the check period of the settings.
constexpr int kLongestIntervalSeconds = 7 * 24 * 60 * 60;

// The arguments after a command's name, taken one by one.
class Arguments {
 public:
  Arguments(const std::vector<std::string>& args, size_t next) : args_(args), next_(next) {}
  bool Done() const { return next_ >= args_.size(); }
  const std::string& Next() { return args_[next_++]; }
  const std::string& ValueOf(const std::string& option) {
    if (Done()) throw UsageError(option + " needs a value");
    return Next();
  }

 private:
  const std::vector<std::string>& args_;
  size_t next_;
};

int ParseWholeNumber(const std::string& option, const std::string& text, int minimum, int maximum) {
  const std::optional<int64_t> value = tarn::ParseWholeNumber(text);
  if (!value || *value < minimum || *value > maximum) {
    throw UsageError(option + " takes a whole number from " + std::to_string(minimum) + " to " +
                     std::to_string(maximum) + ", not '" + text + "'");
  }
  return static_cast<int>(*value);
}

// Prints each notification once, as one line, when the monitor shows them.
class ConsoleAlerts : public AlertWindowView {
 public:
  ConsoleAlerts(AlertMessages& alerts, std::ostream& out)
      : alerts_(alerts), out_(out), printed_(alerts.Added()) {}
  void ShowRequested() override {
    const TAlertMessages& messages = alerts_.Messages();
    const int fresh = static_cast<int>(alerts_.Added() - printed_);
    for (int i = std::max(0, messages.Count() - fresh); i < messages.Count(); ++i) {
      out_ << OneLineText(messages.Item(i)) << "\n";
    }
    out_.flush();
    printed_ = alerts_.Added();
  }
  void CloseRequested() override {}

 private:
  AlertMessages& alerts_;
  std::ostream& out_;
  int64_t printed_;
};

std::string DateText(const Value& value) {
  return value.IsNull() ? ""
                        : value.AsDateTime().Format(std::string(kDateFormat) + " " + kTimeFormat);
}

// A column of the status table: the text padded to a width counted in characters, not bytes,
// so names with letters beyond ASCII keep the columns straight.
std::string Cell(const std::string& text, size_t width) {
  const size_t characters = CodePointCount(text);
  return text + std::string(width > characters ? width - characters : 0, ' ') + " ";
}

bool EveryTableOpen(const TFormDBMonitor& db) {
  for (const Table* table :
       {&db.Players, &db.Maps, &db.CurrentGames, &db.GlobalSettings, &db.InterfaceSettings,
        &db.UserSettings, &db.PlayerGames, &db.Tournaments}) {
    if (!table->Active()) return false;
  }
  return true;
}

// One run of a command: the command line and everything the commands work on.
struct CommandRun {
  const CommandLine& cl;
  const Console& console;
  Monitor& monitor;
  TFormDBMonitor& db;
  const Clock& clock;
  Dialogs& dialogs;
};

int Load(CommandRun& run) { return run.monitor.LoadCurrentGames() ? 0 : 1; }
int Check(CommandRun& run) { return run.monitor.Check() ? 0 : 1; }
int Players(CommandRun& run) { return run.monitor.UpdatePlayers() ? 0 : 1; }

int Watch(CommandRun& run) {
  Monitor& monitor = run.monitor;
  if (monitor.MonitoredAlias.empty()) {
    run.dialogs.ShowError(kNoMonitoredPlayer);
    return 1;
  }
  std::chrono::milliseconds interval(monitor.TimerInterval());
  for (int tick = 0; !run.cl.ticks || tick < *run.cl.ticks; ++tick) {
    if (!run.console.wait(interval)) break;
    interval = std::chrono::milliseconds(monitor.Timer1Timer());
    // The option paces the retries of a first load that failed as well as the checks.
    if (run.cl.intervalSeconds) interval = std::chrono::seconds(*run.cl.intervalSeconds);
    if (interval.count() == 0) break;  // no check period: the timer stops after its first tick
  }
  return 0;
}

int Status(CommandRun& run) {
  std::ostream& out = run.console.out;
  Table& games = run.db.CurrentGames;
  if (games.RecordCount() == 0) {
    out << "No current games.\n";
    return 0;
  }
  static constexpr size_t kWidths[] = {8, 18, 20, 4, 19, 22, 18, 0};
  const std::string headers[] = {"Game",         "Map",
                                 "Competitor",   "Side",
                                 "My turn date", "Competitor's turn date",
                                 "Your time",    "Competitor's time"};
  auto printRow = [&out](const std::string(&cells)[8]) {
    std::string line;
    for (size_t i = 0; i < 8; ++i) line += Cell(cells[i], kWidths[i]);
    line.erase(line.find_last_not_of(' ') + 1);
    out << line << "\n";
  };
  printRow(headers);
  const DateTime now = run.clock.Now();
  const std::unique_ptr<Cursor> rows = games.CreateCursor();
  for (rows->First(); !rows->Eof(); rows->Next()) {
    const RemainingTimeTexts times = RemainingTimes(now, CurrentGameClock(*rows), kTimeFormat);
    printRow({rows->Field("game_id").AsText(), rows->Field("map_name").AsText(),
              rows->Field("competitor_name").AsText(), rows->Field("own_side").AsText(),
              DateText(rows->Field("own_turn_date")), DateText(rows->Field("competitor_turn_date")),
              times.yourTime, times.competitorTime});
  }
  return 0;
}

int Player(CommandRun& run) {
  if (run.cl.alias && !run.monitor.SaveMonitoredPlayer(*run.cl.alias)) return 1;
  Table& players = run.db.Players;
  std::ostream& out = run.console.out;
  if (!players.Locate("current", true)) {
    out << "No monitored player.\n";
    return 0;
  }
  out << "Alias: " << players.Field("alies").AsText() << "\n"
      << "Player ID: " << players.Field("player_id").AsText() << "\n"
      << "Glicko: " << players.Field("score_glicko").AsText() << "\n"
      << "Experience: " << players.Field("score_exp").AsText() << "\n";
  return 0;
}

int Tournaments(CommandRun& run) {
  std::vector<std::string> names;
  if (!run.monitor.Tournaments(run.cl.refresh, names)) return 1;
  for (const std::string& name : names) run.console.out << name << "\n";
  return 0;
}

bool WatchArgument(CommandLine& cl, const std::string& a, Arguments& args) {
  if (a == "--interval") {
    cl.intervalSeconds = ParseWholeNumber(a, args.ValueOf(a), 1, kLongestIntervalSeconds);
  } else if (a == "--ticks") {
    cl.ticks = ParseWholeNumber(a, args.ValueOf(a), 1, std::numeric_limits<int>::max());
  } else {
    return false;
  }
  return true;
}

bool PlayerArgument(CommandLine& cl, const std::string& a, Arguments&) {
  if (cl.alias || a.starts_with("-")) return false;
  cl.alias = a;
  return true;
}

bool TournamentsArgument(CommandLine& cl, const std::string& a, Arguments&) {
  cl.refresh = a == "--refresh";
  return cl.refresh;
}

struct CommandInfo {
  std::string_view name;
  std::string_view arguments;  // as the usage text shows them
  std::string_view description;
  // Runs the start-up first (player, periods, tournaments). The others show what is stored.
  bool startUp;
  // Takes one argument after the command's name; false when it is none of the command's.
  bool (*takeArgument)(CommandLine& cl, const std::string& argument, Arguments& args);
  int (*run)(CommandRun& run);
};

constexpr CommandInfo kCommands[] = {
    {"load", "", "load the current games and print the summary", true, nullptr, Load},
    {"check", "", "check the current games once and print what changed", true, nullptr, Check},
    {"watch", "[--interval SECONDS] [--ticks N]",
     "run the monitoring timer and print every message", true, WatchArgument, Watch},
    {"status", "", "show the current games with the time left", false, nullptr, Status},
    {"player", "[ALIAS]", "show the monitored player, or monitor ALIAS from now on", false,
     PlayerArgument, Player},
    {"players", "", "refresh the stored players from the server", true, nullptr, Players},
    {"tournaments", "[--refresh]", "list the tournaments, fetching them when needed", true,
     TournamentsArgument, Tournaments},
};

const CommandInfo* FindCommand(std::string_view name) {
  for (const CommandInfo& command : kCommands) {
    if (command.name == name) return &command;
  }
  return nullptr;
}

// Ctrl+C while a command runs: it ends as soon as the running request gives up.
int ExitStatus(int status, const Console& console) {
  return console.interrupted ? kInterruptedStatus : status;
}

int RunCommand(CommandRun& run) {
  const CommandInfo& command = *FindCommand(run.cl.command);
  if (command.startUp) run.monitor.PrepareStartup();
  return command.run(run);
}

}  // namespace

std::string UsageText() {
  constexpr size_t kDescriptionColumn = 26;
  std::string text =
      "Usage: tarn-monitor [--data-dir DIR] [--server HOST[:PORT]] [--demo] COMMAND\n"
      "\n"
      "Commands:\n";
  for (const CommandInfo& command : kCommands) {
    std::string synopsis = "  " + std::string(command.name);
    if (!command.arguments.empty()) synopsis += " " + std::string(command.arguments);
    synopsis += synopsis.size() < kDescriptionColumn
                    ? std::string(kDescriptionColumn - synopsis.size(), ' ')
                    : "\n" + std::string(kDescriptionColumn, ' ');
    text += synopsis + std::string(command.description) + "\n";
  }
  return text +
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
  Arguments rest(args, 0);
  while (!rest.Done() && cl.command.empty()) {
    const std::string& a = rest.Next();
    if (a == "--data-dir") {
      cl.dataDir = rest.ValueOf(a);
      if (cl.dataDir->empty()) throw UsageError("--data-dir needs a folder");
    } else if (a == "--server") {
      cl.server = rest.ValueOf(a);
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
  if (cl.demo && cl.server) {
    throw UsageError("--demo runs a simulated server of its own and takes no --server");
  }
  if (cl.command.empty()) return cl;
  const CommandInfo* command = FindCommand(cl.command);
  if (!command) throw UsageError("Unknown command '" + cl.command + "'");
  while (!rest.Done()) {
    const std::string& a = rest.Next();
    if (!command->takeArgument || !command->takeArgument(cl, a, rest)) {
      throw UsageError("Unexpected '" + a + "' after " + cl.command);
    }
  }
  return cl;
}

int RunCommandLine(const CommandLine& cl, const Console& console) {
  ConsoleDialogs dialogs(console.err);
  try {
    std::optional<DemoServer> demo;
    std::optional<std::string> dataDirOption = cl.dataDir;
    std::optional<std::string> serverOption = cl.server;
    std::map<std::string, std::string> demoVariables;
    if (cl.demo) {
      demo.emplace();
      if (!dataDirOption) dataDirOption = demo->DataDir().string();
      serverOption = demo->Host();
      demoVariables["USERPROFILE"] = demo->ProfileDir().string();
    }
    const OverlayEnvironment environment(console.environment, std::move(demoVariables));
    const std::filesystem::path dataDir = ResolveDataDir(
        dataDirOption ? std::optional<std::filesystem::path>(*dataDirOption) : std::nullopt,
        environment, console.executablePath.parent_path());
    const DataDirLock lock(dataDir);
    const std::string host = ResolveServerHost(serverOption, environment);

    SystemClock clock;
    TFormDBMonitor db(dialogs, clock);
    db.FormCreate(dataDir);
    // A table that could not be opened has been reported; running on without it would only
    // add errors that follow from it.
    if (!EveryTableOpen(db)) {
      console.err << "Nothing was changed. Repair the file, or move it away to start its table "
                     "afresh.\n";
      return 1;
    }
    const std::unique_ptr<Http> http = MakeCurlHttp();
    HttpXmlLoader loader(*http);
    const std::unique_ptr<Registry> registry = MakeSystemRegistry(environment);
    const OsTimeZone timeZone;
    Monitor monitor(
        {db, loader, dialogs, clock, environment, *registry, timeZone, host, kTimeFormat});
    CommandRun run{cl, console, monitor, db, clock, dialogs};
    if (cl.demo && !FindCommand(cl.command)->startUp && !cl.alias) {
      // A demo folder is new on every run: the games are loaded first so there is something
      // to show.
      monitor.PrepareStartup();
      monitor.LoadCurrentGames();
    }
    ConsoleAlerts printer(monitor.Alerts(), console.out);
    monitor.Alerts().SetView(&printer);

    const int status = RunCommand(run);
    db.Close();
    return ExitStatus(status, console);
  } catch (const std::exception& e) {
    dialogs.ShowError(e.what());
    return ExitStatus(1, console);
  }
}

}  // namespace tarn
