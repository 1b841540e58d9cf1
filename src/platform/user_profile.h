#pragma once

#include <string>
#include <string_view>

#include "platform/environment.h"

namespace tarn {

// The user's profile folder without a trailing separator: USERPROFILE when set. Elsewhere than on
// Windows, when it is not set, the user's folder of the Wine prefix ("drive_c/users/" + $USER)
// when it exists, else $HOME. Empty when none of these is known.
std::string UserProfileDir(const Environment& env);

// `dir` followed by a path written the Windows way ("\Tarn Frontlines\settings.ini"), with the
// relative path's backslashes turned into this system's separator.
std::string JoinWindowsRelative(std::string_view dir, std::string_view windowsRelative);

}  // namespace tarn
