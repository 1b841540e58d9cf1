#include "platform/executable_path.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <string>
#include <system_error>

namespace tarn {

std::filesystem::path ExecutablePath(const char* argv0) {
#ifdef _WIN32
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
    if (length == 0) break;
    if (length < buffer.size()) return std::filesystem::path(buffer.substr(0, length));
    buffer.resize(buffer.size() * 2);
  }
#else
  std::error_code error;
  std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) return executable;
#endif
  std::error_code ignored;
  return std::filesystem::absolute(argv0 ? argv0 : "", ignored);
}

}  // namespace tarn
