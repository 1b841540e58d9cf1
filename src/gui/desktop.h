#pragma once

#include <QIcon>
#include <QPixmap>
#include <filesystem>
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
  // A picture of the 16 x 16 list at both sizes: 2 to 8 are the tool bar's.
  virtual QIcon SmallIcon(int index) const = 0;
  // A 32 x 32 picture of the notifications, sharp at the given device pixel ratio.
  virtual QPixmap MessageImage(int index, qreal devicePixelRatio) const = 0;
  // Whether the desktop has a system tray now; without one a hidden window could not come back.
  virtual bool TrayAvailable() const = 0;
};

// The running desktop, with the program's own pictures; the tray pictures come from the pics
// folder beside the executable in `exeDir` (or the installed ones).
class SystemDesktop : public Desktop {
 public:
  explicit SystemDesktop(std::filesystem::path exeDir) : exeDir_(std::move(exeDir)) {}
  QIcon AppIcon() const override;
  QIcon TrayIcon(const std::string& fileName) const override;
  QIcon SmallIcon(int index) const override;
  QPixmap MessageImage(int index, qreal devicePixelRatio) const override;
  bool TrayAvailable() const override;

 private:
  std::filesystem::path exeDir_;
};

}  // namespace tarn
