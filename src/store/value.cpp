#include "store/value.h"

#include <cmath>
#include <stdexcept>

#include "base/numbers.h"
#include "base/text.h"

namespace tarn {
namespace {

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};

std::string DateTimeText(DateTime dt) {
  const DateTime::Fields f = dt.ToFields();
  const bool midnight = f.hour == 0 && f.minute == 0 && f.second == 0 && f.msec == 0;
  return dt.Format(midnight ? "yyyy-MM-dd" : "yyyy-MM-dd HH:mm:ss");
}

}  // namespace

std::string Value::AsText() const {
  return std::visit(Overloaded{[](std::monostate) { return std::string(); },
                               [](int64_t v) { return std::to_string(v); },
                               [](const std::string& v) { return v; },
                               [](bool v) { return std::string(v ? "True" : "False"); },
                               [](DateTime v) { return DateTimeText(v); }},
                    v_);
}

int64_t Value::AsInt() const {
  return std::visit(
      Overloaded{[](std::monostate) -> int64_t { return 0; }, [](int64_t v) { return v; },
                 [](const std::string& v) {
                   const auto number = ParseWholeNumber(v);
                   if (!number) {
                     throw std::invalid_argument("'" + v + "' is not a valid integer value");
                   }
                   return *number;
                 },
                 [](bool v) -> int64_t { return v ? 1 : 0; },
                 [](DateTime v) { return static_cast<int64_t>(std::trunc(v.Days())); }},
      v_);
}

bool Value::AsBool() const {
  return std::visit(
      Overloaded{[](std::monostate) { return false; }, [](int64_t v) { return v != 0; },
                 [](const std::string& v) {
                   const auto flag = ParseBoolText(v);
                   if (!flag)
                     throw std::invalid_argument("'" + v + "' is not a valid boolean value");
                   return *flag;
                 },
                 [](bool v) { return v; },
                 [](DateTime v) -> bool {
                   throw std::invalid_argument("'" + DateTimeText(v) +
                                               "' is not a valid boolean value");
                 }},
      v_);
}

DateTime Value::AsDateTime() const {
  return std::visit(
      Overloaded{[](std::monostate) { return DateTime(); },
                 [](int64_t v) { return DateTime(static_cast<double>(v)); },
                 [](const std::string& v) {
                   const auto dt = DateTime::FromStorageText(v);
                   if (!dt) {
                     throw std::invalid_argument("'" + v + "' is not a valid date and time value");
                   }
                   return *dt;
                 },
                 [](bool v) -> DateTime {
                   throw std::invalid_argument(std::string("'") + (v ? "True" : "False") +
                                               "' is not a valid date and time value");
                 },
                 [](DateTime v) { return v; }},
      v_);
}

}  // namespace tarn
