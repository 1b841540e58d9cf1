#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace tarn::art {

// A picture drawn in the units of its nominal size: a 16 x 16 picture draws in 0..16 whatever
// the scale, so its 2x rendering is drawn again from the shapes, not enlarged from pixels.
using Drawing = std::function<void(QPainter&)>;

// The drawing at `scale` pixels per unit, on a transparent square of nominal * scale pixels.
QImage Render(int nominal, qreal scale, const Drawing& draw);

QByteArray EncodePng(const QImage& image);

// One set of colours for every picture, so the lists look like one family.
namespace ink {
inline const QColor kOutline(0x17, 0x22, 0x2e);
inline const QColor kWhite(0xf7, 0xf9, 0xfc);
inline const QColor kPaper(0xdc, 0xe3, 0xeb);
inline const QColor kGrey(0x8a, 0x94, 0x9f);
inline const QColor kBlue(0x2b, 0x74, 0xd6);
inline const QColor kBlueLight(0x8d, 0xc3, 0xff);
inline const QColor kRed(0xd4, 0x2f, 0x2a);
inline const QColor kRedLight(0xff, 0x8a, 0x78);
inline const QColor kCrimson(0xb0, 0x1e, 0x4a);
inline const QColor kCrimsonLight(0xf2, 0x6d, 0x93);
inline const QColor kGreen(0x2e, 0xa0, 0x45);
inline const QColor kGreenLight(0x8c, 0xe0, 0x8a);
inline const QColor kGold(0xe8, 0xa3, 0x12);
inline const QColor kGoldLight(0xff, 0xe2, 0x7a);
inline const QColor kTeal(0x1f, 0x93, 0x9a);
inline const QColor kTealLight(0x8a, 0xe3, 0xe0);
inline const QColor kFilm(0x36, 0x40, 0x4c);
inline const QColor kSky(0x9f, 0xcd, 0xf5);
}  // namespace ink

// Light at the top, dark at the bottom, between the two heights.
QLinearGradient Shaded(qreal top, qreal bottom, const QColor& light, const QColor& dark);

// Fills the shape and draws its outline (round joins, so small corners stay whole).
void FillOutlined(QPainter& p, const QPainterPath& shape, const QBrush& fill,
                  qreal outlineWidth = 1.0, const QColor& outline = ink::kOutline);

// A line of the given width with square ends (white marks on badges and discs).
void Stroke(QPainter& p, const QPainterPath& line, qreal width, const QColor& colour,
            Qt::PenCapStyle cap = Qt::SquareCap);

QPainterPath Disc(QPointF centre, qreal radius);
QPainterPath Polygon(std::initializer_list<QPointF> corners);
QPainterPath Line(std::initializer_list<QPointF> points);
// A star with its first point straight up.
QPainterPath Star(QPointF centre, qreal outer, qreal inner, int points = 5);

// A round badge in the lower right corner of a 16 x 16 tool picture, where the action is shown.
void Badge(QPainter& p, const QColor& light, const QColor& dark);
inline constexpr QPointF kBadgeCentre(11.5, 11.5);

}  // namespace tarn::art
