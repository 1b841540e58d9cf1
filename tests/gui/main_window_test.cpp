#include "gui/main_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>

#include "fake_desktop.h"
#include "gui_test_support.h"
#include "platform/http.h"
#include "platform/registry.h"
#include "platform/system_time_zone.h"
#include "platform/xml.h"
#include "settings/interface_properties.h"
#include "sim/sim_server.h"
#include "sim/world.h"
#include "store/db_monitor.h"
#include "support/fakes.h"
#include "support/sim_worlds.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::IsEmpty;
using ::testing::StartsWith;
using namespace std::chrono_literals;

// The main window over a store in a fresh folder, against the simulated server in-process.
class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() : server_(testing::AlphaWorld()) {
    server_.Start();
    const auto profile = dir_ / "profile";
    std::filesystem::create_directories(profile / "Tarn Frontlines");
    testing::WriteText(profile / "Tarn Frontlines" / "settings.ini",
                       "[misc]\nlast_network_alias=alpha\n");
    env_.variables["USERPROFILE"] = profile.string();
    db_.FormCreate(dir_ / "data");
  }

  // Made after the store is loaded, as the program makes it before: nothing in the window's
  // creation may touch a table.
  TForm1& Form() {
    if (!form_) {
      form_ = std::make_unique<TForm1>(
          MonitorServices{db_, loader_, dialogs_, clock_, env_, registry_, bias_,
                          "127.0.0.1:" + std::to_string(server_.Port())},
          desktop_, dir_ / "data");
    }
    return *form_;
  }

  void SetProperty(const std::string& name, const std::string& value) {
    WriteInterfaceProperties(db_.InterfaceSettings, {{"", 0, name, value}});
  }
  std::string StoredProperty(TFormDBMonitor& db, const std::string& name) {
    const auto rows = db.InterfaceSettings.CreateCursor();
    return rows->Locate("property_name", name) ? rows->Field("property_value").AsText() : "-";
  }
  QString Status() { return Form().StatusText->text(); }
  AlertMessages& Alerts() { return Form().RunState().Alerts(); }
  void Later(double minutes) { clock_.now = DateTime(clock_.now.Days() + minutes / 1440); }

  testing::TempDir dir_;
  testing::RecordingDialogs dialogs_;
  testing::FixedClock clock_;
  testing::FakeEnvironment env_;
  WineRegistry registry_{""};
  testing::FixedTimeZone bias_;
  sim::SimServer server_;
  std::unique_ptr<Http> http_ = MakeCurlHttp({.connectTimeout = 2000ms});
  HttpXmlLoader loader_{*http_};
  TFormDBMonitor db_{dialogs_, clock_};
  testing::FakeDesktop desktop_;
  std::unique_ptr<TForm1> form_;
};

TEST_F(MainWindowTest, IsMadeAsDesignedWithTheTimerRunningAndTheTrayShown) {
  TForm1& form = Form();
  EXPECT_EQ(form.windowTitle().toStdString(), "Tarn Monitor");
  EXPECT_EQ(form.size(), QSize(1005, 568));
  EXPECT_EQ(form.palette().color(QPalette::Window), QColor(Qt::black));
  EXPECT_EQ(form.palette().color(QPalette::WindowText), QColor(Qt::yellow));
  EXPECT_TRUE(form.Timer1->isActive());
  EXPECT_EQ(form.Timer1->interval(), 1000);
  EXPECT_TRUE(form.SystemTray().Shown());
  EXPECT_EQ(form.SystemTray().Tip().toStdString(), "Tarn Monitor");
  EXPECT_EQ(form.SystemTray().ImageFile(), "");  // the program's own picture
  EXPECT_TRUE(form.RunState().FirstRun);

  auto* pages = form.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
  ASSERT_NE(pages, nullptr);
  std::vector<std::string> shown;
  for (int i = 0; i < pages->count(); ++i) {
    if (pages->isTabVisible(i)) shown.push_back(pages->tabText(i).toStdString());
  }
  EXPECT_THAT(shown, ElementsAre("General", "Player Games"));  // "Maps" and "Tournaments" hidden
  EXPECT_EQ(pages->currentWidget()->objectName().toStdString(), "TabGeneral");
}

TEST_F(MainWindowTest, MenusAndToolBarAsDesigned) {
  TForm1& form = Form();
  const struct {
    const char* action;
    const char* text;
    const char* shortcut;
    const char* hint;  // of its tool-bar button
  } items[] = {
      {"Deletecurrentgames1", "Delete current games", "Ctrl+D", "Delete current games"},
      {"Loadcurrentgames1", "Load current games", "Ctrl+L", "Load current games"},
      {"Updateplayers1", "Update players", "Ctrl+U", "Update players"},
      {"Player", "Player", "Ctrl+F1", nullptr},
      {"Settings", "Settings", "Ctrl+F2", nullptr},
      {"RunTARN1", "Run TARN", "Ctrl+M", "Run TARN"},
      {"Openreplay1", "Open Replay", "Ctrl+O", "Open Replay"},
      {"DownloadReplay1", "Download Replay", "Ctrl+W", "Download Selected Replay"},
      {"RunReplay2", "Run Replay", "Ctrl+R", "Run Selected Replay"},
      {"About1", "About...", "F1", nullptr},
  };
  for (const auto& item : items) {
    auto* action = form.findChild<QAction*>(QString::fromLatin1(item.action));
    ASSERT_NE(action, nullptr) << item.action;
    EXPECT_EQ(action->text().toStdString(), item.text);
    EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromLatin1(item.shortcut)));
    if (item.hint) {
      EXPECT_EQ(action->toolTip().toStdString(), item.hint);
    }
  }
  std::vector<std::string> bar;
  for (QAction* action : form.findChild<QToolBar*>(QStringLiteral("ToolBar1"))->actions()) {
    bar.push_back(action->isSeparator() ? "|" : action->objectName().toStdString());
  }
  EXPECT_THAT(bar, ElementsAre("Deletecurrentgames1", "Loadcurrentgames1", "Updateplayers1", "|",
                               "RunTARN1", "Openreplay1", "|", "DownloadReplay1", "RunReplay2"));
  std::vector<std::string> tray, grid;
  for (QAction* action : form.PopupMenu->actions()) tray.push_back(action->text().toStdString());
  EXPECT_THAT(tray, ElementsAre("Show Messages", "Exit"));
  for (QAction* action : form.TablePopup->actions()) grid.push_back(action->text().toStdString());
  EXPECT_THAT(grid, ElementsAre("Download Replay", "Run Replay"));
}

TEST_F(MainWindowTest,
       TheFirstShowingStartsUpAppliesThePropertiesAndIsNotRepeatedAfterTheFirstTick) {
  SetProperty("Form1.ToolBar1.Visible", "0");
  SetProperty("Form1.Color", "255");             // red
  SetProperty("Form1.Font.Color", "-16777201");  // the desktop's button face
  SetProperty("Form1.Top", "30");
  SetProperty("Form1.Left", "40");
  SetProperty("Form1.Height", "300");
  SetProperty("Form1.Width", "500");
  TS_CURRGAME searched;  // a player games search of an earlier run
  searched.game_id = 5;
  db_.InsertPlayerGame(searched);

  TForm1& form = Form();
  form.show();
  EXPECT_EQ(form.windowTitle().toStdString(), "Tarn Monitor - alpha - 1700.5");
  EXPECT_EQ(form.RunState().CheckInterval, 10 * 60000);
  EXPECT_EQ(form.RunState().NextPlayersRefresh,
            DateTime(db_.GlobalSettings.Field("last_sync").AsDateTime().Days() + 1));
  EXPECT_TRUE(form.findChild<QToolBar*>(QStringLiteral("ToolBar1"))->isHidden());
  EXPECT_EQ(form.palette().color(QPalette::Window), QColor(Qt::red));
  EXPECT_EQ(form.palette().color(QPalette::WindowText),
            QGuiApplication::palette().color(QPalette::Button));
  ASSERT_NE(form.General, nullptr);  // the current games page, made once the tables are there
  EXPECT_EQ(form.General->Grid()->palette().color(QPalette::Base), QColor(Qt::red));
  EXPECT_EQ(form.General->Grid()->palette().color(QPalette::Text),
            QGuiApplication::palette().color(QPalette::Button));
  EXPECT_EQ(form.pos(), QPoint(40, 30));
  EXPECT_EQ(form.size(), QSize(500, 300));
  QComboBox* maps = form.PlayerGames->CBMapFilter;
  ASSERT_EQ(maps->count(), 28);
  db_.Maps.First();
  EXPECT_EQ(maps->itemText(0).toStdString(), db_.Maps.Field("map_name").AsText());
  EXPECT_EQ(db_.PlayerGames.RecordCount(), 0);
  EXPECT_THAT(dialogs_.errors, IsEmpty());

  // Shown again before the first tick: the caption as a repeated showing writes it, the map
  // filter still holds each map once.
  form.hide();
  form.show();
  EXPECT_EQ(form.windowTitle().toStdString(), "TARN Monitor - alpha - 1700.5");
  EXPECT_EQ(maps->count(), 28);

  form.Timer1Timer();
  ASSERT_FALSE(form.RunState().FirstRun);
  db_.InsertPlayerGame(searched);
  SetProperty("Form1.Color", "65280");
  form.hide();
  form.show();
  EXPECT_EQ(form.windowTitle().toStdString(), "TARN Monitor - alpha - 1700.5");
  EXPECT_EQ(db_.PlayerGames.RecordCount(), 1);
  EXPECT_EQ(form.palette().color(QPalette::Window), QColor(Qt::red));
  EXPECT_EQ(maps->count(), 28);
}

TEST_F(MainWindowTest, AStoredValueThatIsNoValueIsReportedAndTheOthersStillApply) {
  SetProperty("Form1.Color", "dark");
  SetProperty("Form1.Width", "640");
  TForm1& form = Form();
  form.show();
  EXPECT_THAT(dialogs_.errors, ElementsAre(EndsWith("\nForm1.Color: 'dark' is not a colour")));
  EXPECT_EQ(form.palette().color(QPalette::Window), QColor(Qt::black));
  EXPECT_EQ(form.width(), 640);
  EXPECT_EQ(form.PlayerGames->CBMapFilter->count(), 28);
}

TEST_F(MainWindowTest, ATickThatAnnouncesShowsTheNewestMessageAndSwitchesTheTray) {
  TForm1& form = Form();
  form.show();
  form.Timer1Timer();
  EXPECT_EQ(form.Timer1->interval(), 10 * 60000);
  EXPECT_EQ(form.AlertWindow1->CurrentState(), TAlertWindow::State::FadingIn);  // the summary
  EXPECT_EQ(form.SystemTray().ImageFile(), "");  // a full load does not touch the tray
  form.AlertWindow1->CloseRequested();

  server_.Edit([](sim::World& w) {
    w.MoveCompetitor(100);
    w.StartGame(testing::MakeGame(102, 42, "fnu", 8, "iron"));
  });
  form.Timer1Timer();
  EXPECT_EQ(Alerts().Messages().Count(), 3);
  EXPECT_EQ(form.RunState().MessageCount, 3);
  EXPECT_EQ(Alerts().Selected(), 3);
  EXPECT_TRUE(form.AlertWindow1->isVisible());
  EXPECT_EQ(form.AlertWindow1->PositionText().toStdString(), "3 of 3");
  EXPECT_EQ(form.SystemTray().ImageFile(), "tarnMon2.ico");
  EXPECT_TRUE(form.RunState().TrayAlert);
  EXPECT_EQ(form.SystemTray().Tip().toStdString(), "Tarn Monitor - alpha - 1700.5");
}

TEST_F(MainWindowTest, TheGridFollowsATickAndKeepsTheSelectedRow) {
  TForm1& form = Form();
  form.show();
  form.Timer1Timer();
  QTableView* grid = form.General->Grid();
  ASSERT_EQ(grid->model()->rowCount(), 2);
  grid->setCurrentIndex(grid->model()->index(0, 2));
  ASSERT_EQ(db_.CurrentGames.Field("game_id").AsInt(), 100);

  server_.Edit([](sim::World& w) {
    w.FinishGame(101, 42, sim::kWon);
    w.StartGame(testing::MakeGame(102, 42, "fnu", 8, "iron"));
    w.StartGame(testing::MakeGame(103, 7, "pl", 42, "eden"));
  });
  form.Timer1Timer();
  EXPECT_EQ(grid->model()->rowCount(), 3);
  EXPECT_EQ(grid->currentIndex().row(), 0);
  EXPECT_EQ(db_.CurrentGames.Field("game_id").AsInt(), 100);
}

TEST_F(MainWindowTest, TheTrayTipIsTheCaptionCutTo63Characters) {
  TForm1& form = Form();
  form.SystemTray().ChangeImage("tarnMon2.ico",
                                std::string(60, 'x') + "\xC3\xA9\xC3\xA9\xC3\xA9yz");
  EXPECT_EQ(form.SystemTray().Tip().size(), 63);
  EXPECT_TRUE(form.SystemTray().Tip().endsWith(QString::fromUtf8("\xC3\xA9\xC3\xA9\xC3\xA9")));
}

TEST_F(MainWindowTest, ClosingTheAlertWindowSwitchesTheTrayBackAndKeepsTheMessages) {
  TForm1& form = Form();
  form.show();
  form.Timer1Timer();
  server_.Edit([](sim::World& w) { w.MoveCompetitor(100); });
  form.Timer1Timer();
  ASSERT_TRUE(form.RunState().TrayAlert);

  form.AlertWindow1->findChild<QAbstractButton*>(QStringLiteral("ButtonClose"))->click();
  EXPECT_FALSE(form.AlertWindow1->isVisible());
  EXPECT_EQ(form.SystemTray().ImageFile(), "tarnMon.ico");
  EXPECT_FALSE(form.RunState().TrayAlert);
  EXPECT_EQ(Alerts().Messages().Count(), 2);

  // "Show Messages" brings them back, at the newest while the window is up.
  Alerts().Select(1);
  form.M1Click();
  EXPECT_TRUE(form.AlertWindow1->isVisible());
  EXPECT_EQ(Alerts().Selected(), 1);
  form.M1Click();
  EXPECT_EQ(Alerts().Selected(), 2);
}

TEST_F(MainWindowTest, ATrayPictureThatCannotBeLoadedIsReportedAndTheTrayStaysAsItWas) {
  TForm1& form = Form();
  form.show();
  form.Timer1Timer();
  server_.Edit([](sim::World& w) { w.MoveCompetitor(100); });
  form.Timer1Timer();
  desktop_.failTrayIcons = true;
  form.AlertWindow1->findChild<QAbstractButton*>(QStringLiteral("ButtonClose"))->click();
  EXPECT_THAT(dialogs_.errors, ElementsAre("Cannot read the picture tarnMon.ico"));
  EXPECT_EQ(form.SystemTray().ImageFile(), "tarnMon2.ico");
  EXPECT_TRUE(form.RunState().TrayAlert);
}

TEST_F(MainWindowTest, DeletingTheOnlyMessageClosesTheWindowAndSwitchesTheTrayBack) {
  TForm1& form = Form();
  form.show();
  form.Timer1Timer();
  server_.Edit([](sim::World& w) { w.MoveCompetitor(100); });
  form.Timer1Timer();
  form.Loadcurrentgames1Click();  // a full load leaves the summary alone
  ASSERT_EQ(Alerts().Messages().Count(), 1);
  ASSERT_TRUE(form.RunState().TrayAlert);

  form.AlertWindow1->findChild<QAbstractButton*>(QStringLiteral("ButtonDelete"))->click();
  EXPECT_EQ(Alerts().Messages().Count(), 0);
  EXPECT_EQ(form.RunState().MessageCount, 0);
  EXPECT_FALSE(form.AlertWindow1->isVisible());
  EXPECT_EQ(form.SystemTray().ImageFile(), "tarnMon.ico");
  EXPECT_FALSE(form.RunState().TrayAlert);
}

TEST_F(MainWindowTest, TheStatusLineTellsWhatTheLastCheckFoundOrSinceWhenTheServerIsAway) {
  TForm1& form = Form();
  form.show();
  EXPECT_EQ(Status().toStdString(), "No check yet. Next check at 12:12:10.");
  form.Timer1Timer();
  EXPECT_EQ(Status().toStdString(),
            "Checked at 12:12:09: 2 current games, nothing new. Next check at 12:22:09.");

  server_.SetFault(sim::kXmlPath, sim::Fault{0ms, 503});
  Later(10);
  form.Timer1Timer();
  EXPECT_THAT(Status().toStdString(), StartsWith("Server not reachable since 12:22:09: "));
  EXPECT_THAT(Status().toStdString(), EndsWith(". Next check at 12:32:09."));
  EXPECT_THAT(Status().toStdString(), ::testing::HasSubstr("503"));
  EXPECT_EQ(form.StatusText->toolTip().toStdString(), dialogs_.errors.back());
  Later(10);
  form.Timer1Timer();
  EXPECT_THAT(Status().toStdString(), StartsWith("Server not reachable since 12:22:09: "));
}

TEST_F(MainWindowTest, ClosingStopsTheTimerStoresThePositionWhenAskedAndWritesTheTables) {
  for (const char* store : {"-1", "0"}) {
    SetProperty("StoreLastPosition", store);
    SetProperty("Form1.Top", "227");
    TForm1& form = Form();
    form.show();
    form.move(25, 35);
    form.resize(610, 420);
    form.close();
    EXPECT_FALSE(form.Timer1->isActive()) << store;
    EXPECT_FALSE(form.SystemTray().Shown());

    testing::RecordingDialogs otherDialogs;
    TFormDBMonitor onDisk(otherDialogs, clock_);
    onDisk.FormCreate(dir_ / "data");
    const bool stored = std::string(store) == "-1";
    EXPECT_EQ(StoredProperty(onDisk, "Form1.Top"), stored ? "35" : "227") << store;
    EXPECT_EQ(StoredProperty(onDisk, "Form1.Left"), stored ? "25" : "40");
    EXPECT_EQ(StoredProperty(onDisk, "Form1.Width"), stored ? "610" : "500");
    EXPECT_EQ(StoredProperty(onDisk, "Form1.Height"), stored ? "420" : "300");
    EXPECT_EQ(StoredProperty(onDisk, "StoreLastPosition"), store);
    form_.reset();
    SetProperty("Form1.Left", "40");
    SetProperty("Form1.Width", "500");
    SetProperty("Form1.Height", "300");
  }
}

TEST_F(MainWindowTest, MinimisingHidesInTheTrayOnlyWhenThereIsOne) {
  for (const bool tray : {true, false}) {
    desktop_.trayAvailable = tray;
    TForm1& form = Form();
    form.show();
    form.showMinimized();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(form.isHidden(), tray) << tray;
    EXPECT_TRUE(form.isMinimized());
    form.ShowFromTray();
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.isMinimized());
    form_.reset();
  }
}

TEST_F(MainWindowTest, MenuItemsOpenTheirWindows) {
  TForm1& form = Form();
  QWidget player, settings;
  form.SetDialogWindows(&player, &settings);
  form.findChild<QAction*>(QStringLiteral("Player"))->trigger();
  EXPECT_TRUE(player.isVisible());
  form.findChild<QAction*>(QStringLiteral("Settings"))->trigger();
  EXPECT_TRUE(settings.isVisible());
  form.findChild<QAction*>(QStringLiteral("About1"))->trigger();
  form.findChild<QAction*>(QStringLiteral("About1"))->trigger();
  EXPECT_EQ(form.findChildren<TFormAbout*>().size(), 2);  // a new one on every click
}

}  // namespace
}  // namespace tarn
