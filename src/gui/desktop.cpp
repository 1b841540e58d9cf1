#include "gui/desktop.h"

#include <QPainter>
#include <QSystemTrayIcon>

namespace tarn {
namespace {

// Plain marks until the program's own pictures are built in.
QPixmap Mark(int size, const QColor& color, const QString& letter) {
  QPixmap pixmap(size * 2, size * 2);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(color);
  painter.setPen(Qt::NoPen);
  painter.drawRoundedRect(QRectF(1, 1, size * 2 - 2, size * 2 - 2), size / 3.0, size / 3.0);
  QFont font;
  font.setPixelSize(size * 5 / 4);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(pixmap.rect(), Qt::AlignCenter, letter);
  painter.end();
  pixmap.setDevicePixelRatio(2);
  return pixmap;
}

}  // namespace

QIcon SystemDesktop::AppIcon() const {
  return QIcon(Mark(32, QColor(250, 200, 40), QStringLiteral("T")));
}

QIcon SystemDesktop::TrayIcon(const std::string& fileName) const {
  const bool alert = fileName == "tarnMon2.ico";
  return QIcon(Mark(16, alert ? QColor(240, 70, 40) : QColor(250, 200, 40), QStringLiteral("T")));
}

QPixmap SystemDesktop::SmallImage(int index) const {
  static const char* const kLetters[] = {"P", "F", "D", "L", "U", "R", "O", "W", "P"};
  if (index < 0 || index > 8) return {};
  return Mark(16, index < 2 ? QColor(120, 180, 250) : QColor(200, 200, 200),
              QString::fromLatin1(kLetters[index]));
}

QPixmap SystemDesktop::MessageImage(int index) const {
  if (index < 0 || index > 4) return {};
  return Mark(32, index == 0 ? QColor(120, 180, 250) : QColor(250, 140, 90),
              index == 0 ? QStringLiteral("P") : QStringLiteral("F"));
}

bool SystemDesktop::TrayAvailable() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

}  // namespace tarn
