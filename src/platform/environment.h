#pragma once

#include <optional>
#include <string>

namespace tarn {

class Environment {
 public:
  virtual ~Environment() = default;
  // The variable's value, or nothing when it is not set.
  virtual std::optional<std::string> Get(const std::string& name) const = 0;
};

}  // namespace tarn
