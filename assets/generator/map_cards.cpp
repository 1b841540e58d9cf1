#include "map_cards.h"

#include <QFont>
#include <QFontMetricsF>

#include "terrain.h"

namespace tarn::art {
namespace {

constexpr qreal kCard = 128;
constexpr qreal kBandTop = 97;
constexpr qreal kTextWidth = 118;

QFont CardFont(qreal pixelSize, bool bold) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(qRound(pixelSize));
  font.setBold(bold);
  // Unhinted, so the 2x card sets the name exactly twice as wide as the 1x card.
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

// The largest of the usual sizes in which the whole name fits on the card.
QFont NameFont(const QString& name) {
  for (qreal size = 15; size > 8; --size) {
    QFont font = CardFont(size, true);
    if (QFontMetricsF(font).horizontalAdvance(name) <= kTextWidth) return font;
  }
  return CardFont(8, true);
}

void Grid(QPainter& p) {
  p.save();
  p.setPen(QPen(QColor(255, 255, 255, 34), 0.6));
  for (qreal at = 16; at < kCard; at += 16) {
    p.drawLine(QPointF(at, 0), QPointF(at, kBandTop));
    if (at < kBandTop) p.drawLine(QPointF(0, at), QPointF(kCard, at));
  }
  p.restore();
}

void Band(QPainter& p, const MapCard& map, const QColor& accent) {
  QLinearGradient shade(0, kBandTop, 0, kCard);
  shade.setColorAt(0, QColor(8, 14, 22, 190));
  shade.setColorAt(1, QColor(8, 14, 22, 235));
  p.fillRect(QRectF(0, kBandTop, kCard, kCard - kBandTop), shade);
  p.setPen(QPen(accent, 1.2));
  p.drawLine(QPointF(0, kBandTop), QPointF(kCard, kBandTop));

  const QString name = QString::fromStdString(map.name);
  const QRectF nameBox(0, kBandTop + 2, kCard, 17);
  p.setFont(NameFont(name));
  p.setPen(QColor(0, 0, 0, 160));
  p.drawText(nameBox.translated(0.7, 0.9), Qt::AlignCenter, name);
  p.setPen(ink::kWhite);
  p.drawText(nameBox, Qt::AlignCenter, name);

  QFont small = CardFont(8, false);
  small.setLetterSpacing(QFont::AbsoluteSpacing, 0.8);
  p.setFont(small);
  p.setPen(QColor(0xc3, 0xcd, 0xd8));
  p.drawText(QRectF(0, kBandTop + 18, kCard, 11), Qt::AlignCenter,
             QString::fromStdString(map.size).toUpper());
}

}  // namespace

Drawing MapCardDrawing(const MapCard& map) {
  return [map](QPainter& p) {
    const int scale = qRound(p.worldTransform().m11());
    const MapLook look = LookOf(map.id);
    QPainterPath card;
    card.addRoundedRect(QRectF(0.5, 0.5, kCard - 1, kCard - 1), 7, 7);
    p.save();
    p.setClipPath(card);
    p.drawImage(QRectF(0, 0, kCard, kCard), PaintTerrain(look, SeedOf(map.id), scale));
    Grid(p);
    QRadialGradient vignette(QPointF(kCard / 2, kCard * 0.4), kCard * 0.75);
    vignette.setColorAt(0.6, QColor(0, 0, 0, 0));
    vignette.setColorAt(1, QColor(0, 0, 0, 110));
    p.fillRect(QRectF(0, 0, kCard, kCard), vignette);
    Band(p, map, look.palette.shore);
    p.restore();
    FillOutlined(p, card, Qt::NoBrush, 1.0);
  };
}

}  // namespace tarn::art
