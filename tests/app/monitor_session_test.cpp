#include "app/monitor_session.h"

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

TEST(MonitorSessionTest, TheDemoRunsOnItsOwnFolderAndChecksEveryMinute) {
  testing::TempDir dir;
  testing::FakeEnvironment environment;
  testing::RecordingDialogs dialogs;
  MonitorSession session({std::nullopt, std::nullopt, true}, environment, dir.Path(), dialogs);
  ASSERT_TRUE(session.LoadTables());
  EXPECT_TRUE(session.Demo());
  EXPECT_TRUE(std::filesystem::exists(session.DataDir() / "db" / "players.cds"));
  Monitor monitor(session.Services("HH:mm:ss"));
  monitor.PrepareStartup();
  EXPECT_EQ(monitor.MonitoredAlias, "Vesper");  // from the demo's own user profile
  EXPECT_EQ(monitor.CheckInterval, 60000);
  EXPECT_TRUE(dialogs.errors.empty());
}

TEST(MonitorSessionTest, AFolderOfTheUsersOwnKeepsItsCheckPeriodAlsoInTheDemo) {
  testing::TempDir dir;
  testing::FakeEnvironment environment;
  testing::RecordingDialogs dialogs;
  MonitorSession session({(dir / "data").string(), std::nullopt, true}, environment, dir.Path(),
                         dialogs);
  ASSERT_TRUE(session.LoadTables());
  EXPECT_EQ(session.DataDir(), dir / "data");
  EXPECT_EQ(session.Db().GlobalSettings.Field("sync_period_currgames").AsInt(), 10);
}

}  // namespace
}  // namespace tarn
