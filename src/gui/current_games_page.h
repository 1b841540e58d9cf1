#pragma once

#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>

#include "app/current_game_details.h"
#include "gui/pictures.h"
#include "gui/table_model.h"

class QTableView;

namespace Ui {
class CurrentGamesPage;
}

namespace tarn {

class Clock;
class Dialogs;
class TFormDBMonitor;

// Where the page's pictures come from, each asked for at the device pixel ratio of the widget
// that shows it: the program's own unless a test gives others. An empty function or a null
// pixmap draws nothing.
struct CurrentGamesPictures {
  // The 16 x 16 image list: 0 the "pl" side emblem, 1 the "fnu" one.
  std::function<QPixmap(int index, qreal devicePixelRatio)> smallImage = &SmallImage;
  // The 128 x 128 map pictures, by `img_no`.
  std::function<QPixmap(int imgNo, qreal devicePixelRatio)> mapPicture = &MapPicture;
};

// What the page works with. The store holder, the clock and the dialogs must outlive the page.
struct CurrentGamesServices {
  TFormDBMonitor& db;
  const Clock& clock;
  Dialogs& dialogs;
  std::filesystem::path dataDir;  // competitor pictures are pics/Avatars/<alias>.bmp in it
  CurrentGamesPictures pictures;
  DateFormats formats = DateFormats::System();
};

// The "General" page of the main window (`TabGeneral`): the monitored player's current games in
// the grid `DBGridCurrGames`, bound to CurrentGames and following every change of it, and under
// the grid the details of the selected game. Selecting a row moves the CurrentGames cursor; the
// cursor moving moves the selection. Both remaining times run every second while the page is
// shown.
class CurrentGamesPage : public QWidget {
  Q_OBJECT

 public:
  explicit CurrentGamesPage(CurrentGamesServices services, QWidget* parent = nullptr);
  ~CurrentGamesPage() override;

  // The grid, for its context menu and the window's colours.
  QTableView* Grid() const;

 public slots:
  // Orders the games by game id again, undoing a title click, and goes to the first one. Runs
  // each time the page is shown by the program (a page switch, the window brought back), not
  // when the window manager only restores a minimised window.
  void TabGeneralShow();
  // Reads and shows the details of the selected game. Changes of CurrentGames ask for it once
  // they are through, so a tick that walks every row reads the details once, not for each row.
  void DataSource1DataChange();
  // Writes both remaining times for the clock's present moment.
  void RefreshRemainingTimes();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void ShowDetails();
  QPixmap Avatar() const;

  CurrentGamesServices s_;
  std::unique_ptr<Ui::CurrentGamesPage> ui_;
  TableModel* model_ = nullptr;
  CurrentGameDetailsReader reader_;
  CurrentGameDetails details_;
  QTimer clockTimer_;
  QTimer detailsTimer_;
};

}  // namespace tarn
