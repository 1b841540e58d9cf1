#include "gui/desktop.h"

#include <QSystemTrayIcon>

#include "gui/pictures.h"

namespace tarn {

QIcon SystemDesktop::AppIcon() const { return tarn::AppIcon(); }

QIcon SystemDesktop::TrayIcon(const std::string& fileName) const {
  return tarn::TrayIcon(exeDir_, fileName);
}

QIcon SystemDesktop::SmallIcon(int index) const { return tarn::SmallIcon(index); }

QPixmap SystemDesktop::MessageImage(int index, qreal devicePixelRatio) const {
  return tarn::MessageImage(index, devicePixelRatio);
}

bool SystemDesktop::TrayAvailable() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

}  // namespace tarn
