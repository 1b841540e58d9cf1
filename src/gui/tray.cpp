#include "gui/tray.h"

#include <QMenu>

#include "base/text.h"
#include "gui/desktop.h"

namespace tarn {

Tray::Tray(const Desktop& desktop, QObject* parent) : QObject(parent), desktop_(desktop) {
  connect(&icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
    if (why == QSystemTrayIcon::DoubleClick) emit DoubleClicked();
  });
}

void Tray::Create(const std::string& caption, QMenu* menu) {
  icon_.setContextMenu(menu);
  icon_.setIcon(desktop_.AppIcon());
  SetTip(caption);
  icon_.show();
}

void Tray::ChangeImage(const std::string& fileName, const std::string& caption) {
  const QIcon picture = desktop_.TrayIcon(fileName);
  icon_.setIcon(picture);
  imageFile_ = fileName;
  SetTip(caption);
}

void Tray::Remove() { icon_.hide(); }

void Tray::SetTip(const std::string& caption) {
  icon_.setToolTip(QString::fromStdString(CutToCodePoints(caption, kTipLength)));
}

}  // namespace tarn
