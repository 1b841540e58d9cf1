#pragma once

#include <QColor>
#include <QPalette>

#include "settings/interface_properties.h"

namespace tarn {

// A stored colour as the desktop shows it: an RGB colour as it is, a system colour as the entry
// of the palette that plays the same part (the button face is the palette's button colour).
QColor ToQColor(const InterfaceColor& color, const QPalette& palette);

}  // namespace tarn
