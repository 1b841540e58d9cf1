#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/records.h"
#include "settings/interface_properties.h"

namespace tarn {

// What the main window's stored properties ask of it, by property number: 1 tool bar shown,
// 2 background colour, 3 font colour, 4 to 7 top, left, height and width. Other numbers belong to
// no part of the main window. A later entry of a number wins over an earlier one.
struct MainWindowProperties {
  std::optional<bool> toolBarVisible;
  std::optional<InterfaceColor> backgroundColor;
  std::optional<InterfaceColor> fontColor;
  std::optional<int> top, left, height, width;
  // One line per entry whose value is no value of its kind; that entry is left out, the others
  // still apply, so one bad text does not leave the window half set up.
  std::vector<std::string> problems;
};

MainWindowProperties ReadMainWindowProperties(const TA_INTERFACE_PRTY& properties);

}  // namespace tarn
