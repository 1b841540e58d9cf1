#pragma once

#include <string>

#include "canvas.h"

namespace tarn::art {

struct MapCard {
  std::string id;    // the server's map identifier: it seeds the landscape
  std::string name;  // shown on the card
  std::string size;  // size class, shown under the name
};

// A 128 x 128 card: the map's landscape with a fine grid, its name and size class on a band.
Drawing MapCardDrawing(const MapCard& map);

}  // namespace tarn::art
