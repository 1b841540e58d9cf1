// Faults in their written form, as scenarios and tarn-sim's options give them.
#include "sim/fault.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sim/sim_options.h"

namespace tarn::sim {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;

void ExpectSame(const Fault& actual, const Fault& expected) {
  EXPECT_EQ(actual.delay, expected.delay);
  EXPECT_EQ(actual.status, expected.status);
  EXPECT_EQ(actual.body, expected.body);
  EXPECT_EQ(actual.bytesPerSecond, expected.bytesPerSecond);
}

TEST(FaultTextTest, ReadsEveryKindAndCombinations) {
  const std::pair<const char*, Fault> cases[] = {
      {"delay:3000", {.delay = 3000ms}},
      {"status:503", {.status = 503}},
      {"slow:2000", {.bytesPerSecond = 2000}},
      {"malformed", {.body = Fault::Body::Malformed}},
      {"truncated", {.body = Fault::Body::Truncated}},
      {"closed", {.body = Fault::Body::ClosedConnection}},
      {"error_page", {.body = Fault::Body::ErrorPage}},
      {"other_player", {.body = Fault::Body::OtherPlayer}},
      {"extra_player", {.body = Fault::Body::ExtraPlayer}},
      {"endless", {.body = Fault::Body::Endless}},
      {"endless,slow:200", {.body = Fault::Body::Endless, .bytesPerSecond = 200}},
      {"status:500,delay:0,truncated,slow:1",
       {.status = 500, .body = Fault::Body::Truncated, .bytesPerSecond = 1}},
  };
  for (const auto& [text, fault] : cases) {
    SCOPED_TRACE(text);
    ExpectSame(ParseFault(text), fault);
  }
}

TEST(FaultTextTest, BadFaultsSayWhy) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "no fault given"},
      {"slow", "\"slow\" needs a number from 1"},
      {"slow:0", "\"slow:0\" needs a number from 1"},
      {"slow:fast", "\"slow:fast\" needs a number"},
      {"delay:-5", "\"delay:-5\" needs a number from 0 to 600000"},
      {"delay:3000ms", "\"delay:3000ms\" needs a number"},
      {"status:99", "from 100 to 599"},
      {"status:600", "from 100 to 599"},
      {"closed:1", "\"closed\" takes no value"},
      {"malformed,endless", "one kind of answer at a time"},
      {"delay:1,delay:2", "\"delay\" given twice"},
      {"delay:1,", "nothing after the last \",\""},
      {"Closed", "unknown fault \"Closed\"; known: delay:MS"},
      {"hang", "unknown fault \"hang\""},
  };
  for (const auto& [text, reason] : cases) {
    EXPECT_THAT([&] { ParseFault(text); }, ::testing::ThrowsMessage<FaultError>(HasSubstr(reason)))
        << text;
  }
}

TEST(FaultTextTest, KeysAreAModeOrAServedPath) {
  EXPECT_EQ(ParseFaultKey("mode=player_info"), XmlModeKey("player_info"));
  for (const char* path : {kXmlPath, kReplayPreparationPath, kReplayFilesPath, kHomePath}) {
    EXPECT_EQ(ParseFaultKey(path), path);
  }
  const std::pair<const char*, const char*> bad[] = {
      {"mode=", "no mode name"},
      {"mode=Player Info", "no mode name"},
      {"player_info", "unknown request key \"player_info\""},
      {"/tarn/gamereplays", "unknown request key"},
      {"", "unknown request key"},
  };
  for (const auto& [text, reason] : bad) {
    EXPECT_THAT([&] { ParseFaultKey(text); },
                ::testing::ThrowsMessage<FaultError>(HasSubstr(reason)))
        << text;
  }
}

TEST(SimOptionsTest, FaultsAreRepeatableKeyEqualsKind) {
  const SimOptions options =
      ParseSimOptions({"--demo", "--fault", "mode=player_info=other_player", "--port", "0",
                       "--fault", "/tarn/gamereplays/=slow:2000,delay:100"});
  EXPECT_TRUE(options.demo);
  EXPECT_EQ(options.port, 0);
  ASSERT_EQ(options.faults.size(), 2u);
  ExpectSame(options.faults.at(XmlModeKey("player_info")), {.body = Fault::Body::OtherPlayer});
  ExpectSame(options.faults.at(kReplayFilesPath), {.delay = 100ms, .bytesPerSecond = 2000});
  EXPECT_TRUE(ParseSimOptions({"--scenario", "world.json"}).faults.empty());
}

TEST(SimOptionsTest, BadCommandLinesSayWhy) {
  struct Case {
    std::vector<std::string> args;
    const char* reason;
  };
  const Case cases[] = {
      {{"--demo", "--fault"}, "--fault needs a value"},
      {{"--demo", "--fault", "closed"}, "--fault needs KEY=KIND, not \"closed\""},
      {{"--demo", "--fault", "mode=player_info"}, "--fault needs KEY=KIND"},
      {{"--demo", "--fault", "/tarn/replays/=closed"}, "--fault /tarn/replays/=closed: unknown"},
      {{"--demo", "--fault", "mode=games_all=slow"}, "\"slow\" needs a number"},
      {{"--demo", "--fault", "mode=games_all=closed", "--fault", "mode=games_all=delay:9"},
       "given twice"},
      {{"--demo", "--port", "http"}, "--port needs a number from 0 to 65535, not \"http\""},
      {{"--demo", "--timeline", "0"}, "--timeline needs a number from 1"},
      {{"--demo", "--verbose"}, "unknown option \"--verbose\""},
      {{}, "give either --scenario FILE or --demo"},
      {{"--demo", "--scenario", "world.json"}, "give either --scenario FILE or --demo"},
  };
  for (const Case& c : cases) {
    EXPECT_THAT([&] { ParseSimOptions(c.args); },
                ::testing::ThrowsMessage<SimUsageError>(HasSubstr(c.reason)))
        << ::testing::PrintToString(c.args);
  }
}

}  // namespace
}  // namespace tarn::sim
