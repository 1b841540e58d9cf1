#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/records.h"

namespace tarn {

class Table;

// The stored properties of one window ("Form1", "FormPlayer", "FormMonitorSettings"), or of all
// windows for an empty name, in stored order. Read through a cursor of its own, so the table's
// current row and filter stay where another window left them.
TA_INTERFACE_PRTY ReadInterfaceProperties(const Table& interfaceSettings,
                                          const std::string& formName);

// Stores each value into the existing row of the same name; a name without a row is skipped, as
// the rows are shipped and never made here.
void WriteInterfaceProperties(Table& interfaceSettings, const TA_INTERFACE_PRTY& properties);

// The outer place and size of a window, in screen pixels.
struct WindowGeometry {
  int top = 0;
  int left = 0;
  int height = 0;
  int width = 0;
};

// Stores W.Top, W.Left, W.Height and W.Width of the window W, only while the switch
// "StoreLastPosition" reads as true. Answers whether it stored them.
bool StoreFormPosition(Table& interfaceSettings, const std::string& formName,
                       const WindowGeometry& geometry);

// A stored colour: an RGB colour, or one of the desktop's own colours by its system index.
struct InterfaceColor {
  bool system = false;
  int systemIndex = 0;  // when system
  uint8_t red = 0, green = 0, blue = 0;
  bool operator==(const InterfaceColor&) const = default;
};

// The texts of the three kinds of values. Booleans are "-1"/"0" when written and read as true for
// "True" in any letter case or a non-zero number; integers are decimal; a colour is the decimal
// 32-bit number 0x00BBGGRR, or 0xFF000000 plus a system index (a negative number). Nothing when
// the text is not a value of that kind.
std::optional<bool> ReadBoolProperty(std::string_view text);
std::optional<int> ReadIntProperty(std::string_view text);
std::optional<InterfaceColor> ReadColorProperty(std::string_view text);
std::string BoolPropertyText(bool value);
std::string ColorPropertyText(const InterfaceColor& color);

}  // namespace tarn
