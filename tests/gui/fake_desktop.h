#pragma once

#include <QPixmap>
#include <stdexcept>
#include <string>
#include <vector>

#include "gui/desktop.h"

namespace tarn::testing {

// Plain pictures, a tray that is there or not as the test says, and tray pictures that can be
// made to fail.
class FakeDesktop : public Desktop {
 public:
  QIcon AppIcon() const override { return QIcon(Picture(16, Qt::yellow)); }
  QIcon TrayIcon(const std::string& fileName) const override {
    if (failTrayIcons) throw std::runtime_error("Cannot read the picture " + fileName);
    return QIcon(Picture(16, fileName == "tarnMon2.ico" ? Qt::red : Qt::green));
  }
  QIcon SmallIcon(int) const override { return QIcon(Picture(16, Qt::gray)); }
  QPixmap MessageImage(int, qreal) const override { return Picture(32, Qt::blue); }
  bool TrayAvailable() const override { return trayAvailable; }

  bool trayAvailable = true;
  bool failTrayIcons = false;

 private:
  static QPixmap Picture(int size, Qt::GlobalColor color) {
    QPixmap pixmap(size, size);
    pixmap.fill(color);
    return pixmap;
  }
};

}  // namespace tarn::testing
