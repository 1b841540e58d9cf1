#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "store/value.h"

namespace tarn {

// A parsed filter text: conditions `column = 'constant'` joined by AND (any letter case, with
// blanks around it). A column name stands bare or in [square brackets]; an apostrophe inside a
// constant is written twice. A condition holds when the cell's text equals the constant exactly;
// a constant of two or more characters ending in '*' matches every text that starts with the part
// before the '*'.
class FilterExpression {
 public:
  // A text of blanks only gives the filter every row satisfies. A malformed text throws
  // std::invalid_argument saying what is wrong and at which position (1-based).
  static FilterExpression Parse(std::string_view text, const std::vector<ColumnDef>& columns);

  bool Matches(const std::vector<Value>& cells) const;

  struct Condition {
    int column = 0;
    std::string text;
    bool prefix = false;
  };

 private:
  std::vector<Condition> conditions_;
};

// The text as a filter constant: in apostrophes, each apostrophe inside doubled.
std::string QuoteFilterConstant(std::string_view text);

}  // namespace tarn
