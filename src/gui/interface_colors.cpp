#include "gui/interface_colors.h"

#include <array>

namespace tarn {
namespace {

struct PaletteEntry {
  QPalette::ColorGroup group;
  QPalette::ColorRole role;
};

// The desktop's system colours by index, each with the palette entry that plays its part.
constexpr std::array<PaletteEntry, 31> kSystemColors = {{
    {QPalette::Active, QPalette::Button},             // 0 scroll bar
    {QPalette::Active, QPalette::Dark},               // 1 desktop
    {QPalette::Active, QPalette::Highlight},          // 2 active caption
    {QPalette::Inactive, QPalette::Highlight},        // 3 inactive caption
    {QPalette::Active, QPalette::Window},             // 4 menu
    {QPalette::Active, QPalette::Base},               // 5 window
    {QPalette::Active, QPalette::Shadow},             // 6 window frame
    {QPalette::Active, QPalette::WindowText},         // 7 menu text
    {QPalette::Active, QPalette::Text},               // 8 window text
    {QPalette::Active, QPalette::HighlightedText},    // 9 caption text
    {QPalette::Active, QPalette::Button},             // 10 active border
    {QPalette::Inactive, QPalette::Button},           // 11 inactive border
    {QPalette::Active, QPalette::Mid},                // 12 application workspace
    {QPalette::Active, QPalette::Highlight},          // 13 highlight
    {QPalette::Active, QPalette::HighlightedText},    // 14 highlight text
    {QPalette::Active, QPalette::Button},             // 15 button face
    {QPalette::Active, QPalette::Dark},               // 16 button shadow
    {QPalette::Disabled, QPalette::Text},             // 17 grey text
    {QPalette::Active, QPalette::ButtonText},         // 18 button text
    {QPalette::Inactive, QPalette::HighlightedText},  // 19 inactive caption text
    {QPalette::Active, QPalette::Light},              // 20 button highlight
    {QPalette::Active, QPalette::Shadow},             // 21 dark 3D shadow
    {QPalette::Active, QPalette::Midlight},           // 22 3D light
    {QPalette::Active, QPalette::ToolTipText},        // 23 tool tip text
    {QPalette::Active, QPalette::ToolTipBase},        // 24 tool tip background
    {QPalette::Active, QPalette::Window},             // 25 unused by the desktop
    {QPalette::Active, QPalette::Link},               // 26 hot-tracked item
    {QPalette::Active, QPalette::Highlight},          // 27 active caption gradient
    {QPalette::Inactive, QPalette::Highlight},        // 28 inactive caption gradient
    {QPalette::Active, QPalette::Highlight},          // 29 highlighted menu item
    {QPalette::Active, QPalette::Window},             // 30 menu bar
}};

}  // namespace

QColor ToQColor(const InterfaceColor& color, const QPalette& palette) {
  if (!color.system) return QColor(color.red, color.green, color.blue);
  const auto index = static_cast<size_t>(color.systemIndex);
  if (index >= kSystemColors.size()) return palette.color(QPalette::Window);
  return palette.color(kSystemColors[index].group, kSystemColors[index].role);
}

}  // namespace tarn
