#include "store/value.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

#include "store/table.h"
#include "table_test_support.h"

namespace tarn {
namespace {

using testing::MakeGamesTable;

const DateTime kNoon = *DateTime::FromFields(2010, 4, 25, 12, 12, 9);
const DateTime kMidnight = *DateTime::FromFields(2010, 4, 25);

TEST(ValueTest, TypedReads) {
  struct Case {
    Value value;
    std::string text;
    std::optional<int64_t> number;  // nothing: AsInt throws
    std::optional<bool> flag;       // nothing: AsBool throws
  };
  const Case cases[] = {
      {Value(), "", 0, false},
      {Value(-42), "-42", -42, true},
      {Value(0), "0", 0, false},
      {Value(true), "True", 1, true},
      {Value(false), "False", 0, false},
      {Value("17"), "17", 17, true},
      {Value("-1"), "-1", -1, true},
      {Value("tRuE"), "tRuE", std::nullopt, true},
      {Value("FALSE"), "FALSE", std::nullopt, false},
      {Value("12a"), "12a", std::nullopt, std::nullopt},
      {Value(""), "", std::nullopt, std::nullopt},
      {Value("99999999999999999999"), "99999999999999999999", std::nullopt, std::nullopt},
      {Value(kNoon), "2010-04-25 12:12:09", 40293, std::nullopt},
      {Value(kMidnight), "2010-04-25", 40293, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.value.AsText(), c.text);
    if (c.number) {
      EXPECT_EQ(c.value.AsInt(), *c.number);
    } else {
      EXPECT_THROW(c.value.AsInt(), std::invalid_argument);
    }
    if (c.flag) {
      EXPECT_EQ(c.value.AsBool(), *c.flag);
    } else {
      EXPECT_THROW(c.value.AsBool(), std::invalid_argument);
    }
  }
}

TEST(ValueTest, DateTimeReads) {
  EXPECT_EQ(Value().AsDateTime(), DateTime());
  EXPECT_EQ(Value(2).AsDateTime(), DateTime(2.0));
  EXPECT_EQ(Value("2010-04-25 12:12:09").AsDateTime(), kNoon);
  EXPECT_THROW(Value("25.04.2010").AsDateTime(), std::invalid_argument);
  EXPECT_THROW(Value(true).AsDateTime(), std::invalid_argument);
}

// Assignment converts into the column's type or refuses with the table name in front.
TEST(ColumnValueTest, SetFieldConvertsToTheColumnType) {
  struct Case {
    std::string column;
    Value input;
    Value stored;
  };
  const Case cases[] = {
      {"game_id", Value("123"), Value(123)},
      {"game_id", Value("+7"), Value(7)},
      {"game_id", Value(int64_t{2147483647}), Value(2147483647)},
      {"img_no", Value(-32768), Value(-32768)},
      {"map_id", Value(42), Value("42")},
      {"map_id", Value(true), Value("True")},
      {"map_id", Value(""), Value()},
      {"new_turn", Value("false"), Value(false)},
      {"new_turn", Value(5), Value(true)},
      {"own_turn_date", Value(40293), Value(kMidnight)},
      {"own_turn_date", Value("2010-04-25 12:12:09"), Value(kNoon)},
      {"own_turn_date", Value(DateTime(kNoon.Days() + 0.4 / DateTime::kMsPerDay)), Value(kNoon)},
      {"own_turn_date", Value(), Value()},
  };
  Table games = MakeGamesTable();
  games.Append();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.column + " <- " + c.input.AsText());
    games.SetField(c.column, c.input);
    EXPECT_EQ(games.Field(c.column), c.stored);
  }
}

TEST(ColumnValueTest, WrongValuesAreRefusedWithTheirReason) {
  struct Case {
    std::string column;
    Value input;
    std::string message;
  };
  const Case cases[] = {
      {"game_id", Value("12a"), "Games: '12a' is not a valid integer value for field 'game_id'"},
      {"game_id", Value(int64_t{2147483648}),
       "Games: 2147483648 is not a valid value for field 'game_id'. The allowed range is "
       "-2147483648 to 2147483647"},
      {"img_no", Value(40000),
       "Games: 40000 is not a valid value for field 'img_no'. The allowed range is -32768 to "
       "32767"},
      {"img_no", Value(true), "Games: Cannot assign a boolean value to field 'img_no'"},
      {"game_id", Value(kNoon), "Games: Cannot assign a date and time value to field 'game_id'"},
      {"new_turn", Value(kNoon), "Games: Cannot assign a date and time value to field 'new_turn'"},
      {"own_turn_date", Value(false),
       "Games: Cannot assign a boolean value to field 'own_turn_date'"},
  };
  Table games = MakeGamesTable();
  games.Append();
  games.SetField("img_no", 3);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    try {
      games.SetField(c.column, c.input);
      ADD_FAILURE() << "no error";
    } catch (const TableError& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
  EXPECT_EQ(games.Field("img_no"), Value(3));  // a refused value leaves the cell as it was
}

TEST(ColumnValueTest, TypedTextInput) {
  struct Case {
    std::string column;
    std::string text;
    Value stored;         // when accepted
    std::string message;  // when refused
  };
  const Case cases[] = {
      {"game_id", "", Value(), ""},
      {"game_id", "-15", Value(-15), ""},
      {"game_id", "1.5", Value(), "Games: '1.5' is not a valid integer value for field 'game_id'"},
      {"img_no", "x", Value(), "Games: 'x' is not a valid integer value for field 'img_no'"},
      {"own_turn_date", "2010-04-25", Value(kMidnight), ""},
      {"own_turn_date", "2010-04-25 12:12:09.000", Value(kNoon), ""},
      {"own_turn_date", "2010-02-30", Value(),
       "Games: '2010-02-30' is not a valid date and time value for field 'own_turn_date'"},
      {"own_turn_date", "tomorrow", Value(),
       "Games: 'tomorrow' is not a valid date and time value for field 'own_turn_date'"},
      {"new_turn", "TRUE", Value(true), ""},
      {"new_turn", "-1", Value(true), ""},
      {"new_turn", "0", Value(false), ""},
      {"new_turn", "yes", Value(),
       "Games: 'yes' is not a valid boolean value for field 'new_turn'"},
      {"own_side", "fnu", Value("fnu"), ""},
  };
  Table games = MakeGamesTable();
  games.Append();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.column + " <- " + c.text);
    if (c.message.empty()) {
      games.SetFieldText(c.column, c.text);
      EXPECT_EQ(games.Field(c.column), c.stored);
    } else {
      try {
        games.SetFieldText(c.column, c.text);
        ADD_FAILURE() << "no error";
      } catch (const TableError& e) {
        EXPECT_EQ(std::string(e.what()), c.message);
      }
    }
  }
}

TEST(ColumnValueTest, LongTextIsCutAtCodePoints) {
  struct Case {
    std::string column;
    std::string input;
    std::string stored;
  };
  const Case cases[] = {
      {"competitor_name", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcde", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcd"},
      {"competitor_name", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcd", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcd"},
      {"own_side", "Ёжик", "Ёжи"},
      {"own_side", "a€😀b", "a€😀"},
      {"own_side", "日本語テキスト", "日本語"},
  };
  Table games = MakeGamesTable();
  games.Append();
  for (const Case& c : cases) {
    games.SetField(c.column, c.input);
    EXPECT_EQ(games.Field(c.column).AsText(), c.stored) << c.input;
  }
}

}  // namespace
}  // namespace tarn
