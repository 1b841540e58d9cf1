#include "small_images.h"

#include "emblems.h"
#include "tarn_mark.h"

namespace tarn::art {
namespace {

// A list of games: a sheet with rows, leaving the lower right corner to a badge.
void Sheet(QPainter& p) {
  QPainterPath sheet;
  sheet.addRoundedRect(QRectF(2.5, 1.5, 9, 12), 1, 1);
  FillOutlined(p, sheet, Shaded(1.5, 13.5, ink::kWhite, ink::kPaper));
  for (qreal y : {4.5, 6.5, 8.5}) Stroke(p, Line({{4.5, y}, {9.5, y}}), 1, ink::kGrey, Qt::FlatCap);
  Stroke(p, Line({{4.5, 10.5}, {7, 10.5}}), 1, ink::kGrey, Qt::FlatCap);
}

// A strip of film: replays are films of a game.
void Film(QPainter& p) {
  QPainterPath strip;
  strip.addRoundedRect(QRectF(1.5, 2.5, 12, 9), 1, 1);
  FillOutlined(p, strip, ink::kFilm);
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(ink::kPaper);
  for (int x = 3; x <= 11; x += 2) {
    p.drawRect(QRectF(x, 3, 1, 1));
    p.drawRect(QRectF(x, 10, 1, 1));
  }
  p.setBrush(Shaded(5, 9, ink::kSky, ink::kBlue));
  p.drawRect(QRectF(3, 5, 9, 4));
  p.restore();
}

void PlayMark(QPainter& p) {
  FillOutlined(p, Polygon({{10.2, 9.4}, {13.9, 11.5}, {10.2, 13.6}}), ink::kWhite, 0);
}

void CrossMark(QPainter& p, QPointF centre, qreal half, qreal width) {
  Stroke(p, Line({centre - QPointF(half, half), centre + QPointF(half, half)}), width, ink::kWhite,
         Qt::FlatCap);
  Stroke(p, Line({centre + QPointF(-half, half), centre + QPointF(half, -half)}), width,
         ink::kWhite, Qt::FlatCap);
}

void DownArrowMark(QPainter& p, QPointF tip, qreal length, qreal half, qreal width) {
  Stroke(p, Line({tip - QPointF(0, length), tip - QPointF(0, width * 0.5)}), width, ink::kWhite,
         Qt::FlatCap);
  FillOutlined(p, Polygon({tip, tip + QPointF(-half, -half), tip + QPointF(half, -half)}),
               ink::kWhite, 0);
}

// Two arrows chasing each other round the badge: refresh.
void RefreshMark(QPainter& p) {
  p.save();
  p.setPen(QPen(ink::kWhite, 1.2, Qt::SolidLine, Qt::FlatCap));
  p.setBrush(Qt::NoBrush);
  QRectF ring(kBadgeCentre.x() - 2.2, kBadgeCentre.y() - 2.2, 4.4, 4.4);
  p.drawArc(ring, 20 * 16, 140 * 16);
  p.drawArc(ring, 200 * 16, 140 * 16);
  p.restore();
  FillOutlined(p, Polygon({{9.0, 10.2}, {11.0, 12.0}, {8.0, 12.6}}), ink::kWhite, 0);
  FillOutlined(p, Polygon({{14.0, 12.8}, {12.0, 11.0}, {15.0, 10.4}}), ink::kWhite, 0);
}

void Person(QPainter& p) {
  QPainterPath body;
  body.moveTo(1.5, 14.5);
  body.cubicTo(1.5, 9.0, 12.5, 9.0, 12.5, 14.5);
  body.closeSubpath();
  FillOutlined(p, body, Shaded(9, 14.5, ink::kTealLight, ink::kTeal));
  FillOutlined(p, Disc({7, 5.2}, 3.0), Shaded(2.2, 8.2, ink::kTealLight, ink::kTeal));
}

void Folder(QPainter& p) {
  QPainterPath back =
      Polygon({{1.5, 2.5}, {6, 2.5}, {7.5, 4}, {13.5, 4}, {13.5, 13.5}, {1.5, 13.5}});
  FillOutlined(p, back, ink::kGold.darker(115));
  QPainterPath front = Polygon({{3.5, 6.5}, {15.5, 6.5}, {13.5, 13.5}, {1.5, 13.5}});
  FillOutlined(p, front, Shaded(6.5, 13.5, ink::kGoldLight, ink::kGold));
}

// Game results sit on a disc, so the column reads as one set of marks.
void ResultDisc(QPainter& p, const QColor& light, const QColor& dark) {
  FillOutlined(p, Disc({8, 8}, 6.8), Shaded(1.2, 14.8, light, dark));
}

void Lost(QPainter& p) { ResultDisc(p, ink::kRedLight, ink::kRed.darker(115)); }

void Trophy(QPainter& p) {
  QPainterPath handles;
  handles.moveTo(4.2, 3.6);
  handles.cubicTo(0.8, 3.6, 1.2, 8.4, 5.2, 8.4);
  handles.moveTo(11.8, 3.6);
  handles.cubicTo(15.2, 3.6, 14.8, 8.4, 10.8, 8.4);
  Stroke(p, handles, 2.6, ink::kOutline, Qt::RoundCap);
  Stroke(p, handles, 1.0, ink::kGold, Qt::RoundCap);
  QPainterPath bowl;
  bowl.moveTo(3.5, 1.5);
  bowl.lineTo(12.5, 1.5);
  bowl.lineTo(12.5, 4.5);
  bowl.cubicTo(12.5, 8.0, 10.5, 10.0, 8.0, 10.0);
  bowl.cubicTo(5.5, 10.0, 3.5, 8.0, 3.5, 4.5);
  bowl.closeSubpath();
  QPainterPath foot;
  foot.addRect(QRectF(6.5, 9.5, 3, 2.5));
  foot.addRoundedRect(QRectF(3.5, 11.5, 9, 3), 1, 1);
  FillOutlined(p, foot, Shaded(9.5, 14.5, ink::kGoldLight, ink::kGold.darker(120)));
  FillOutlined(p, bowl, Shaded(1.5, 10, ink::kGoldLight, ink::kGold));
  Stroke(p, Line({{5.5, 3.5}, {5.5, 6}}), 1, QColor(255, 255, 255, 200), Qt::RoundCap);
}

void Clock(QPainter& p) {
  FillOutlined(p, Disc({8, 8}, 6.6), Shaded(1.4, 14.6, ink::kGreenLight, ink::kGreen.darker(115)));
  FillOutlined(p, Disc({8, 8}, 4.6), ink::kWhite, 0);
  Stroke(p, Line({{8, 8}, {8, 4.6}}), 1.3, ink::kOutline, Qt::FlatCap);
  Stroke(p, Line({{8, 8}, {10.6, 9.5}}), 1.3, ink::kOutline, Qt::FlatCap);
  FillOutlined(p, Disc({8, 8}, 0.9), ink::kOutline, 0);
}

}  // namespace

std::vector<Drawing> SmallImages() {
  return {
      // 0, 1: the sides "pl" and "fnu"
      [](QPainter& p) { DrawPlEmblem(p); },
      [](QPainter& p) { DrawFnuEmblem(p); },
      // 2: Delete current games
      [](QPainter& p) {
        Sheet(p);
        Badge(p, ink::kRedLight, ink::kRed);
        CrossMark(p, kBadgeCentre, 1.7, 1.5);
      },
      // 3: Load current games
      [](QPainter& p) {
        Sheet(p);
        Badge(p, ink::kGreenLight, ink::kGreen);
        DownArrowMark(p, {11.5, 14.0}, 5.0, 2.3, 1.5);
      },
      // 4: Update players
      [](QPainter& p) {
        Person(p);
        Badge(p, ink::kGreenLight, ink::kGreen);
        RefreshMark(p);
      },
      // 5: Run TARN, the game itself: its mark with a start badge
      [](QPainter& p) {
        p.save();
        p.scale(13.0 / 16, 13.0 / 16);
        DrawTarnMark(p);
        p.restore();
        Badge(p, ink::kGreenLight, ink::kGreen);
        PlayMark(p);
      },
      // 6: Open Replay
      [](QPainter& p) {
        Folder(p);
        FillOutlined(p, Polygon({{6.5, 8}, {10.5, 10}, {6.5, 12}}), ink::kFilm, 0);
      },
      // 7: Download Selected Replay
      [](QPainter& p) {
        Film(p);
        Badge(p, ink::kBlueLight, ink::kBlue);
        DownArrowMark(p, {11.5, 14.0}, 5.0, 2.3, 1.5);
      },
      // 8: Run Selected Replay
      [](QPainter& p) {
        Film(p);
        Badge(p, ink::kGreenLight, ink::kGreen);
        PlayMark(p);
      },
      // 9: lost (game status 4)
      [](QPainter& p) {
        Lost(p);
        CrossMark(p, {8, 8}, 2.6, 2.0);
      },
      // 10: won (game status 2)
      [](QPainter& p) { Trophy(p); },
      // 11: lost (game status 5): a white flag
      [](QPainter& p) {
        Lost(p);
        Stroke(p, Line({{5.5, 4}, {5.5, 12.5}}), 1.3, ink::kWhite, Qt::FlatCap);
        QPainterPath flag;
        flag.moveTo(6, 4);
        flag.cubicTo(8, 3, 9, 5.5, 11.5, 4.5);
        flag.lineTo(11.5, 8.5);
        flag.cubicTo(9, 9.5, 8, 7, 6, 8);
        flag.closeSubpath();
        FillOutlined(p, flag, ink::kWhite, 0);
      },
      // 12: drawn (game status 3)
      [](QPainter& p) {
        ResultDisc(p, ink::kPaper, ink::kGrey.darker(120));
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(ink::kWhite);
        p.drawRect(QRectF(4.5, 5, 7, 2));
        p.drawRect(QRectF(4.5, 9, 7, 2));
        p.restore();
      },
      // 13: lost (game status 6): going down
      [](QPainter& p) {
        Lost(p);
        DownArrowMark(p, {8, 12.2}, 8.0, 3.2, 2.0);
      },
      // 14: running (game status 1)
      [](QPainter& p) { Clock(p); },
  };
}

}  // namespace tarn::art
