#pragma once

#include <QString>
#include <string>

namespace tarn {

// The desktop's time format (Qt's tokens) in the tokens the core formats with: hours, minutes and
// seconds with two digits, the separators as they are. The core writes the 24-hour clock and no
// zone, so a 12-hour mark and a zone name are left out; a format without hours is "HH:mm:ss".
std::string CoreTimeFormat(const QString& desktopFormat);

}  // namespace tarn
