#include "game/game_client_settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/fakes.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

using testing::FakeEnvironment;
using testing::TempDir;

TEST(GameClientSettingsTest, TheLastNetworkAliasComesFromTheSettingsFileInTheProfile) {
  TempDir profile;
  const FakeEnvironment env{{"USERPROFILE", profile.Path().string()}};
  EXPECT_EQ(ReadLastNetworkAlias(env), "");

  std::filesystem::create_directories(profile / "Tarn Frontlines");
  testing::WriteText(profile / "Tarn Frontlines" / "settings.ini",
                     "[graphics]\r\nwidth=800\r\n[Misc]\r\nlast_network_alias = alpha \r\n");
  EXPECT_EQ(ReadLastNetworkAlias(env), "alpha");

  EXPECT_EQ(ReadLastNetworkAlias(FakeEnvironment{}), "");
}

}  // namespace
}  // namespace tarn
