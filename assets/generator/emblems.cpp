#include "emblems.h"

#include "canvas.h"

namespace tarn::art {
namespace {

QPainterPath Shield() {
  QPainterPath path;
  path.moveTo(2.5, 2.5);
  path.lineTo(13.5, 2.5);
  path.lineTo(13.5, 7.5);
  path.cubicTo(13.5, 11.0, 10.5, 13.5, 8.0, 14.5);
  path.cubicTo(5.5, 13.5, 2.5, 11.0, 2.5, 7.5);
  path.closeSubpath();
  return path;
}

QPainterPath Diamond() { return Polygon({{8, 1.2}, {14.8, 8}, {8, 14.8}, {1.2, 8}}); }

// A soft light over the upper half, clipped to the emblem.
void Gloss(QPainter& p, const QPainterPath& shape) {
  p.save();
  p.setClipPath(shape);
  QLinearGradient light(0, 1, 0, 8);
  light.setColorAt(0, QColor(255, 255, 255, 120));
  light.setColorAt(1, QColor(255, 255, 255, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(light);
  p.drawEllipse(QPointF(8, 2.5), 7.5, 5.5);
  p.restore();
}

}  // namespace

void DrawPlEmblem(QPainter& p, EmblemStyle style) {
  QPainterPath shield = Shield();
  FillOutlined(p, shield, Shaded(2.5, 14.5, ink::kBlueLight, ink::kBlue.darker(130)),
               style.outline);
  if (style.gloss) Gloss(p, shield);
  FillOutlined(p, Star({8, 7.9}, 4.6, 1.95), ink::kWhite, 0);
}

void DrawFnuEmblem(QPainter& p, EmblemStyle style) {
  QPainterPath diamond = Diamond();
  FillOutlined(p, diamond, Shaded(1.2, 14.8, ink::kCrimsonLight, ink::kCrimson.darker(120)),
               style.outline);
  if (style.gloss) Gloss(p, diamond);
  p.save();
  p.setPen(QPen(ink::kWhite, 1.7));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(8, 8), 2.6, 2.6);
  p.restore();
}

}  // namespace tarn::art
