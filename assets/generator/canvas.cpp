#include "canvas.h"

#include <QBuffer>
#include <QPen>
#include <QtMath>

namespace tarn::art {

QImage Render(int nominal, qreal scale, const Drawing& draw) {
  const int pixels = qRound(nominal * scale);
  QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.scale(scale, scale);
  draw(p);
  p.end();
  return image.convertToFormat(QImage::Format_ARGB32);
}

QByteArray EncodePng(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG", 0);
  return bytes;
}

QLinearGradient Shaded(qreal top, qreal bottom, const QColor& light, const QColor& dark) {
  QLinearGradient gradient(0, top, 0, bottom);
  gradient.setColorAt(0, light);
  gradient.setColorAt(1, dark);
  return gradient;
}

void FillOutlined(QPainter& p, const QPainterPath& shape, const QBrush& fill, qreal outlineWidth,
                  const QColor& outline) {
  p.save();
  p.setPen(outlineWidth > 0
               ? QPen(outline, outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)
               : QPen(Qt::NoPen));
  p.setBrush(fill);
  p.drawPath(shape);
  p.restore();
}

void Stroke(QPainter& p, const QPainterPath& line, qreal width, const QColor& colour,
            Qt::PenCapStyle cap) {
  p.save();
  p.setPen(QPen(colour, width, Qt::SolidLine, cap, Qt::MiterJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(line);
  p.restore();
}

QPainterPath Disc(QPointF centre, qreal radius) {
  QPainterPath path;
  path.addEllipse(centre, radius, radius);
  return path;
}

QPainterPath Line(std::initializer_list<QPointF> points) {
  QPainterPath path;
  bool first = true;
  for (QPointF point : points) {
    if (first) {
      path.moveTo(point);
      first = false;
    } else {
      path.lineTo(point);
    }
  }
  return path;
}

QPainterPath Polygon(std::initializer_list<QPointF> corners) {
  QPainterPath path = Line(corners);
  path.closeSubpath();
  return path;
}

QPainterPath Star(QPointF centre, qreal outer, qreal inner, int points) {
  QPainterPath path;
  for (int i = 0; i < 2 * points; ++i) {
    qreal radius = i % 2 == 0 ? outer : inner;
    qreal angle = -M_PI / 2 + i * M_PI / points;
    QPointF corner = centre + QPointF(radius * qCos(angle), radius * qSin(angle));
    if (i == 0) {
      path.moveTo(corner);
    } else {
      path.lineTo(corner);
    }
  }
  path.closeSubpath();
  return path;
}

void Badge(QPainter& p, const QColor& light, const QColor& dark) {
  FillOutlined(p, Disc(kBadgeCentre, 4.0), Shaded(7.5, 15.5, light, dark));
}

}  // namespace tarn::art
