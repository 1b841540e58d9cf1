#pragma once

// Small stand-ins for the platform seams, shared by the tests.

#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/date_time.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/environment.h"
#include "platform/system_time_zone.h"

namespace tarn::testing {

// Records every message box instead of showing it.
class RecordingDialogs : public Dialogs {
 public:
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void ShowError(const std::string& text) override { errors.push_back(text); }

  std::vector<std::string> messages;
  std::vector<std::string> errors;
};

// Swallows every message box, for benchmarks and tests that look at tables only.
class SilentDialogs : public Dialogs {
 public:
  void ShowMessage(const std::string&) override {}
  void ShowError(const std::string&) override {}
};

// A system time zone with a fixed standard bias, in minutes as the system gives it.
class FixedTimeZone : public SystemTimeZone {
 public:
  explicit FixedTimeZone(int biasMinutes = -60) : bias_(biasMinutes) {}
  int StandardBiasMinutes() const override { return bias_; }

 private:
  int bias_;
};

// A clock that stands still until the test moves it.
class FixedClock : public Clock {
 public:
  explicit FixedClock(DateTime start = *DateTime::FromFields(2010, 4, 25, 12, 12, 9))
      : now(start) {}
  DateTime Now() const override { return now; }

  DateTime now;
};

// A clock that moves on by a fixed step each time it is read, to tell readings apart.
class SteppingClock : public Clock {
 public:
  SteppingClock(DateTime start, double stepDays) : next_(start), step_(stepDays) {}
  DateTime Now() const override {
    const DateTime now = next_;
    next_ = DateTime(next_.Days() + step_);
    return now;
  }

 private:
  mutable DateTime next_;
  double step_;
};

// An environment holding only the variables the test sets.
class FakeEnvironment : public Environment {
 public:
  FakeEnvironment() = default;
  FakeEnvironment(std::initializer_list<std::pair<const std::string, std::string>> initial)
      : variables(initial) {}
  std::optional<std::string> Get(const std::string& name) const override {
    const auto found = variables.find(name);
    if (found == variables.end()) return std::nullopt;
    return found->second;
  }

  std::map<std::string, std::string> variables;
};

}  // namespace tarn::testing
