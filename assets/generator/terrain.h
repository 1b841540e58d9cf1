#pragma once

#include <QColor>
#include <QImage>
#include <cstdint>
#include <string>

namespace tarn::art {

enum class Landform { Continent, Island, Archipelago, TwinIslands, ThreeIslands, Ring, Mirrored };

// Colours from the deep sea up to the peaks; the sea may be lava or mire.
struct Palette {
  QColor deep, shallow, shore, low, middle, high, peak;
};

struct MapLook {
  Palette palette;
  Landform landform = Landform::Continent;
  double seaLevel = 0.45;
};

// A stable number of a map's identifier, so a map keeps its landscape from build to build.
uint32_t SeedOf(const std::string& mapId);

// The look of a known map (a frozen Antarcticus, a burning Inferno, ...); any other map gets
// one chosen by its seed.
MapLook LookOf(const std::string& mapId);

// A landscape for a 128 x 128 unit card, computed for every pixel at `scale` pixels per unit:
// the same hills at any scale, finer at 2x.
QImage PaintTerrain(const MapLook& look, uint32_t seed, int scale);

}  // namespace tarn::art
