#include "platform/data_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/fakes.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

using testing::FakeEnvironment;
using testing::TempDir;

TEST(ResolveDataDirTest, FirstAnswerWins) {
  TempDir exe;  // no db folder: not portable
  TempDir portable;
  std::filesystem::create_directory(portable / "db");
  const FakeEnvironment all(
      {{"TARN_MONITOR_DATA", "/env/data"}, {"XDG_DATA_HOME", "/xdg"}, {"HOME", "/home/me"}});
  struct Case {
    const char* what;
    std::optional<std::filesystem::path> option;
    FakeEnvironment environment;
    std::filesystem::path exeDir;
    std::filesystem::path expected;
  };
  const Case cases[] = {
      {"option", "/opt/data", all, portable.Path(), "/opt/data"},
      {"environment", std::nullopt, all, portable.Path(), "/env/data"},
      {"empty environment value", std::nullopt,
       FakeEnvironment({{"TARN_MONITOR_DATA", ""}, {"HOME", "/home/me"}}), portable.Path(),
       portable.Path()},
      {"db beside the executable", std::nullopt, FakeEnvironment({{"HOME", "/home/me"}}),
       portable.Path(), portable.Path()},
      {"XDG data home", std::nullopt, FakeEnvironment({{"XDG_DATA_HOME", "/xdg"}, {"HOME", "/h"}}),
       exe.Path(), "/xdg/tarn-monitor"},
      {"relative XDG data home", std::nullopt,
       FakeEnvironment({{"XDG_DATA_HOME", "rel"}, {"HOME", "/h"}}), exe.Path(),
       "/h/.local/share/tarn-monitor"},
      {"home", std::nullopt, FakeEnvironment({{"HOME", "/h"}}), exe.Path(),
       "/h/.local/share/tarn-monitor"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ResolveDataDir(c.option, c.environment, c.exeDir), c.expected) << c.what;
  }
  EXPECT_THROW(ResolveDataDir(std::nullopt, FakeEnvironment(), exe.Path()), DataDirError);
}

TEST(DataDirLockTest, OneHolderAtATime) {
  TempDir dir;
  const auto data = dir / "data";
  {
    DataDirLock first(data);  // creates the folder
    try {
      DataDirLock second(data);
      FAIL() << "second lock taken";
    } catch (const DataDirError& error) {
      EXPECT_EQ(std::string(error.what()),
                "Another Tarn Monitor is already using the data folder " + data.string());
    }
  }
  EXPECT_NO_THROW(DataDirLock again(data));
}

TEST(DataDirLockTest, AnotherProcessIsRefused) {
  TempDir dir;
  DataDirLock held(dir.Path());
  EXPECT_EXIT(
      {
        try {
          DataDirLock other(dir.Path());
        } catch (const DataDirError&) {
          std::exit(3);
        }
        std::exit(0);
      },
      ::testing::ExitedWithCode(3), "");
}

}  // namespace
}  // namespace tarn
