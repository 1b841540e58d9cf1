#include "gui/pictures.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QImageWriter>
#include <functional>
#include <set>
#include <stdexcept>

#include "gui/gui_test_support.h"
#include "store/store_tables.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

using testing::TempDir;
namespace fs = std::filesystem;

struct PictureList {
  const char* name;
  std::function<QPixmap(int, qreal)> picture;
  int count;
  int size;
};

const PictureList kLists[] = {
    {"ImageList2", SmallImage, kSmallImageCount, kSmallImageSize},
    {"ImageList1", MessageImage, kMessageImageCount, kMessageImageSize},
    {"ImageMaps", MapPicture, kMapPictureCount, kMapPictureSize},
};

// Share of the pixels of two equally sized images that differ visibly.
double DifferingShare(const QImage& a, const QImage& b) {
  const QImage left = a.convertToFormat(QImage::Format_ARGB32);
  const QImage right = b.convertToFormat(QImage::Format_ARGB32);
  int differing = 0;
  for (int y = 0; y < left.height(); ++y) {
    for (int x = 0; x < left.width(); ++x) {
      const QRgb p = left.pixel(x, y);
      const QRgb q = right.pixel(x, y);
      if (std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
              std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q)) >
          24) {
        ++differing;
      }
    }
  }
  return double(differing) / (left.width() * left.height());
}

double CoveredShare(const QImage& image) {
  int covered = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) covered += qAlpha(image.pixel(x, y)) > 0;
  }
  return double(covered) / (image.width() * image.height());
}

TEST(PicturesTest, EveryPictureOfEveryListHasItsSizeAtOnceAndTwice) {
  for (const PictureList& list : kLists) {
    for (int i = 0; i < list.count; ++i) {
      SCOPED_TRACE(std::string(list.name) + " " + std::to_string(i));
      const QPixmap once = list.picture(i, 1);
      const QPixmap twice = list.picture(i, 2);
      ASSERT_FALSE(once.isNull());
      ASSERT_FALSE(twice.isNull());
      EXPECT_EQ(once.size(), QSize(list.size, list.size));
      EXPECT_EQ(once.devicePixelRatio(), 1);
      EXPECT_EQ(twice.size(), QSize(2 * list.size, 2 * list.size));
      EXPECT_EQ(twice.devicePixelRatio(), 2);
      EXPECT_EQ(twice.deviceIndependentSize(), QSizeF(list.size, list.size));
      EXPECT_GE(CoveredShare(once.toImage()), 0.3) << "nearly blank";
      // Drawn again at twice the size, not enlarged from the small one.
      const QImage enlarged =
          once.toImage().scaled(twice.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
      EXPECT_GT(DifferingShare(enlarged, twice.toImage()), 0.02);
    }
  }
}

TEST(PicturesTest, TheScreenRatioChoosesTheDrawing) {
  EXPECT_EQ(SmallImage(0, 1.25).devicePixelRatio(), 2);
  EXPECT_EQ(SmallImage(0, 0.5).devicePixelRatio(), 1);
  EXPECT_EQ(SmallImage(0).devicePixelRatio(), 1);
}

TEST(PicturesTest, NoTwoPicturesOfAListAreAlike) {
  for (const PictureList& list : kLists) {
    for (int i = 0; i < list.count; ++i) {
      for (int j = i + 1; j < list.count; ++j) {
        EXPECT_GT(DifferingShare(list.picture(i, 1).toImage(), list.picture(j, 1).toImage()), 0.05)
            << list.name << " " << i << " and " << j;
      }
    }
  }
}

TEST(PicturesTest, AnIndexOutsideAListGivesAnEmptyPicture) {
  for (const PictureList& list : kLists) {
    for (int index : {-1, list.count, list.count + 100}) {
      for (qreal ratio : {1.0, 2.0}) {
        EXPECT_TRUE(list.picture(index, ratio).isNull()) << list.name << " " << index;
      }
    }
  }
  EXPECT_TRUE(SmallIcon(-1).isNull());
  EXPECT_TRUE(SmallIcon(kSmallImageCount).isNull());
}

TEST(PicturesTest, EveryDeliveredMapHasAPictureByItsImgNo) {
  const TableDefinition& maps = MapsDefinition();
  ASSERT_EQ(maps.builtIn.size(), std::size_t(kMapPictureCount));
  std::size_t imgNo = 0;
  while (maps.columns[imgNo].name != "img_no") ++imgNo;
  std::set<int64_t> seen;
  for (const auto& row : maps.builtIn) {
    const int64_t n = row[imgNo].AsInt();
    EXPECT_FALSE(MapPicture(static_cast<int>(n)).isNull()) << n;
    seen.insert(n);
  }
  EXPECT_EQ(seen.size(), maps.builtIn.size());
}

TEST(PicturesTest, ToolBarIconsHoldBothSizes) {
  const QIcon icon = SmallIcon(5);
  ASSERT_FALSE(icon.isNull());
  EXPECT_EQ(icon.pixmap(QSize(16, 16), 1.0).size(), QSize(16, 16));
  const QPixmap sharp = icon.pixmap(QSize(16, 16), 2.0);
  EXPECT_EQ(sharp.size(), QSize(32, 32));
  EXPECT_EQ(sharp.toImage(), SmallImage(5, 2).toImage());
}

TEST(PicturesTest, TheProgramIconComesInEverySizeFrom16To256) {
  const QList<QSize> sizes = AppIcon().availableSizes();
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
  }
}

// An icon file of one size in one colour, to tell where a tray icon came from.
void WriteIcon(const fs::path& file, int size, QColor colour) {
  fs::create_directories(file.parent_path());
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(colour);
  QImageWriter writer(QString::fromStdString(file.string()), "ico");
  ASSERT_TRUE(writer.write(image)) << writer.errorString().toStdString();
}

QString CentreOf(const QIcon& icon, int size) {
  const QImage image = icon.pixmap(QSize(size, size)).toImage();
  return image.pixelColor(size / 2, size / 2).name();
}

TEST(PicturesTest, TrayIconsComeCompiledInWhenNoFileIsBesideTheProgram) {
  TempDir exeDir;
  const QIcon normal = TrayIcon(exeDir.Path(), "tarnMon.ico");
  const QIcon alert = TrayIcon(exeDir.Path(), "tarnMon2.ico");
  for (const QIcon& icon : {normal, alert}) {
    EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16)));
    EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32)));
  }
  // The tray shows 16 pixels: "something new" must stand out there.
  EXPECT_GT(
      DifferingShare(normal.pixmap(QSize(16, 16)).toImage(), alert.pixmap(QSize(16, 16)).toImage()),
      0.15);
  EXPECT_EQ(alert.pixmap(QSize(16, 16), 2.0).size(), QSize(32, 32));
}

TEST(PicturesTest, TrayIconsComeFromPicsBesideTheProgramFirst) {
  TempDir root;
  const fs::path exeDir = root / "bin";
  WriteIcon(root / "share/tarn-monitor/pics/tarnMon.ico", 24, Qt::green);
  WriteIcon(root / "share/tarn-monitor/pics/tarnMon2.ico", 24, Qt::green);
  WriteIcon(exeDir / "pics/tarnMon.ico", 24, Qt::magenta);

  const QIcon beside = TrayIcon(exeDir, "tarnMon.ico");
  EXPECT_EQ(beside.availableSizes(), QList<QSize>{QSize(24, 24)});
  EXPECT_EQ(CentreOf(beside, 24), QStringLiteral("#ff00ff"));
  // Without a file beside the program, the installed one.
  EXPECT_EQ(CentreOf(TrayIcon(exeDir, "tarnMon2.ico"), 24), QStringLiteral("#00ff00"));
}

TEST(PicturesTest, AnUnreadableTrayIconFileIsAnErrorNamingIt) {
  const std::function<void(const fs::path&)> unreadable[] = {
      [](const fs::path& file) { testing::WriteText(file, "not an icon at all"); },
      [](const fs::path& file) { testing::WriteText(file, ""); },
      [](const fs::path& file) { fs::create_directories(file); },
  };
  for (const auto& make : unreadable) {
    TempDir exeDir;
    fs::create_directories(exeDir / "pics");
    const fs::path file = exeDir / "pics" / "tarnMon2.ico";
    make(file);
    try {
      TrayIcon(exeDir.Path(), "tarnMon2.ico");
      ADD_FAILURE() << "no error for " << file;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(
          std::string(e.what()).rfind("Cannot read the icon file \"" + file.string() + "\"", 0), 0u)
          << e.what();
    }
  }
}

TEST(PicturesTest, AnIconFoundNowhereIsAnError) {
  TempDir exeDir;
  EXPECT_THROW(TrayIcon(exeDir.Path(), "tarnMon3.ico"), std::runtime_error);
}

}  // namespace
}  // namespace tarn
