// Draws every picture of the program into a folder: the icon and tray icons, the 16 x 16 and
// 32 x 32 lists and a card per map, each also at twice the size, plus the Qt resource file that
// compiles them into the windows. Run at build time: tarn-picture-generator OUTPUT_FOLDER.

#include <QGuiApplication>
#include <algorithm>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "canvas.h"
#include "ico_file.h"
#include "map_cards.h"
#include "message_images.h"
#include "output_folder.h"
#include "small_images.h"
#include "store/store_tables.h"
#include "tarn_mark.h"

namespace tarn::art {
namespace {

const std::vector<int> kIconSizes = {16, 22, 24, 32, 48, 64, 128, 256};
const std::vector<int> kTrayIconSizes = {16, 20, 24, 32, 40, 48, 64};

Drawing Mark(bool alert) {
  return [alert](QPainter& p) {
    DrawTarnMark(p);
    if (alert) DrawAlertBadge(p);
  };
}

QByteArray IcoOf(const Drawing& mark, const std::vector<int>& sizes) {
  std::vector<QImage> images;
  for (int size : sizes) images.push_back(Render(16, size / 16.0, mark));
  return EncodeIco(images);
}

void WriteIcons(OutputFolder& out) {
  for (int size : kIconSizes) {
    const QString theme = QStringLiteral("icons/hicolor/%1x%1/apps/tarn-monitor.png").arg(size);
    out.WriteResource(theme, EncodePng(Render(16, size / 16.0, Mark(false))),
                      QStringLiteral("app/%1.png").arg(size));
  }
  out.Write(QStringLiteral("pics/tarn-monitor.ico"), IcoOf(Mark(false), kIconSizes));
  out.WriteResource(QStringLiteral("pics/tarnMon.ico"), IcoOf(Mark(false), kTrayIconSizes));
  out.WriteResource(QStringLiteral("pics/tarnMon2.ico"), IcoOf(Mark(true), kTrayIconSizes));
}

// pics/FOLDER/NN.png and NN@2x.png, NN the picture's index in its list.
void WriteList(OutputFolder& out, const QString& folder, int size,
               const std::vector<Drawing>& drawings) {
  for (std::size_t i = 0; i < drawings.size(); ++i) {
    const QString base = QStringLiteral("pics/%1/%2").arg(folder).arg(i, 2, 10, QLatin1Char('0'));
    out.WriteResource(base + QStringLiteral(".png"), EncodePng(Render(size, 1, drawings[i])));
    out.WriteResource(base + QStringLiteral("@2x.png"), EncodePng(Render(size, 2, drawings[i])));
  }
}

// The delivered Maps rows, in the order of their img_no: card n is the picture of img_no n.
std::vector<Drawing> MapCards() {
  const TableDefinition& maps = MapsDefinition();
  auto column = [&](const std::string& name) {
    auto found = std::find_if(maps.columns.begin(), maps.columns.end(),
                              [&](const ColumnDef& c) { return c.name == name; });
    if (found == maps.columns.end()) throw std::runtime_error("Maps has no column " + name);
    return static_cast<std::size_t>(found - maps.columns.begin());
  };
  const std::size_t id = column("map_id"), name = column("map_name"), size = column("map_size"),
                    imgNo = column("img_no");
  std::vector<Drawing> cards(maps.builtIn.size());
  for (const auto& row : maps.builtIn) {
    const int64_t n = row[imgNo].AsInt();
    if (n < 0 || n >= static_cast<int64_t>(cards.size()) || cards[n]) {
      throw std::runtime_error("the img_no of map " + row[id].AsText() + " is not unique in 0.." +
                               std::to_string(cards.size() - 1));
    }
    cards[n] = MapCardDrawing({row[id].AsText(), row[name].AsText(), row[size].AsText()});
  }
  return cards;
}

}  // namespace
}  // namespace tarn::art

int main(int argc, char** argv) {
  using namespace tarn::art;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);  // fonts need it
  if (argc != 2) {
    std::cerr << "usage: tarn-picture-generator OUTPUT_FOLDER\n";
    return 2;
  }
  try {
    OutputFolder out(QString::fromLocal8Bit(argv[1]));
    WriteIcons(out);
    WriteList(out, QStringLiteral("small"), 16, SmallImages());
    WriteList(out, QStringLiteral("messages"), 32, MessageImages());
    WriteList(out, QStringLiteral("maps"), 128, MapCards());
    out.WriteResourceList(QStringLiteral("tarn_pictures.qrc"), QStringLiteral("/tarn"));
  } catch (const std::exception& e) {
    std::cerr << "tarn-picture-generator: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
