#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "base/date_time.h"

namespace tarn {

enum class ColumnType { Integer, SmallInt, Text, Boolean, DateTime };

// The whole numbers a column of an integer type holds.
struct WholeRange {
  int64_t lowest;
  int64_t highest;
};
constexpr WholeRange RangeOf(ColumnType integerType) {
  return integerType == ColumnType::SmallInt ? WholeRange{INT16_MIN, INT16_MAX}
                                             : WholeRange{INT32_MIN, INT32_MAX};
}

struct ColumnDef {
  std::string name;
  ColumnType type = ColumnType::Text;
  int size = 0;  // characters (code points), text columns only
};

// One cell: empty (null), a whole number, a text, a boolean or a date-time.
class Value {
 public:
  Value() = default;
  Value(int v) : v_(static_cast<int64_t>(v)) {}
  Value(int64_t v) : v_(v) {}
  Value(std::string v) : v_(std::move(v)) {}
  Value(const char* v) : v_(std::string(v)) {}
  Value(bool v) : v_(v) {}
  Value(DateTime v) : v_(v) {}

  bool IsNull() const { return std::holds_alternative<std::monostate>(v_); }
  bool IsInt() const { return std::holds_alternative<int64_t>(v_); }
  bool IsText() const { return std::holds_alternative<std::string>(v_); }
  bool IsBool() const { return std::holds_alternative<bool>(v_); }
  bool IsDateTime() const { return std::holds_alternative<DateTime>(v_); }

  // Typed reads: an empty value reads as "", 0, false and date-time 0.
  // AsText: decimal for numbers, "True"/"False" for booleans, "yyyy-MM-dd HH:mm:ss" for date-times
  // (the time left out at midnight).
  std::string AsText() const;
  int64_t AsInt() const;        // text that is not a whole number throws std::invalid_argument
  bool AsBool() const;          // "True"/"False" any case, or a number; otherwise throws
  DateTime AsDateTime() const;  // a number is taken as a day count

  const auto& Variant() const { return v_; }
  bool operator==(const Value&) const = default;

 private:
  std::variant<std::monostate, int64_t, std::string, bool, DateTime> v_;
};

}  // namespace tarn
