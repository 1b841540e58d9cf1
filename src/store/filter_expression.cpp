#include "store/filter_expression.h"

#include <stdexcept>

#include "base/numbers.h"
#include "base/text.h"
#include "store/column_values.h"

namespace tarn {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool EndsBareName(char c) { return IsBlank(c) || c == '=' || c == '\'' || c == '[' || c == ']'; }

class FilterParser {
 public:
  FilterParser(std::string_view text, const std::vector<ColumnDef>& columns)
      : text_(text), columns_(columns) {}

  std::vector<FilterExpression::Condition> Conditions() {
    std::vector<FilterExpression::Condition> conditions;
    SkipBlanks();
    if (AtEnd()) return conditions;
    while (true) {
      conditions.push_back(Condition());
      if (!SkipBlanks() && !AtEnd()) Fail("blank and AND expected after the constant");
      if (AtEnd()) return conditions;
      if (!EqualsIgnoringCase(text_.substr(pos_, 3), "and")) Fail("AND expected");
      pos_ += 3;
      if (!AtEnd() && !IsBlank(text_[pos_])) Fail("blank expected after AND");
      SkipBlanks();
      if (AtEnd()) Fail("condition expected after AND");
    }
  }

 private:
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }

  // True when at least one blank was skipped.
  bool SkipBlanks() {
    const size_t start = pos_;
    while (!AtEnd() && IsBlank(text_[pos_])) ++pos_;
    return pos_ > start;
  }

  [[noreturn]] void Fail(const std::string& what, size_t at) const {
    const std::string where =
        at >= text_.size() ? "at the end of the text" : "at position " + std::to_string(at + 1);
    throw std::invalid_argument("Invalid filter: " + what + " " + where);
  }
  [[noreturn]] void Fail(const std::string& what) const { Fail(what, pos_); }

  FilterExpression::Condition Condition() {
    FilterExpression::Condition condition;
    condition.column = Column();
    SkipBlanks();
    if (Peek() != '=') Fail("'=' expected");
    ++pos_;
    SkipBlanks();
    condition.text = Constant();
    condition.prefix = condition.text.size() >= 2 && condition.text.back() == '*';
    if (condition.prefix) condition.text.pop_back();
    return condition;
  }

  int Column() {
    const size_t start = pos_;
    std::string_view name;
    if (Peek() == '[') {
      const size_t close = text_.find(']', pos_);
      if (close == std::string_view::npos) Fail("']' expected to close the column name", start);
      name = text_.substr(pos_ + 1, close - pos_ - 1);
      pos_ = close + 1;
    } else {
      while (!AtEnd() && !EndsBareName(text_[pos_])) ++pos_;
      name = text_.substr(start, pos_ - start);
    }
    if (name.empty()) Fail("column name expected", start);
    const int column = FindColumn(columns_, name);
    if (column < 0) Fail("unknown column '" + std::string(name) + "'", start);
    return column;
  }

  std::string Constant() {
    if (Peek() != '\'') Fail("constant in apostrophes expected");
    const size_t start = pos_++;
    std::string constant;
    while (true) {
      if (AtEnd()) Fail("constant not closed by an apostrophe, started", start);
      const char c = text_[pos_++];
      if (c != '\'') {
        constant += c;
      } else if (Peek() == '\'') {
        constant += '\'';
        ++pos_;
      } else {
        return constant;
      }
    }
  }

  std::string_view text_;
  const std::vector<ColumnDef>& columns_;
  size_t pos_ = 0;
};

}  // namespace

FilterExpression FilterExpression::Parse(std::string_view text,
                                         const std::vector<ColumnDef>& columns) {
  FilterExpression filter;
  filter.conditions_ = FilterParser(text, columns).Conditions();
  return filter;
}

bool FilterExpression::Matches(const std::vector<Value>& cells) const {
  for (const Condition& condition : conditions_) {
    const Value& cell = cells[condition.column];
    // Text cells are compared in place; only other kinds need their display text made.
    const auto* stored = std::get_if<std::string>(&cell.Variant());
    const std::string made = stored ? std::string() : cell.AsText();
    const std::string_view text = stored ? *stored : made;
    if (condition.prefix ? !text.starts_with(condition.text) : text != condition.text) {
      return false;
    }
  }
  return true;
}

std::string QuoteFilterConstant(std::string_view text) {
  std::string quoted = "'";
  for (const char c : text) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return quoted + "'";
}

}  // namespace tarn
