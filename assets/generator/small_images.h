#pragma once

#include <vector>

#include "canvas.h"

namespace tarn::art {

// The 16 x 16 list of the main window, in index order: 0 and 1 the side emblems, 2 to 8 the
// tool-bar commands, 9 to 14 the game results of the player games grid.
std::vector<Drawing> SmallImages();

}  // namespace tarn::art
