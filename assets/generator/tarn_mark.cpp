#include "tarn_mark.h"

#include <algorithm>

#include "canvas.h"

namespace tarn::art {
namespace {

// Pixels of the finished picture per unit of the drawing.
qreal PixelsPerUnit(const QPainter& p) { return p.worldTransform().m11(); }

QPainterPath Tile() {
  QPainterPath tile;
  tile.addRoundedRect(QRectF(0.5, 0.5, 15, 15), 3.2, 3.2);
  return tile;
}

}  // namespace

void DrawTarnMark(QPainter& p) {
  const qreal pixels = PixelsPerUnit(p) * 16;
  const qreal onePixel = 1 / PixelsPerUnit(p);
  const qreal outline = std::max(1.0, pixels / 48) * onePixel;
  const bool detailed = pixels >= 30;

  QPainterPath tile = Tile();
  FillOutlined(p, tile, Shaded(0.5, 15.5, QColor(0x2f, 0x6f, 0xa6), QColor(0x0c, 0x24, 0x3d)), 0);
  p.save();
  p.setClipPath(tile);
  p.setPen(Qt::NoPen);

  if (detailed) {
    QRadialGradient glow(QPointF(11.6, 4.4), 4.5);
    glow.setColorAt(0, QColor(255, 214, 110, 150));
    glow.setColorAt(1, QColor(255, 214, 110, 0));
    p.setBrush(glow);
    p.drawEllipse(QPointF(11.6, 4.4), 4.5, 4.5);
  }
  p.setBrush(Shaded(2.7, 6.1, ink::kGoldLight, ink::kGold));
  p.drawEllipse(QPointF(11.6, 4.4), 1.7, 1.7);

  if (pixels >= 22) {
    p.setBrush(Shaded(5.2, 11.2, QColor(0x9f, 0xb6, 0xcf), QColor(0x4d, 0x66, 0x82)));
    p.drawPath(Polygon({{6.0, 11.2}, {10.6, 5.6}, {15.5, 11.2}}));
  }
  QPainterPath peak = Polygon({{0.5, 11.2}, {6.2, 3.6}, {11.9, 11.2}});
  if (detailed) {
    p.setBrush(Shaded(3.6, 11.2, QColor(0x8c, 0xa0, 0xb6), QColor(0x3e, 0x52, 0x69)));
    p.drawPath(peak);
    QPainterPath snow = Polygon(
        {{6.2, 3.6}, {8.45, 6.6}, {7.6, 6.2}, {6.9, 7.1}, {6.1, 6.3}, {5.2, 7.0}, {3.95, 6.6}});
    p.setBrush(Shaded(3.6, 7.1, ink::kWhite, QColor(0xc9, 0xd8, 0xe8)));
    p.drawPath(snow);
  } else {
    p.setBrush(Shaded(3.6, 11.2, ink::kWhite, QColor(0xa9, 0xbb, 0xcf)));
    p.drawPath(peak);
  }

  p.setBrush(Shaded(11.0, 15.5, QColor(0x5c, 0xcf, 0xef), QColor(0x17, 0x6a, 0x98)));
  p.drawRect(QRectF(0, 11.0, 16, 5));
  if (detailed) {
    // The mountain mirrored in the still water: what makes the lake a tarn.
    p.setBrush(Shaded(11.0, 15.5, QColor(0x2c, 0x3e, 0x55, 120), QColor(0x2c, 0x3e, 0x55, 0)));
    p.drawPath(Polygon({{0.5, 11.0}, {6.2, 18.6}, {11.9, 11.0}}));
    p.setPen(QPen(QColor(255, 255, 255, 150), onePixel * std::max(1.0, pixels / 96)));
    p.drawLine(QPointF(3.0, 12.6), QPointF(7.2, 12.6));
    p.drawLine(QPointF(8.4, 13.8), QPointF(12.6, 13.8));
    p.drawLine(QPointF(4.6, 14.8), QPointF(6.6, 14.8));
  }
  p.restore();

  if (detailed) {
    p.save();
    p.setClipPath(tile);
    QLinearGradient sheen(0, 0.5, 0, 8);
    sheen.setColorAt(0, QColor(255, 255, 255, 60));
    sheen.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sheen);
    p.drawRect(QRectF(0, 0, 16, 8));
    p.restore();
  }
  FillOutlined(p, tile, Qt::NoBrush, outline, QColor(0x08, 0x18, 0x2a));
}

void DrawAlertBadge(QPainter& p) {
  const qreal onePixel = 1 / PixelsPerUnit(p);
  const QPointF centre(11.7, 4.3);
  FillOutlined(p, Disc(centre, 4.4),
               Shaded(0, 8.5, QColor(0xff, 0xb4, 0x2a), QColor(0xf0, 0x2c, 0x0c)),
               std::max(onePixel, 0.6), ink::kWhite);
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(ink::kWhite);
  p.drawRect(QRectF(10.8, 1.6, 1.8, 3.5));
  p.drawRect(QRectF(10.8, 5.9, 1.8, 1.6));
  p.restore();
}

}  // namespace tarn::art
