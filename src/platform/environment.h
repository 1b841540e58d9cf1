#pragma once

#include <map>
#include <optional>
#include <string>

namespace tarn {

class Environment {
 public:
  virtual ~Environment() = default;
  // The variable's value, or nothing when it is not set.
  virtual std::optional<std::string> Get(const std::string& name) const = 0;
};

// Another environment with some variables set over it, so a caller can change what the code
// below sees without touching the process environment.
class OverlayEnvironment : public Environment {
 public:
  OverlayEnvironment(const Environment& base, std::map<std::string, std::string> variables)
      : base_(base), variables_(std::move(variables)) {}
  std::optional<std::string> Get(const std::string& name) const override {
    const auto found = variables_.find(name);
    return found != variables_.end() ? std::optional(found->second) : base_.Get(name);
  }

 private:
  const Environment& base_;
  std::map<std::string, std::string> variables_;
};

}  // namespace tarn
