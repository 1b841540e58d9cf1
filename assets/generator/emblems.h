#pragma once

#include <QPainter>

namespace tarn::art {

// The two sides of a game, in 16 units. "pl" is a blue shield with a star, "fnu" a crimson
// diamond with a ring: told apart by shape as well as by colour. The 32 x 32 message pictures
// draw the same emblems with a finer outline and a gloss.
struct EmblemStyle {
  qreal outline = 1.0;
  bool gloss = false;
};

void DrawPlEmblem(QPainter& p, EmblemStyle style = {});
void DrawFnuEmblem(QPainter& p, EmblemStyle style = {});

}  // namespace tarn::art
