#include "store/column_values.h"

#include <limits>
#include <stdexcept>

#include "base/numbers.h"
#include "base/text.h"

namespace tarn {
namespace {

std::string ForField(const ColumnDef& column) { return " for field '" + column.name + "'"; }

[[noreturn]] void ThrowNotValid(const ColumnDef& column, const std::string& text,
                                std::string_view kind) {
  throw std::invalid_argument("'" + text + "' is not a valid " + std::string(kind) + " value" +
                              ForField(column));
}

[[noreturn]] void ThrowCannotAssign(const ColumnDef& column, std::string_view kind) {
  throw std::invalid_argument("Cannot assign a " + std::string(kind) + " value to field '" +
                              column.name + "'");
}

Value ToWholeNumber(const ColumnDef& column, const Value& value) {
  int64_t number = 0;
  if (value.IsInt()) {
    number = value.AsInt();
  } else if (value.IsText()) {
    const auto parsed = ParseWholeNumber(value.AsText());
    if (!parsed) ThrowNotValid(column, value.AsText(), "integer");
    number = *parsed;
  } else {
    ThrowCannotAssign(column, value.IsBool() ? "boolean" : "date and time");
  }
  const auto [lowest, highest] = RangeOf(column.type);
  if (number < lowest || number > highest) {
    throw std::invalid_argument(std::to_string(number) + " is not a valid value" +
                                ForField(column) + ". The allowed range is " +
                                std::to_string(lowest) + " to " + std::to_string(highest));
  }
  return Value(number);
}

Value ToBoolean(const ColumnDef& column, const Value& value) {
  if (value.IsBool()) return value;
  if (value.IsInt()) return Value(value.AsInt() != 0);
  if (value.IsText()) {
    const auto flag = ParseBoolText(value.AsText());
    if (!flag) ThrowNotValid(column, value.AsText(), "boolean");
    return Value(*flag);
  }
  ThrowCannotAssign(column, "date and time");
}

Value ToDateTime(const ColumnDef& column, const Value& value) {
  if (value.IsDateTime()) return Value(value.AsDateTime().RoundedToMs());
  if (value.IsInt()) return Value(DateTime(static_cast<double>(value.AsInt())));
  if (value.IsText()) {
    const auto dt = DateTime::FromStorageText(value.AsText());
    if (!dt) ThrowNotValid(column, value.AsText(), "date and time");
    return Value(dt->RoundedToMs());
  }
  ThrowCannotAssign(column, "boolean");
}

}  // namespace

int FindColumn(const std::vector<ColumnDef>& columns, std::string_view name) {
  for (size_t i = 0; i < columns.size(); ++i) {
    if (EqualsIgnoringCase(columns[i].name, name)) return static_cast<int>(i);
  }
  return -1;
}

Value ToColumnValue(const ColumnDef& column, const Value& value) {
  if (value.IsNull() || (value.IsText() && value.AsText().empty())) return Value();
  switch (column.type) {
    case ColumnType::Integer:
    case ColumnType::SmallInt:
      return ToWholeNumber(column, value);
    case ColumnType::Boolean:
      return ToBoolean(column, value);
    case ColumnType::DateTime:
      return ToDateTime(column, value);
    case ColumnType::Text:
      break;
  }
  // A text column declared without a size keeps the whole text rather than nothing.
  std::string text =
      column.size > 0 ? CutToCodePoints(value.AsText(), column.size) : value.AsText();
  return text.empty() ? Value() : Value(std::move(text));
}

}  // namespace tarn
