#include "app/command_line.h"

#include <gtest/gtest.h>

#include <sstream>
#include <thread>

#include "sim/sim_server.h"
#include "sim/world.h"
#include "support/fakes.h"
#include "support/sim_worlds.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

TEST(CommandLineTest, ParsesOptionsCommandsAndTheirArguments) {
  const CommandLine watch = ParseCommandLine(
      {"--data-dir", "/d", "--server", "h:1", "watch", "--interval", "5", "--ticks", "3"});
  EXPECT_EQ(watch.dataDir, "/d");
  EXPECT_EQ(watch.server, "h:1");
  EXPECT_EQ(watch.command, "watch");
  EXPECT_EQ(watch.intervalSeconds, 5);
  EXPECT_EQ(watch.ticks, 3);
  EXPECT_EQ(ParseCommandLine({"--demo", "player", "Lion's Mane"}).alias, "Lion's Mane");
  EXPECT_TRUE(ParseCommandLine({"tournaments", "--refresh"}).refresh);
  EXPECT_TRUE(ParseCommandLine({"--help"}).help);
  EXPECT_EQ(ParseCommandLine({}).command, "");
}

TEST(CommandLineTest, RefusesWhatItDoesNotUnderstand) {
  const std::vector<std::vector<std::string>> bad = {
      {"--data-dir"},
      {"--bogus", "load"},
      {"fly"},
      {"load", "extra"},
      {"watch", "--interval"},
      {"watch", "--interval", "0"},
      {"watch", "--ticks", "x"},
      {"watch", "--ticks", "2x"},
      {"player", "a", "b"},
      {"check", "--refresh"},
      {"--server", "http://x", "load"},
      {"--server", "x:99999", "load"},
      // milliseconds of these would not fit an int
      {"watch", "--interval", "2147484"},
      {"watch", "--interval", "604801"},
      {"--demo", "--server", "h:1", "load"},
      {"--data-dir", "", "load"},
  };
  for (const auto& args : bad) {
    EXPECT_THROW(ParseCommandLine(args), UsageError) << ::testing::PrintToString(args);
  }
}

// The program's streams, environment and waits, kept for the test to read.
struct TestConsole {
  int Run(const std::vector<std::string>& args) {
    out.str("");
    err.str("");
    waits.clear();
    interrupted = false;
    return RunCommandLine(ParseCommandLine(args),
                          {out, err, environment, "/nowhere/tarn-monitor", interrupted,
                           [this](std::chrono::milliseconds ms) {
                             waits.push_back(ms);
                             return true;
                           }});
  }

  std::ostringstream out;
  std::ostringstream err;
  testing::FakeEnvironment environment;
  std::vector<std::chrono::milliseconds> waits;
  std::atomic<bool> interrupted{false};
};

// alpha (42) plays beta (7) on Eden.
sim::World TwoPlayerWorld() {
  sim::World world;
  world.monitoredPlayerId = 42;
  world.AddPlayer(testing::MakePlayer(42, "alpha"));
  world.AddPlayer(testing::MakePlayer(7, "beta"));
  world.StartGame(testing::MakeGame(100, 42, "pl", 7, "eden"));
  return world;
}

// A data folder, a game client that names alpha, and the program run over them.
class CommandLineRunTest : public ::testing::Test {
 protected:
  CommandLineRunTest() : server_(TwoPlayerWorld()) {
    server_.Start();
    std::filesystem::create_directories(dir_ / "profile" / "Tarn Frontlines");
    testing::WriteText(dir_ / "profile" / "Tarn Frontlines" / "settings.ini",
                       "[misc]\nlast_network_alias=alpha\n");
    console_.environment.variables["USERPROFILE"] = (dir_ / "profile").string();
  }
  int Run(std::vector<std::string> args, const std::string& dataDir = "data") {
    args.insert(args.begin(), {"--data-dir", (dir_ / dataDir).string(), "--server",
                               "127.0.0.1:" + std::to_string(server_.Port())});
    return console_.Run(args);
  }

  sim::SimServer server_;
  testing::TempDir dir_;
  TestConsole console_;
};

TEST_F(CommandLineRunTest, NamingAPlayerOnANewFolderKeepsHisTurnDatesInTheDecidedZone) {
  EXPECT_EQ(Run({"player", "alpha"}), 0);
  EXPECT_EQ(Run({"check"}), 0);
  EXPECT_EQ(console_.out.str(), "");  // nothing moved, so nothing is announced
  EXPECT_EQ(Run({"load"}), 0);
  EXPECT_NE(console_.out.str().find("New games: 0 Updated games: 0 Finished games: 0"),
            std::string::npos)
      << console_.out.str();
}

TEST_F(CommandLineRunTest, ABrokenTableFileIsTheOneErrorOfACommand) {
  ASSERT_EQ(Run({"load"}), 0);
  for (const char* file : {"globalsettings.cds", "players.cds"}) {
    const std::filesystem::path path = dir_ / "data" / "db" / file;
    ASSERT_TRUE(std::filesystem::is_regular_file(path)) << path;
    const std::string good = testing::ReadText(path);
    testing::WriteText(path, "{\"table\": broken");
    for (const char* command : {"check", "status", "player"}) {
      EXPECT_EQ(Run({command}), 1) << file << " " << command;
      const std::string err = console_.err.str();
      EXPECT_EQ(err.find("Error: "), err.rfind("Error: ")) << err;
      EXPECT_NE(err.find("Cannot open file"), std::string::npos) << err;
      EXPECT_EQ(testing::ReadText(path), "{\"table\": broken");
    }
    testing::WriteText(path, good);
  }
}

TEST_F(CommandLineRunTest, WatchPacesTheRetriesOfAFailedFirstLoadByItsInterval) {
  server_.SetFault(sim::kXmlPath, sim::Fault{std::chrono::milliseconds(0), 503});
  EXPECT_EQ(Run({"watch", "--interval", "2", "--ticks", "3"}), 0);
  using std::chrono::milliseconds;
  EXPECT_EQ(console_.waits,
            (std::vector{milliseconds(1000), milliseconds(2000), milliseconds(2000)}));
}

TEST_F(CommandLineRunTest, CtrlCBreaksOffAHangingRequestAndLeavesTheTablesWhole) {
  ASSERT_EQ(Run({"load"}), 0);
  server_.SetFault(sim::XmlModeKey("games_current"), sim::Fault{std::chrono::seconds(20)});
  std::thread pressCtrlC([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    console_.interrupted = true;
  });
  EXPECT_EQ(Run({"check"}), kInterruptedStatus);
  pressCtrlC.join();
  EXPECT_NE(console_.err.str().find("cancelled"), std::string::npos) << console_.err.str();
  server_.ClearFaults();
  EXPECT_EQ(Run({"status"}), 0);
  EXPECT_NE(console_.out.str().find("Eden"), std::string::npos);
  EXPECT_EQ(console_.err.str(), "");
}

TEST_F(CommandLineRunTest, PlayersFailsWhenThePlayerCannotBeRead) {
  server_.SetFault(sim::kXmlPath, sim::Fault{std::chrono::milliseconds(0), 500});
  EXPECT_EQ(Run({"players"}), 1);
  EXPECT_NE(console_.err.str().find("Players were updated"), std::string::npos);
  EXPECT_NE(console_.err.str().find(" does not allowed\n"), std::string::npos);
}

TEST(CommandLineTest, TheDemoRunsOnItsOwnProfileAndServer) {
  TestConsole console;
  EXPECT_EQ(console.Run({"--demo", "player"}), 0);
  EXPECT_NE(console.out.str().find("Alias: Vesper\n"), std::string::npos) << console.err.str();
}

// The whole program against the simulated server: its files, its output and its exit status.
TEST(CommandLineTest, LoadCheckAndStatusAgainstTheServer) {
  sim::SimServer server(TwoPlayerWorld());
  server.Start();

  testing::TempDir dir;
  std::filesystem::create_directories(dir / "profile" / "Tarn Frontlines");
  testing::WriteText(dir / "profile" / "Tarn Frontlines" / "settings.ini",
                     "[misc]\nlast_network_alias=alpha\n");
  TestConsole console;
  console.environment.variables["USERPROFILE"] = (dir / "profile").string();
  auto run = [&](std::vector<std::string> args) {
    args.insert(args.begin(), {"--data-dir", (dir / "data").string(), "--server",
                               "127.0.0.1:" + std::to_string(server.Port())});
    const int status = console.Run(args);
    return std::make_pair(status, console.out.str());
  };

  auto [status, out] = run({"load"});
  EXPECT_EQ(status, 0);
  EXPECT_NE(out.find(" Checking result: New games: 0 Updated games: 0 Finished games: 0\n"),
            std::string::npos)
      << out;

  std::tie(status, out) = run({"check"});
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out, "");

  server.Edit([](sim::World& w) { w.MoveCompetitor(100); });
  std::tie(status, out) = run({"check"});
  EXPECT_EQ(status, 0);
  EXPECT_NE(out.find(" Updated game: with beta on Eden\n"), std::string::npos) << out;

  std::tie(status, out) = run({"status"});
  EXPECT_EQ(status, 0);
  EXPECT_NE(out.find("Eden"), std::string::npos) << out;

  std::tie(status, out) = run({"watch", "--interval", "1", "--ticks", "2"});
  EXPECT_EQ(status, 0);
  EXPECT_NE(out.find(" Checking result: New games: 0 Updated games: 0 Finished games: 0\n"),
            std::string::npos)
      << out;

  std::tie(status, out) = run({"player"});
  EXPECT_EQ(status, 0);
  EXPECT_NE(out.find("Alias: alpha\n"), std::string::npos) << out;

  server.SetFault(sim::kXmlPath, sim::Fault{std::chrono::milliseconds(0), 500});
  std::tie(status, out) = run({"check"});
  EXPECT_EQ(status, 1);

  // A data folder whose game client names nobody: the commands that need a player say so.
  testing::WriteText(dir / "profile" / "Tarn Frontlines" / "settings.ini", "[misc]\n");
  server.ClearFaults();
  for (const char* command : {"load", "check", "watch"}) {
    EXPECT_EQ(console.Run({"--data-dir", (dir / "empty").string(), "--server",
                           "127.0.0.1:" + std::to_string(server.Port()), command}),
              1)
        << command;
    EXPECT_NE(console.err.str().find("No player is monitored yet"), std::string::npos) << command;
  }
}

}  // namespace
}  // namespace tarn
