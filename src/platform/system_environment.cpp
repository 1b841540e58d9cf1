#include "platform/system_environment.h"

#include <cstdlib>

namespace tarn {

std::optional<std::string> SystemEnvironment::Get(const std::string& name) const {
  const char* value = std::getenv(name.c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

}  // namespace tarn
