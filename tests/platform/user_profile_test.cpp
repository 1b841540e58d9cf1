#include "platform/user_profile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/fakes.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

using testing::FakeEnvironment;
using testing::TempDir;

TEST(UserProfileTest, TheProfileVariableWinsWithoutItsTrailingSeparator) {
  EXPECT_EQ(UserProfileDir(FakeEnvironment{{"USERPROFILE", "C:\\Users\\alpha\\"}, {"HOME", "/h"}}),
            "C:\\Users\\alpha");
  EXPECT_EQ(UserProfileDir(FakeEnvironment{{"USERPROFILE", "/home/alpha//"}}), "/home/alpha");
}

#ifndef _WIN32
TEST(UserProfileTest, WithoutTheVariableTheWinePrefixUserFolderOrElseHomeIsTaken) {
  TempDir home;
  TempDir otherPrefix;
  const std::filesystem::path standardPrefix = home / ".wine";
  std::filesystem::create_directories(standardPrefix / "drive_c" / "users" / "alpha");
  std::filesystem::create_directories(otherPrefix / "drive_c" / "users" / "alpha");
  const std::string homeText = home.Path().string();

  struct Case {
    const char* name;
    FakeEnvironment env;
    std::string expected;
  };
  const Case cases[] = {
      {"~/.wine",
       {{"HOME", homeText}, {"USER", "alpha"}},
       (standardPrefix / "drive_c" / "users" / "alpha").string()},
      {"empty profile variable",
       {{"USERPROFILE", ""}, {"HOME", homeText}, {"USER", "alpha"}},
       (standardPrefix / "drive_c" / "users" / "alpha").string()},
      {"WINEPREFIX",
       {{"WINEPREFIX", otherPrefix.Path().string() + "/"}, {"HOME", homeText}, {"USER", "alpha"}},
       (otherPrefix / "drive_c" / "users" / "alpha").string()},
      {"no user folder in the prefix", {{"HOME", homeText + "/"}, {"USER", "beta"}}, homeText},
      {"no user name", {{"HOME", homeText}}, homeText},
      {"LOGNAME without USER, as in a scheduled job",
       {{"HOME", homeText}, {"LOGNAME", "alpha"}},
       (standardPrefix / "drive_c" / "users" / "alpha").string()},
      {"WINEPREFIX that does not exist",
       {{"WINEPREFIX", homeText + "/none"}, {"HOME", homeText}, {"USER", "alpha"}},
       homeText},
      {"nothing known", {}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(UserProfileDir(c.env), c.expected);
  }
}
#endif

TEST(UserProfileTest, AWindowsRelativePathJoinsWithTheNativeSeparator) {
  const std::string sep(1, static_cast<char>(std::filesystem::path::preferred_separator));
  EXPECT_EQ(JoinWindowsRelative("/home/alpha", "\\Tarn Frontlines\\settings.ini"),
            "/home/alpha" + sep + "Tarn Frontlines" + sep + "settings.ini");
  EXPECT_EQ(JoinWindowsRelative("", "\\Tarn Frontlines\\replays"),
            sep + "Tarn Frontlines" + sep + "replays");
}

}  // namespace
}  // namespace tarn
