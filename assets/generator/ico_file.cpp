#include "ico_file.h"

#include <QDataStream>
#include <QIODevice>
#include <stdexcept>

#include "canvas.h"

namespace tarn::art {
namespace {

constexpr int kDirectorySize = 6;
constexpr int kEntrySize = 16;
constexpr int kBitmapHeaderSize = 40;

QByteArray Bitmap(const QImage& source) {
  const QImage image = source.convertToFormat(QImage::Format_ARGB32);
  const int size = image.width();
  const int maskRowBytes = ((size + 31) / 32) * 4;
  QByteArray bytes;
  QDataStream out(&bytes, QIODevice::WriteOnly);
  out.setByteOrder(QDataStream::LittleEndian);
  // The height counts the colour rows and the mask rows.
  out << quint32(kBitmapHeaderSize) << qint32(size) << qint32(2 * size) << quint16(1) << quint16(32)
      << quint32(0) << quint32(size * size * 4 + maskRowBytes * size) << qint32(0) << qint32(0)
      << quint32(0) << quint32(0);
  for (int y = size - 1; y >= 0; --y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < size; ++x) {
      out << quint8(qBlue(row[x])) << quint8(qGreen(row[x])) << quint8(qRed(row[x]))
          << quint8(qAlpha(row[x]));
    }
  }
  for (int y = size - 1; y >= 0; --y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    QByteArray mask(maskRowBytes, '\0');
    for (int x = 0; x < size; ++x) {
      if (qAlpha(row[x]) == 0) mask[x / 8] = char(mask[x / 8] | (0x80 >> (x % 8)));
    }
    out.writeRawData(mask.constData(), mask.size());
  }
  return bytes;
}

}  // namespace

QByteArray EncodeIco(const std::vector<QImage>& images) {
  std::vector<QByteArray> bodies;
  for (const QImage& image : images) {
    if (image.width() != image.height() || image.width() < 1 || image.width() > 256) {
      throw std::invalid_argument("an icon image must be square, 1 to 256 pixels");
    }
    bodies.push_back(image.width() == 256 ? EncodePng(image) : Bitmap(image));
  }
  QByteArray bytes;
  QDataStream out(&bytes, QIODevice::WriteOnly);
  out.setByteOrder(QDataStream::LittleEndian);
  out << quint16(0) << quint16(1) << quint16(images.size());
  quint32 offset = kDirectorySize + kEntrySize * images.size();
  for (std::size_t i = 0; i < images.size(); ++i) {
    const int size = images[i].width();
    // Sizes are one byte each; 0 stands for 256.
    out << quint8(size % 256) << quint8(size % 256) << quint8(0) << quint8(0) << quint16(1)
        << quint16(32) << quint32(bodies[i].size()) << offset;
    offset += bodies[i].size();
  }
  for (const QByteArray& body : bodies) out.writeRawData(body.constData(), body.size());
  return bytes;
}

}  // namespace tarn::art
