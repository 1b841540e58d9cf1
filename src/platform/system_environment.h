#pragma once

#include "platform/environment.h"

namespace tarn {

// The process environment.
class SystemEnvironment : public Environment {
 public:
  std::optional<std::string> Get(const std::string& name) const override;
};

}  // namespace tarn
