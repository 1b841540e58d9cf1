#pragma once

#include <QIcon>
#include <QPixmap>
#include <string>

namespace tarn {

// What the windows take from the desktop beyond plain widgets: the program's pictures and whether
// there is a tray to hide in. Tests give a stand-in.
class Desktop {
 public:
  virtual ~Desktop() = default;
  virtual QIcon AppIcon() const = 0;
  // The tray picture "tarnMon.ico" or "tarnMon2.ico". Throws std::runtime_error when it cannot
  // be loaded.
  virtual QIcon TrayIcon(const std::string& fileName) const = 0;
  // The 16 x 16 list: 0 the "pl" emblem, 1 the "fnu" emblem, 2 to 8 the tool-bar pictures.
  virtual QPixmap SmallImage(int index) const = 0;
  // The 32 x 32 pictures of the notifications.
  virtual QPixmap MessageImage(int index) const = 0;
  // Whether the desktop has a system tray now; without one a hidden window could not come back.
  virtual bool TrayAvailable() const = 0;
};

// The running desktop.
class SystemDesktop : public Desktop {
 public:
  QIcon AppIcon() const override;
  QIcon TrayIcon(const std::string& fileName) const override;
  QPixmap SmallImage(int index) const override;
  QPixmap MessageImage(int index) const override;
  bool TrayAvailable() const override;
};

}  // namespace tarn
