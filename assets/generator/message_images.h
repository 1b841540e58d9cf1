#pragma once

#include <vector>

#include "canvas.h"

namespace tarn::art {

// The 32 x 32 pictures of the notification messages, in index order: 0 a game of side "pl",
// 1 a game of the other side (the side emblems, larger), 2 the checking result, 3 a new game,
// 4 a finished game.
std::vector<Drawing> MessageImages();

}  // namespace tarn::art
