#include "terrain.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace tarn::art {
namespace {

constexpr double kCard = 128;

uint32_t Mix(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  x ^= x >> 16;
  return x;
}

// Value noise: random heights on a unit lattice, smoothly joined.
class Noise {
 public:
  explicit Noise(uint32_t seed) : seed_(seed) {}

  double At(double x, double y) const {
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    const double tx = Smooth(x - fx);
    const double ty = Smooth(y - fy);
    const double top = Lerp(Corner(ix, iy), Corner(ix + 1, iy), tx);
    const double bottom = Lerp(Corner(ix, iy + 1), Corner(ix + 1, iy + 1), tx);
    return Lerp(top, bottom, ty);
  }

  // Several octaves, each finer and fainter; about 0..1.
  double Fractal(double x, double y) const {
    double sum = 0;
    double amplitude = 0.5;
    for (int octave = 0; octave < 5; ++octave) {
      sum += amplitude * At(x + octave * 17.3, y - octave * 11.9);
      x *= 2.03;
      y *= 2.03;
      amplitude *= 0.5;
    }
    return sum / 0.96875;
  }

 private:
  static double Smooth(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }
  static double Lerp(double a, double b, double t) { return a + (b - a) * t; }
  double Corner(int x, int y) const {
    return Mix(static_cast<uint32_t>(x) * 0x9e3779b1U ^ Mix(static_cast<uint32_t>(y) + seed_)) /
           4294967295.0;
  }

  uint32_t seed_;
};

double Hill(double u, double v, double cu, double cv, double radius) {
  const double d = std::hypot(u - cu, v - cv) / radius;
  return std::clamp(1 - d * d, 0.0, 1.0);
}

// How much the landform lifts the land at (u, v), both -1..1 across the card.
double Lift(Landform landform, double u, double v) {
  switch (landform) {
    case Landform::Continent:
    case Landform::Mirrored:
      return Hill(u, v, 0, 0, 1.1);
    case Landform::Island:
      return Hill(u, v, 0, 0, 0.75);
    case Landform::Archipelago:
      return 0.55;
    case Landform::TwinIslands:
      return std::max(Hill(u, v, -0.45, -0.15, 0.6), Hill(u, v, 0.45, 0.2, 0.6));
    case Landform::ThreeIslands:
      return std::max(
          {Hill(u, v, 0, -0.5, 0.5), Hill(u, v, -0.5, 0.35, 0.5), Hill(u, v, 0.5, 0.35, 0.5)});
    case Landform::Ring: {
      const double d = (std::hypot(u, v) - 0.55) / 0.38;
      return std::clamp(1 - d * d, 0.0, 1.0);
    }
  }
  return 0;
}

class Landscape {
 public:
  Landscape(const MapLook& look, uint32_t seed)
      : look_(look),
        noise_(seed),
        frequency_(look.landform == Landform::Archipelago ? 1 / 22.0 : 1 / 34.0) {}

  // 0 the deepest sea, 1 the highest peak; x, y in card units.
  double HeightAt(double x, double y) const {
    // The name band covers the lower part of the card, so the land centres higher up.
    const double u = (x - kCard / 2) / (kCard / 2);
    const double v = (y - kCard * 0.4) / (kCard / 2);
    const double nx = look_.landform == Landform::Mirrored ? std::abs(x - kCard / 2) : x;
    return 0.7 * noise_.Fractal(nx * frequency_, y * frequency_) +
           0.5 * Lift(look_.landform, u, v) - 0.2;
  }

  QColor ColourAt(double x, double y, double unit) const {
    const double h = HeightAt(x, y);
    const double sea = look_.seaLevel;
    const Palette& c = look_.palette;
    if (h < sea) {
      const double depth = std::clamp((sea - h) / 0.25, 0.0, 1.0);
      return Blend(c.shallow, c.deep, depth);
    }
    const double land = h - sea;
    QColor colour;
    if (land < 0.025) {
      colour = c.shore;
    } else if (land < 0.16) {
      colour = Blend(c.low, c.middle, (land - 0.025) / 0.135);
    } else if (land < 0.27) {
      colour = Blend(c.middle, c.high, (land - 0.16) / 0.11);
    } else {
      colour = Blend(c.high, c.peak, std::clamp((land - 0.27) / 0.1, 0.0, 1.0));
    }
    // Light from the upper left: slopes facing it are brighter.
    constexpr double kShading = 7;
    const double rise = HeightAt(x - unit, y - unit) - HeightAt(x + unit, y + unit);
    const double light = std::clamp(1 + kShading * rise / unit, 0.7, 1.3);
    return QColor::fromRgbF(std::min(1.0f, float(colour.redF() * light)),
                            std::min(1.0f, float(colour.greenF() * light)),
                            std::min(1.0f, float(colour.blueF() * light)));
  }

 private:
  static QColor Blend(const QColor& a, const QColor& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
  }

  MapLook look_;
  Noise noise_;
  double frequency_;
};

QColor Hex(const char* text) { return QColor(QLatin1String(text)); }

Palette Temperate() {
  return {Hex("#17466e"), Hex("#3d8cc4"), Hex("#d8cc8e"), Hex("#6daa4f"),
          Hex("#3f7d3a"), Hex("#8a8577"), Hex("#f0f0ea")};
}
Palette Lush() {
  return {Hex("#0f4c5c"), Hex("#2aa3a8"), Hex("#e2d9a0"), Hex("#58b85a"),
          Hex("#2c8a3e"), Hex("#1f6b35"), Hex("#a8c98a")};
}
Palette Tropical() {
  return {Hex("#0b5a8a"), Hex("#27b5c9"), Hex("#f4e5b0"), Hex("#7cc95a"),
          Hex("#3a9c48"), Hex("#2c7a3a"), Hex("#9ac070")};
}
Palette Desert() {
  return {Hex("#1d4e72"), Hex("#3f96b8"), Hex("#efdcaa"), Hex("#dcb878"),
          Hex("#c4954f"), Hex("#9c6b3a"), Hex("#ecd6aa")};
}
Palette Ice() {
  return {Hex("#1b3f66"), Hex("#5c8fb8"), Hex("#cfe3ef"), Hex("#e8f0f6"),
          Hex("#bcd3e4"), Hex("#97b3cc"), Hex("#ffffff")};
}
Palette Lava() {
  return {Hex("#6e1206"), Hex("#f05a1c"), Hex("#2a1d1a"), Hex("#3f3430"),
          Hex("#574840"), Hex("#74604f"), Hex("#f5a623")};
}
Palette Sulphur() {
  return {Hex("#4a3210"), Hex("#c98a1e"), Hex("#3a3128"), Hex("#8f8440"),
          Hex("#c9bb45"), Hex("#e6d85a"), Hex("#fff4a0")};
}
Palette Mire() {
  return {Hex("#22352a"), Hex("#4f6b46"), Hex("#6e6c3c"), Hex("#5a7038"),
          Hex("#3e5a2d"), Hex("#6f6a4a"), Hex("#8f8a6a")};
}
Palette Rust() {
  return {Hex("#243445"), Hex("#58717f"), Hex("#a8623a"), Hex("#b8692f"),
          Hex("#8e4a26"), Hex("#6b3a22"), Hex("#d0946a")};
}
Palette Steel() {
  return {Hex("#1a232c"), Hex("#3e5566"), Hex("#8c959c"), Hex("#6e7880"),
          Hex("#59626b"), Hex("#7d868e"), Hex("#d0d6db")};
}
Palette Strange() {
  return {Hex("#2a1746"), Hex("#6b3fa0"), Hex("#e8b4d8"), Hex("#5fc9a8"),
          Hex("#2f9a88"), Hex("#b05fc9"), Hex("#f0e0ff")};
}

}  // namespace

uint32_t SeedOf(const std::string& mapId) {
  uint32_t hash = 2166136261U;
  for (unsigned char c : mapId) hash = (hash ^ c) * 16777619U;
  return Mix(hash);
}

MapLook LookOf(const std::string& mapId) {
  using L = Landform;
  static const std::map<std::string, MapLook> kKnown = {
      {"altalim", {Temperate(), L::Continent}},
      {"antarcticus", {Ice(), L::Continent}},
      {"anubis", {Desert(), L::Continent, 0.36}},
      {"beotorum", {Temperate(), L::Continent, 0.4}},
      {"bizarria", {Strange(), L::Archipelago}},
      {"brimstone", {Sulphur(), L::Island}},
      {"butterfly", {Lush(), L::Mirrored}},
      {"crateus", {Steel(), L::Ring, 0.42}},
      {"eden", {Lush(), L::Continent}},
      {"emerald", {Lush(), L::Archipelago}},
      {"inferno", {Lava(), L::Continent}},
      {"iron", {Steel(), L::Continent}},
      {"island", {Tropical(), L::Island}},
      {"lions eye", {Desert(), L::Ring}},
      {"micronesia", {Tropical(), L::Archipelago, 0.5}},
      {"midgard", {Temperate(), L::Ring}},
      {"new paradise", {Tropical(), L::Continent}},
      {"noble rust", {Rust(), L::Continent}},
      {"san fernando", {Desert(), L::Island}},
      {"swamp", {Mire(), L::Continent, 0.42}},
      {"switzerland", {Temperate(), L::Archipelago, 0.47}},
      {"trinity", {Temperate(), L::ThreeIslands}},
      {"twin islands", {Tropical(), L::TwinIslands}},
      {"wasserland", {Temperate(), L::Archipelago, 0.52}},
      {"aurora", {Ice(), L::Archipelago}},
  };
  if (auto known = kKnown.find(mapId); known != kKnown.end()) return known->second;
  const uint32_t seed = SeedOf(mapId);
  static const Palette kPalettes[] = {Temperate(), Lush(), Tropical(), Desert()};
  static const Landform kLandforms[] = {L::Continent, L::Island, L::TwinIslands, L::Mirrored};
  return {kPalettes[seed % 4], kLandforms[(seed >> 8) % 4]};
}

QImage PaintTerrain(const MapLook& look, uint32_t seed, int scale) {
  const Landscape landscape(look, seed);
  const int pixels = static_cast<int>(kCard) * scale;
  const double unit = 1.0 / scale;
  QImage image(pixels, pixels, QImage::Format_RGB32);
  for (int py = 0; py < pixels; ++py) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(py));
    for (int px = 0; px < pixels; ++px) {
      row[px] = landscape.ColourAt((px + 0.5) * unit, (py + 0.5) * unit, unit).rgb();
    }
  }
  return image;
}

}  // namespace tarn::art
