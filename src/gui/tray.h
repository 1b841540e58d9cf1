#pragma once

#include <QObject>
#include <QSystemTrayIcon>
#include <string>

class QMenu;

namespace tarn {

class Desktop;

// The program's icon in the desktop's tray, from start to exit: its picture, its tip (the main
// window's caption of the moment it was last set, cut to 63 characters) and its menu.
class Tray : public QObject {
  Q_OBJECT

 public:
  static constexpr int kTipLength = 63;

  explicit Tray(const Desktop& desktop, QObject* parent = nullptr);

  // Adds the icon with the program's own picture and its menu.
  void Create(const std::string& caption, QMenu* menu);
  // Switches to the picture of that file and refreshes the tip. Throws when the picture cannot be
  // loaded; the icon then stays as it was.
  void ChangeImage(const std::string& fileName, const std::string& caption);
  void Remove();

  // The file of the picture shown; empty while the program's own picture is shown.
  const std::string& ImageFile() const { return imageFile_; }
  QString Tip() const { return icon_.toolTip(); }
  bool Shown() const { return icon_.isVisible(); }

 signals:
  void DoubleClicked();

 private:
  void SetTip(const std::string& caption);

  const Desktop& desktop_;
  QSystemTrayIcon icon_;
  std::string imageFile_;
};

}  // namespace tarn
