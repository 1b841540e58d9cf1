#include "message_images.h"

#include "emblems.h"

namespace tarn::art {
namespace {

constexpr EmblemStyle kLarge{0.6, true};

void Emblem(QPainter& p, void (*draw)(QPainter&, EmblemStyle)) {
  p.save();
  p.scale(2, 2);
  draw(p, kLarge);
  p.restore();
}

void CheckingResult(QPainter& p) {
  QPainterPath sheet;
  sheet.addRoundedRect(QRectF(5.5, 2.5, 18, 25), 2, 2);
  FillOutlined(p, sheet, Shaded(2.5, 27.5, ink::kWhite, ink::kPaper), 1.2);
  for (qreal y : {8.0, 12.0, 16.0, 20.0}) {
    Stroke(p, Line({{9, y}, {y < 17 ? 20.0 : 15.0, y}}), 1.6, ink::kGrey, Qt::RoundCap);
  }
  FillOutlined(p, Disc({22.5, 22.5}, 7.5), Shaded(15, 30, ink::kGreenLight, ink::kGreen), 1.2);
  Stroke(p, Line({{18.8, 22.8}, {21.6, 25.6}, {26.4, 19.6}}), 2.4, ink::kWhite, Qt::RoundCap);
}

void NewGame(QPainter& p) {
  QPainterPath star = Star({16, 17}, 14.5, 6.8);
  FillOutlined(p, star, Shaded(2.5, 30, ink::kGoldLight, ink::kGold), 1.2);
  // A sparkle beside it: new.
  FillOutlined(p, Star({26.5, 5.5}, 4.8, 1.4, 4), ink::kGoldLight, 0.8);
}

void FinishedGame(QPainter& p) {
  QPainterPath flag;
  flag.moveTo(8, 4);
  flag.cubicTo(14, 1.5, 18, 7.5, 27, 4.5);
  flag.lineTo(27, 18.5);
  flag.cubicTo(18, 21.5, 14, 15.5, 8, 18);
  flag.closeSubpath();
  FillOutlined(p, flag, ink::kWhite, 1.2);
  p.save();
  p.setClipPath(flag);
  p.setPen(Qt::NoPen);
  p.setBrush(ink::kOutline);
  for (int row = 0; row < 5; ++row) {
    for (int column = row % 2; column < 5; column += 2) {
      p.drawRect(QRectF(8 + column * 3.8, 1 + row * 4.2, 3.8, 4.2));
    }
  }
  p.restore();
  FillOutlined(p, flag, Qt::NoBrush, 1.2);
  Stroke(p, Line({{7, 3}, {7, 30}}), 3.2, ink::kOutline, Qt::RoundCap);
  Stroke(p, Line({{7, 3}, {7, 30}}), 1.4, ink::kGrey.lighter(130), Qt::RoundCap);
}

}  // namespace

std::vector<Drawing> MessageImages() {
  return {
      [](QPainter& p) { Emblem(p, DrawPlEmblem); },
      [](QPainter& p) { Emblem(p, DrawFnuEmblem); },
      CheckingResult,
      NewGame,
      FinishedGame,
  };
}

}  // namespace tarn::art
