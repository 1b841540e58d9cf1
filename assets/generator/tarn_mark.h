#pragma once

#include <QPainter>

namespace tarn::art {

// The program's mark, in 16 units: a mountain over a tarn (a mountain lake) with the sun
// watching, on a deep blue tile. It reads the painter's scale and draws more detail the more
// pixels it gets, so the 16 px tray icon stays simple and the 256 px icon is not bare.
void DrawTarnMark(QPainter& p);

// "Something new": a bright badge with an exclamation mark over the mark's upper right corner.
void DrawAlertBadge(QPainter& p);

}  // namespace tarn::art
