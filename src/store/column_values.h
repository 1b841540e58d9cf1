#pragma once

#include <string_view>
#include <vector>

#include "store/value.h"

namespace tarn {

// Position of a column by name, letter case ignored; -1 when there is none.
int FindColumn(const std::vector<ColumnDef>& columns, std::string_view name);

// The value as the column stores it: integers range checked, text cut to the column size,
// date-times rounded to the millisecond, empty text as null. Throws std::invalid_argument with a
// message naming the field when the value does not fit the column.
Value ToColumnValue(const ColumnDef& column, const Value& value);

}  // namespace tarn
