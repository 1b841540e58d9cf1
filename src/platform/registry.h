#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/environment.h"

namespace tarn {

// String values under HKEY_LOCAL_MACHINE.
class Registry {
 public:
  virtual ~Registry() = default;
  // Nothing when the key does not open; "" when it opens without a string value of that name.
  // `keyPath` is written as "\SOFTWARE\Vendor\Key" (the leading backslash is optional).
  virtual std::optional<std::string> ReadLocalMachineString(std::string_view keyPath,
                                                            std::string_view valueName) const = 0;
};

// The machine registry of a Wine prefix, read from its "system.reg". A "C:\..." value comes back
// as the path of the prefix's "drive_c" folder, another drive letter through "dosdevices".
// An empty prefix, or one without the file, has no keys.
class WineRegistry : public Registry {
 public:
  explicit WineRegistry(std::filesystem::path prefix);
  std::optional<std::string> ReadLocalMachineString(std::string_view keyPath,
                                                    std::string_view valueName) const override;

 private:
  std::string WindowsPathInPrefix(const std::string& value) const;

  std::filesystem::path prefix_;
};

#ifdef _WIN32
class WindowsRegistry : public Registry {
 public:
  std::optional<std::string> ReadLocalMachineString(std::string_view keyPath,
                                                    std::string_view valueName) const override;
};
#endif

// The registry of this system: Windows' own, elsewhere the one of the Wine prefix (see WinePrefix).
std::unique_ptr<Registry> MakeSystemRegistry(const Environment& env);

}  // namespace tarn
