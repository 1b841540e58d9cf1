#include "gui/tray_icon.h"

#include <QMenu>

#include "base/text.h"
#include "gui/desktop.h"

namespace tarn {

TrayIcon::TrayIcon(const Desktop& desktop, QObject* parent) : QObject(parent), desktop_(desktop) {
  connect(&icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
    if (why == QSystemTrayIcon::DoubleClick) emit DoubleClicked();
  });
}

void TrayIcon::Create(const std::string& caption, QMenu* menu) {
  icon_.setContextMenu(menu);
  icon_.setIcon(desktop_.AppIcon());
  SetTip(caption);
  icon_.show();
}

void TrayIcon::ChangeImage(const std::string& fileName, const std::string& caption) {
  const QIcon picture = desktop_.TrayIcon(fileName);
  icon_.setIcon(picture);
  imageFile_ = fileName;
  SetTip(caption);
}

void TrayIcon::Remove() { icon_.hide(); }

void TrayIcon::SetTip(const std::string& caption) {
  icon_.setToolTip(QString::fromStdString(CutToCodePoints(caption, kTipLength)));
}

}  // namespace tarn
