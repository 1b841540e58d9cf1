#include "gui/main_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <stdexcept>

#include "gui/desktop.h"
#include "gui/interface_colors.h"
#include "gui/status_line.h"
#include "platform/clock.h"
#include "settings/interface_properties.h"
#include "settings/main_window_properties.h"
#include "store/db_monitor.h"

namespace tarn {
namespace {

// The height of the strip along a window's top edge that must lie on a screen, so the window can
// still be grabbed there.
constexpr int kTitleStrip = 20;

bool ReachableOnSomeScreen(const QRect& window) {
  const QRect strip(window.left(), window.top(), window.width(), kTitleStrip);
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (screen->geometry().intersects(strip)) return true;
  }
  return false;
}

// The desktop's palette with every entry its own, so the window's colours do not reach it.
QPalette DesktopPalette() {
  QPalette palette = QGuiApplication::palette();
  for (int group = 0; group < QPalette::NColorGroups; ++group) {
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
      const auto g = static_cast<QPalette::ColorGroup>(group);
      const auto r = static_cast<QPalette::ColorRole>(role);
      palette.setColor(g, r, palette.color(g, r));
    }
  }
  return palette;
}

DateTime Later(DateTime from, int milliseconds) {
  return DateTime(from.Days() + milliseconds / DateTime::kMsPerDay);
}

}  // namespace

TForm1::TForm1(MonitorServices services, const Desktop& desktop, std::filesystem::path dataDir,
               QWidget* parent)
    : QMainWindow(parent),
      desktop_(desktop),
      db_(services.db),
      clock_(services.clock),
      dialogs_(services.dialogs),
      dataDir_(std::move(dataDir)),
      timeFormat_(services.timeFormat),
      monitor_(std::move(services), this),
      tray_(desktop) {
  setupUi(this);
  setWindowIcon(desktop_.AppIcon());
  PageControl1->setTabVisible(PageControl1->indexOf(TabMap), false);
  PageControl1->setTabVisible(PageControl1->indexOf(TabTournaments), false);
  // Menus, tool bar and tabs keep the desktop's look; the window's colours are for its pages.
  for (QWidget* bar :
       std::initializer_list<QWidget*>{MainMenu1, ToolBar1, PageControl1->tabBar()}) {
    bar->setPalette(DesktopPalette());
  }
  PlayerGames = new PlayerGamesPage(TabPlayerGames);
  TabPlayerGames->layout()->addWidget(PlayerGames);
  ApplyBackgroundColor(QColor::fromRgb(kDesignedBackground));
  ApplyFontColor(QColor::fromRgb(kDesignedFont));

  const std::pair<QAction*, int> toolImages[] = {
      {Deletecurrentgames1, 2}, {Loadcurrentgames1, 3}, {Updateplayers1, 4}, {RunTARN1, 5},
      {Openreplay1, 6},         {DownloadReplay1, 7},   {RunReplay2, 8}};
  for (const auto& [action, image] : toolImages) action->setIcon(desktop_.SmallIcon(image));
  // Game launch and replays come with the game client's integration.
  for (QAction* action : {RunTARN1, Openreplay1, DownloadReplay1, RunReplay2}) {
    action->setEnabled(false);
  }
  connect(Deletecurrentgames1, &QAction::triggered, this, &TForm1::Deletecurrentgames1Click);
  connect(Loadcurrentgames1, &QAction::triggered, this, &TForm1::Loadcurrentgames1Click);
  connect(Updateplayers1, &QAction::triggered, this, &TForm1::Updateplayers1Click);
  connect(Player, &QAction::triggered, this, &TForm1::PlayerClick);
  connect(Settings, &QAction::triggered, this, &TForm1::SettingsClick);
  connect(About1, &QAction::triggered, this, &TForm1::About1Click);

  TablePopup = new QMenu(this);
  TablePopup->setObjectName(QStringLiteral("TablePopup"));
  for (const QString& item : {tr("Download Replay"), tr("Run Replay")}) {
    TablePopup->addAction(item)->setEnabled(false);
  }
  PopupMenu = new QMenu(this);
  PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
  M1 = PopupMenu->addAction(tr("Show Messages"), this, &TForm1::M1Click);
  M1->setObjectName(QStringLiteral("M1"));
  Exit1 = PopupMenu->addAction(tr("Exit"), this, &TForm1::Exit1Click);
  Exit1->setObjectName(QStringLiteral("Exit1"));

  AlertWindow1 = std::make_unique<TAlertWindow>(monitor_.Alerts(), desktop_);
  monitor_.Alerts().SetView(AlertWindow1.get());
  connect(AlertWindow1.get(), &TAlertWindow::CloseClicked, this,
          [this] { monitor_.Guarded([this] { monitor_.Alerts().Close(); }); });
  connect(AlertWindow1.get(), &TAlertWindow::DeleteClicked, this,
          [this] { monitor_.Guarded([this] { monitor_.Alerts().DeleteShown(); }); });

  StatusText = new QLabel(this);
  StatusText->setObjectName(QStringLiteral("StatusText"));
  StatusBar1->addWidget(StatusText, 1);

  // FormCreate: the tray first, its tip the caption of now.
  tray_.Create(windowTitle().toStdString(), PopupMenu);
  connect(&tray_, &Tray::DoubleClicked, this, &TForm1::ShowFromTray);
  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
  Timer1->start(Monitor::kFirstTickInterval);
  nextCheck_ = Later(clock_.Now(), Monitor::kFirstTickInterval);
}

TForm1::~TForm1() { monitor_.Alerts().SetView(nullptr); }

void TForm1::SetDialogWindows(QWidget* player, QWidget* settings) {
  player_ = player;
  settings_ = settings;
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // A window system's own showing (back from the task bar) is no showing of the program's.
  if (!event->spontaneous()) FormShow();
}

void TForm1::FormShow() {
  if (!monitor_.FirstRun) return;
  if (!General) CreateGeneralPage();
  monitor_.PrepareStartup();
  monitor_.Guarded([this] {
    ApplyInterfaceProperties(ReadInterfaceProperties(db_.InterfaceSettings, kFormName));
  });
  monitor_.Guarded([this] { FillMapFilter(); });
  UpdateStatusLine();
}

void TForm1::CreateGeneralPage() {
  General = new CurrentGamesPage({db_, clock_, dialogs_, dataDir_, {}}, TabGeneral);
  TabGeneral->layout()->addWidget(General);
  QTableView* grid = General->Grid();
  grid->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(grid, &QWidget::customContextMenuRequested, this,
          [this, grid](const QPoint& at) { TablePopup->popup(grid->viewport()->mapToGlobal(at)); });
  // The grid takes the window's colours like the pages made with the window.
  ApplyBackgroundColor(backgroundColor_);
  ApplyFontColor(fontColor_);
}

void TForm1::ApplyInterfaceProperties(const TA_INTERFACE_PRTY& properties) {
  const MainWindowProperties read = ReadMainWindowProperties(properties);
  if (read.toolBarVisible) ToolBar1->setVisible(*read.toolBarVisible);
  const QPalette desktopPalette = QGuiApplication::palette();
  if (read.backgroundColor) ApplyBackgroundColor(ToQColor(*read.backgroundColor, desktopPalette));
  if (read.fontColor) ApplyFontColor(ToQColor(*read.fontColor, desktopPalette));
  QRect place(pos(), size());
  if (read.top) place.moveTop(*read.top);
  if (read.left) place.moveLeft(*read.left);
  if (read.height) place.setHeight(*read.height);
  if (read.width) place.setWidth(*read.width);
  // A place on a screen that is gone would leave the window where nobody can reach it.
  if (ReachableOnSomeScreen(place)) {
    move(place.topLeft());
    resize(place.size());
  }
  if (!read.problems.empty()) {
    std::string text = "Stored window properties that could not be read were left out:";
    for (const std::string& problem : read.problems) text += "\n" + problem;
    throw std::runtime_error(text);
  }
}

void TForm1::ApplyBackgroundColor(const QColor& color) {
  backgroundColor_ = color;
  QPalette own = palette();
  own.setColor(QPalette::Window, color);
  setPalette(own);
  for (QTableView* grid : findChildren<QTableView*>()) {
    QPalette cells = grid->palette();
    cells.setColor(QPalette::Base, color);
    grid->setPalette(cells);
    QPalette titles = grid->horizontalHeader()->palette();
    titles.setColor(QPalette::ButtonText, color);
    grid->horizontalHeader()->setPalette(titles);
  }
}

void TForm1::ApplyFontColor(const QColor& color) {
  fontColor_ = color;
  QPalette own = palette();
  own.setColor(QPalette::WindowText, color);
  setPalette(own);
  for (QTableView* grid : findChildren<QTableView*>()) {
    QPalette cells = grid->palette();
    cells.setColor(QPalette::Text, color);
    grid->setPalette(cells);
  }
}

void TForm1::FillMapFilter() {
  // The filter holds each map once, also when the window is shown again before the first tick.
  PlayerGames->CBMapFilter->clear();
  const std::unique_ptr<Cursor> maps = db_.Maps.CreateCursor();
  for (maps->First(); !maps->Eof(); maps->Next()) {
    PlayerGames->CBMapFilter->addItem(QString::fromStdString(maps->Field("map_name").AsText()));
  }
}

void TForm1::Timer1Timer() {
  const int next = monitor_.Timer1Timer();
  if (next > 0) {
    Timer1->start(next);
    nextCheck_ = Later(clock_.Now(), next);
  } else {
    Timer1->stop();
    nextCheck_.reset();
  }
  UpdateStatusLine();
}

void TForm1::UpdateStatusLine() {
  const CheckOutcome& last = monitor_.LastCheck();
  StatusText->setText(QString::fromStdString(StatusLineText(last, nextCheck_, timeFormat_)));
  StatusText->setToolTip(QString::fromStdString(last.text));
}

void TForm1::Deletecurrentgames1Click() { monitor_.DeleteCurrentGames(); }

void TForm1::Loadcurrentgames1Click() {
  monitor_.LoadCurrentGames();
  UpdateStatusLine();
}

void TForm1::Updateplayers1Click() { monitor_.UpdatePlayers(); }

void TForm1::ShowModeless(QWidget* window) {
  if (!window) return;
  window->show();
  window->raise();
  window->activateWindow();
}

void TForm1::PlayerClick() { ShowModeless(player_); }

void TForm1::SettingsClick() { ShowModeless(settings_); }

void TForm1::About1Click() { ShowModeless(new TFormAbout(this)); }

void TForm1::M1Click() {
  monitor_.Guarded([this] {
    if (AlertWindow1->isVisible()) monitor_.Alerts().SelectLast();
    monitor_.Alerts().Show();
  });
}

void TForm1::Exit1Click() { close(); }

void TForm1::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange || !isMinimized()) return;
  // Without a tray a hidden window could not be brought back: it stays minimised.
  if (desktop_.TrayAvailable())
    QMetaObject::invokeMethod(this, &TForm1::HideWindow, Qt::QueuedConnection);
}

void TForm1::HideWindow() { hide(); }

void TForm1::ShowFromTray() {
  setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  show();
  raise();
  activateWindow();
}

void TForm1::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
  emit Closed();
}

void TForm1::FormClose() {
  // The guard writes every changed table, the stored position among them.
  monitor_.Guarded([this] { StoreFormPosition(); });
  Timer1->stop();
  AlertWindow1->CloseRequested();
  tray_.Remove();
}

void TForm1::StoreFormPosition() {
  tarn::StoreFormPosition(db_.InterfaceSettings, kFormName, {y(), x(), height(), width()});
}

void TForm1::ChangeImageTray(const std::string& iconFile) {
  tray_.ChangeImage(iconFile, monitor_.Caption());
}

void TForm1::CaptionChanged(const std::string& caption) {
  setWindowTitle(QString::fromStdString(caption));
}

}  // namespace tarn
