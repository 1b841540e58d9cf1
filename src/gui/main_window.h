#pragma once

#include <QMainWindow>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <optional>

#include "app/monitor.h"
#include "base/records.h"
#include "gui/alert_window.h"
#include "gui/current_games_page.h"
#include "gui/shell_windows.h"
#include "gui/tray.h"
#include "ui_main_window.h"

class QLabel;
class QMenu;

namespace tarn {

class Desktop;

// The main window: the pages, the menus and tool bar, the timer that drives the monitor, the tray
// icon and the notification window. A thin view: start-up, ticks and commands are the monitor's,
// which it owns; each of its own steps runs inside the monitor's guard, so errors reach the error
// box and nothing escapes into the event loop.
class TForm1 : public QMainWindow, private Ui::TForm1, private MonitorView {
  Q_OBJECT

 public:
  // The designed look, until the stored properties say otherwise.
  static constexpr QRgb kDesignedBackground = 0xFF000000;  // black
  static constexpr QRgb kDesignedFont = 0xFFFFFF00;        // yellow
  static constexpr const char* kFormName = "Form1";

  // Nothing here touches a table: the store holder is loaded after the windows are made. The data
  // folder holds the competitors' pictures.
  TForm1(MonitorServices services, const Desktop& desktop, std::filesystem::path dataDir,
         QWidget* parent = nullptr);
  ~TForm1() override;

  // The player and settings windows, made after this one; both are shown modeless.
  void SetDialogWindows(QWidget* player, QWidget* settings);

  Monitor& RunState() { return monitor_; }
  Tray& SystemTray() { return tray_; }
  std::unique_ptr<TAlertWindow> AlertWindow1;  // a window of its own, shown while this one hides
  QTimer* Timer1;
  QMenu* PopupMenu;   // the tray's menu
  QMenu* TablePopup;  // the current games grid's menu
  QAction* M1;
  QAction* Exit1;
  CurrentGamesPage* General = nullptr;  // made at the first showing, when the tables are loaded
  PlayerGamesPage* PlayerGames;
  QLabel* StatusText;

  void ApplyInterfaceProperties(const TA_INTERFACE_PRTY& properties);
  // The window's colour and the cell colour of its grids; their titles are written in it.
  void ApplyBackgroundColor(const QColor& color);
  // The text colour of the window and of its grids' cells.
  void ApplyFontColor(const QColor& color);

 signals:
  // The window was closed: the program ends.
  void Closed();

 public slots:
  void FormShow();
  void Timer1Timer();
  void Deletecurrentgames1Click();
  void Loadcurrentgames1Click();
  void Updateplayers1Click();
  void PlayerClick();
  void SettingsClick();
  void About1Click();
  void M1Click();
  void Exit1Click();
  // Minimised: hidden in the tray when there is one.
  void HideWindow();
  // The tray's double click: visible and in front.
  void ShowFromTray();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void ChangeImageTray(const std::string& iconFile) override;
  void CaptionChanged(const std::string& caption) override;
  void FormClose();
  void StoreFormPosition();
  void FillMapFilter();
  void CreateGeneralPage();
  void UpdateStatusLine();
  void ShowModeless(QWidget* window);

  const Desktop& desktop_;
  TFormDBMonitor& db_;
  const Clock& clock_;
  Dialogs& dialogs_;
  std::filesystem::path dataDir_;
  std::string timeFormat_;
  Monitor monitor_;
  Tray tray_;
  QWidget* player_ = nullptr;
  QWidget* settings_ = nullptr;
  QColor backgroundColor_;
  QColor fontColor_;
  std::optional<DateTime> nextCheck_;
};

}  // namespace tarn
