#pragma once

#include <QIcon>
#include <QPixmap>
#include <filesystem>
#include <string>

namespace tarn {

// The program's pictures, drawn at build time by assets/generator and compiled into tarn_gui.
//
// The lists are looked up by index. Every picture is kept at its size and at twice its size:
// pass the device pixel ratio of the widget that shows it (QWidget::devicePixelRatioF()). Above
// 1 the pixmap holds the 2x drawing with devicePixelRatio 2, so its logical size is always the
// list's size and it stays sharp at 200 % scaling. An index outside a list gives a null pixmap.

// ImageList2, 16 x 16:
//   0 the side "pl", 1 the side "fnu";
//   tool bar: 2 "Delete current games", 3 "Load current games", 4 "Update players",
//   5 "Run TARN", 6 "Open Replay", 7 "Download Selected Replay", 8 "Run Selected Replay";
//   game results: 9 lost (status 4), 10 won (2), 11 lost (5), 12 drawn (3), 13 lost (6),
//   14 running (1).
inline constexpr int kSmallImageSize = 16;
inline constexpr int kSmallImageCount = 15;
QPixmap SmallImage(int index, qreal devicePixelRatio = 1);
// The same picture at both sizes, for tool-bar actions and menus (show them at 16 x 16: a tool
// bar's own icon size would enlarge them); null outside the list.
QIcon SmallIcon(int index);

// ImageList1, 32 x 32, the notification messages: 0 a game of side "pl", 1 of the other side
// (the side emblems, larger), 2 the checking result, 3 a new game, 4 a finished game.
inline constexpr int kMessageImageSize = 32;
inline constexpr int kMessageImageCount = 5;
QPixmap MessageImage(int index, qreal devicePixelRatio = 1);

// ImageMaps, 128 x 128: picture n belongs to the Maps row whose img_no is n.
inline constexpr int kMapPictureSize = 128;
inline constexpr int kMapPictureCount = 28;
QPixmap MapPicture(int imgNo, qreal devicePixelRatio = 1);

// The program's own icon at every size from 16 to 256 pixels (windows, about window).
QIcon AppIcon();

// The tray icon `fileName` ("tarnMon.ico" normal, "tarnMon2.ico" something new), from the first
// place that has the file: the folder pics in `exeDir` (the executable's folder), the installed
// pictures (share/tarn-monitor/pics beside the bin folder that holds the executable), the copy
// compiled into the program. A file there that cannot be read as an icon is not skipped: it
// throws std::runtime_error naming the file, for the caller to report; so does a name found
// nowhere.
QIcon TrayIcon(const std::filesystem::path& exeDir, const std::string& fileName);

}  // namespace tarn
