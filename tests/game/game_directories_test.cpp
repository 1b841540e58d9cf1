#include "game/game_directories.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/fakes.h"

namespace tarn {
namespace {

using testing::FakeEnvironment;

// A registry holding at most the game's key, which answers only for that key and value name.
class GameKeyRegistry : public Registry {
 public:
  std::optional<std::string> ReadLocalMachineString(std::string_view keyPath,
                                                    std::string_view valueName) const override {
    if (!keyOpens || keyPath != kGameRegistryKey) return std::nullopt;
    return valueName == kGameRegistryValue ? gameDir.value_or("") : "";
  }

  bool keyOpens = true;
  std::optional<std::string> gameDir;
};

using Rows = std::vector<std::vector<Value>>;
using Texts = std::vector<std::vector<std::string>>;

class DefaultGameDirectoriesTest : public ::testing::Test {
 protected:
  // The rows as texts after the defaults were filled in.
  Texts Run(Rows rows) {
    userSettings.Load(std::move(rows));
    DefaultGameDirectories(userSettings, registry, env);
    Texts texts;
    for (const auto& row : userSettings.Rows()) texts.push_back({row[0].AsText(), row[1].AsText()});
    return texts;
  }

  Table userSettings{"UserSettings",
                     {{"Name", ColumnType::Text, 50}, {"Value", ColumnType::Text, 255}}};
  GameKeyRegistry registry;
  FakeEnvironment env{{"USERPROFILE", "/home/alpha/"}};
  const std::string sep{static_cast<char>(std::filesystem::path::preferred_separator)};
};

TEST_F(DefaultGameDirectoriesTest, EmptySettingsAreFilledFromTheRegistryAndTheProfile) {
  registry.gameDir = "C:\\Games\\Tarn";
  EXPECT_EQ(Run({{"tarndir", ""}, {"other", ""}, {"replaydir", Value()}}),
            (Texts{{"tarndir", "C:\\Games\\Tarn"},
                   {"other", ""},
                   {"replaydir", "/home/alpha" + sep + "Tarn Frontlines" + sep + "replays"}}));
  EXPECT_TRUE(userSettings.Changed());
}

TEST_F(DefaultGameDirectoriesTest, TheGameKeyWithoutItsValueStoresAnEmptyFolder) {
  EXPECT_EQ(Run({{"tarndir", ""}}), (Texts{{"tarndir", ""}}));
  EXPECT_TRUE(userSettings.Changed());
}

TEST_F(DefaultGameDirectoriesTest, NothingIsWrittenWithoutKeyOrProfileOrEmptyRow) {
  registry.keyOpens = false;
  env.variables.clear();  // no profile folder of any kind
  EXPECT_EQ(Run({{"tarndir", ""}, {"replaydir", ""}}), (Texts{{"tarndir", ""}, {"replaydir", ""}}));
  EXPECT_FALSE(userSettings.Changed());

  registry.keyOpens = true;
  registry.gameDir = "C:\\Other";
  env.variables["USERPROFILE"] = "/home/alpha";
  EXPECT_EQ(Run({{"tarndir", "/opt/tarn"}, {"replaydir", "/r"}}),
            (Texts{{"tarndir", "/opt/tarn"}, {"replaydir", "/r"}}));
  // Names are matched exactly; missing rows are not created.
  EXPECT_EQ(Run({{"TarnDir", ""}, {"replaydir ", ""}}),
            (Texts{{"TarnDir", ""}, {"replaydir ", ""}}));
  EXPECT_FALSE(userSettings.Changed());
}

}  // namespace
}  // namespace tarn
