#pragma once

#include "base/date_time.h"

namespace tarn {

class Clock {
 public:
  virtual ~Clock() = default;
  // The current local date and time.
  virtual DateTime Now() const = 0;
};

class SystemClock : public Clock {
 public:
  DateTime Now() const override;
};

}  // namespace tarn
