#include "gui/pictures.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmapCache>
#include <stdexcept>

// Q_INIT_RESOURCE must be used outside any namespace. A resource compiled into a static library
// is only linked in when something refers to it; this does.
static void RegisterCompiledPictures() { Q_INIT_RESOURCE(tarn_pictures); }

namespace tarn {
namespace {

const QString kCompiledIn = QStringLiteral(":/tarn/");

void EnsureRegistered() {
  static const bool registered = (RegisterCompiledPictures(), true);
  (void)registered;
}

QString PathText(const std::filesystem::path& path) {
  return QString::fromStdU16String(path.u16string());
}

// pics/FOLDER/NN.png, or NN@2x.png for a high-density screen.
QPixmap ListPicture(const QString& folder, int count, int index, qreal devicePixelRatio) {
  if (index < 0 || index >= count) return {};
  EnsureRegistered();
  const bool twice = devicePixelRatio > 1;
  const QString path = QStringLiteral("%1pics/%2/%3%4.png")
                           .arg(kCompiledIn, folder)
                           .arg(index, 2, 10, QLatin1Char('0'))
                           .arg(twice ? QStringLiteral("@2x") : QString());
  QPixmap pixmap;
  // Grids draw these for every cell they paint; decode each file once.
  if (!QPixmapCache::find(path, &pixmap)) {
    pixmap.load(path);
    pixmap.setDevicePixelRatio(twice ? 2 : 1);
    QPixmapCache::insert(path, pixmap);
  }
  return pixmap;
}

// Every image in the file (an icon file holds one per size).
QIcon ReadIcon(const QString& file) {
  QImageReader reader(file);
  QIcon icon;
  do {
    const QImage image = reader.read();
    if (image.isNull()) break;
    icon.addPixmap(QPixmap::fromImage(image));
  } while (reader.jumpToNextImage());
  if (icon.isNull()) {
    throw std::runtime_error("Cannot read the icon file \"" + file.toStdString() +
                             "\": " + reader.errorString().toStdString());
  }
  return icon;
}

}  // namespace

QPixmap SmallImage(int index, qreal devicePixelRatio) {
  return ListPicture(QStringLiteral("small"), kSmallImageCount, index, devicePixelRatio);
}

QIcon SmallIcon(int index) {
  QIcon icon;
  for (qreal ratio : {1.0, 2.0}) {
    const QPixmap pixmap = SmallImage(index, ratio);
    if (!pixmap.isNull()) icon.addPixmap(pixmap);
  }
  return icon;
}

QPixmap MessageImage(int index, qreal devicePixelRatio) {
  return ListPicture(QStringLiteral("messages"), kMessageImageCount, index, devicePixelRatio);
}

QPixmap MapPicture(int imgNo, qreal devicePixelRatio) {
  return ListPicture(QStringLiteral("maps"), kMapPictureCount, imgNo, devicePixelRatio);
}

QIcon AppIcon() {
  EnsureRegistered();
  QIcon icon;
  for (const QFileInfo& file :
       QDir(kCompiledIn + QStringLiteral("app")).entryInfoList(QDir::Files)) {
    icon.addFile(file.filePath());
  }
  return icon;
}

QIcon TrayIcon(const std::filesystem::path& exeDir, const std::string& fileName) {
  EnsureRegistered();
  const std::filesystem::path name(fileName);
  const QString places[] = {
      PathText(exeDir / "pics" / name),
      PathText(exeDir / TARN_PICS_FROM_BIN / name),
      kCompiledIn + QStringLiteral("pics/") + QString::fromStdString(fileName),
  };
  for (const QString& file : places) {
    if (QFileInfo::exists(file)) return ReadIcon(file);
  }
  throw std::runtime_error("Cannot find the icon file \"" + fileName + "\"");
}

}  // namespace tarn
