#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "sim/sim_server.h"
#include "sim/world.h"
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
  };
  for (const auto& args : bad) {
    EXPECT_THROW(ParseCommandLine(args), UsageError) << ::testing::PrintToString(args);
  }
}

// The whole program against the simulated server: its files, its output and its exit status.
TEST(CommandLineTest, LoadCheckAndStatusAgainstTheServer) {
  sim::World world;
  world.monitoredPlayerId = 42;
  sim::SimPlayer alpha, beta;
  alpha.id = 42;
  alpha.alias = "alpha";
  beta.id = 7;
  beta.alias = "beta";
  world.AddPlayer(alpha);
  world.AddPlayer(beta);
  sim::SimGame game;
  game.id = 100;
  game.planet = "eden";
  game.players[0] = {42, "pl", sim::kRunning, 2, sim::SimNow() - std::chrono::hours(2)};
  game.players[1] = {7, "fnu", sim::kRunning, 2, sim::SimNow() - std::chrono::hours(1)};
  world.StartGame(game);
  sim::SimServer server(world);
  server.Start();

  testing::TempDir dir;
  std::filesystem::create_directories(dir / "profile" / "Tarn Frontlines");
  testing::WriteText(dir / "profile" / "Tarn Frontlines" / "settings.ini",
                     "[misc]\nlast_network_alias=alpha\n");
  setenv("USERPROFILE", (dir / "profile").c_str(), 1);
  auto run = [&](std::vector<std::string> args) {
    args.insert(args.begin(), {"--data-dir", (dir / "data").string(), "--server",
                               "127.0.0.1:" + std::to_string(server.Port())});
    ::testing::internal::CaptureStdout();
    const int status = RunCommandLine(ParseCommandLine(args), (dir / "tarn-monitor").string());
    return std::make_pair(status, ::testing::internal::GetCapturedStdout());
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
    std::vector<std::string> args = {"--data-dir", (dir / "empty").string(), "--server",
                                     "127.0.0.1:" + std::to_string(server.Port()), command};
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunCommandLine(ParseCommandLine(args), (dir / "tarn-monitor").string()), 1)
        << command;
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("No player is monitored yet"),
              std::string::npos)
        << command;
  }
  unsetenv("USERPROFILE");
}

}  // namespace
}  // namespace tarn
