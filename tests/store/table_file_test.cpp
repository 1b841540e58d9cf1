#include "store/table_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_dir.h"

namespace tarn {
namespace {

using ::testing::HasSubstr;
using testing::ReadText;
using ::testing::StartsWith;
using testing::TempDir;
using testing::WriteText;

const std::vector<ColumnDef> kColumns = {
    {"game_id", ColumnType::Integer},     {"own_side", ColumnType::Text, 3},
    {"user_type", ColumnType::SmallInt},  {"tourney", ColumnType::Boolean},
    {"start_time", ColumnType::DateTime}, {"competitor_name", ColumnType::Text, 30}};

std::string Header() {
  return R"({"table": "Games", "version": 1, "columns": [
      {"name": "game_id", "type": "integer"}, {"name": "own_side", "type": "text", "size": 3},
      {"name": "user_type", "type": "smallint"}, {"name": "tourney", "type": "boolean"},
      {"name": "start_time", "type": "datetime"},
      {"name": "competitor_name", "type": "text", "size": 30}], "rows": )";
}

TEST(TableFileTest, EveryTypeRoundTrips) {
  const TableRows rows = {
      {2147483647, "fnu", -32768, true, *DateTime::FromFields(2010, 4, 25, 12, 12, 9, 123),
       "Ærø \"quoted\" Лев 象"},
      {-2147483647 - 1, "pl", 32767, false, *DateTime::FromFields(1850, 1, 1), ""},
      {Value(), Value(), Value(), Value(), Value(), Value()},
  };
  const std::string text = TableFileText("Games", kColumns, rows);
  EXPECT_EQ(ParseTableFileText(text, "Games", kColumns).rows, rows);
  EXPECT_THAT(text, HasSubstr(R"("2010-04-25 12:12:09.123")"));
  EXPECT_THAT(text, HasSubstr(R"({"name":"own_side","type":"text","size":3})"));
  EXPECT_THAT(text, HasSubstr("[null,null,null,null,null,null]"));
}

TEST(TableFileTest, AnyTextReadsBack) {
  // Control characters and escapes survive; bytes that are not UTF-8 become U+FFFD.
  const TableRows rows = {{1, "a\"b", 0, true, Value(), "tab\tnew\nline\x01 back\\slash \xff\xc3"}};
  const TableRows back =
      ParseTableFileText(TableFileText("Games", kColumns, rows), "Games", kColumns).rows;
  EXPECT_EQ(back[0][1], Value("a\"b"));
  EXPECT_EQ(back[0][5], Value("tab\tnew\nline\x01 back\\slash \xEF\xBF\xBD\xEF\xBF\xBD"));
}

TEST(TableFileTest, ColumnsAreMatchedByName) {
  const std::string text = R"({"table": "Games", "version": 1, "columns": [
      {"name": "retired", "type": "integer"},
      {"name": "own_side", "type": "text", "size": 3}, {"name": "game_id", "type": "integer"}],
      "rows": [[1, "pl", 7]]})";
  const TableFileContent content = ParseTableFileText(text, "Games", kColumns);
  ASSERT_EQ(content.rows.size(), 1u);
  // The column the table does not know is kept after the table's own.
  EXPECT_EQ(content.rows[0], (std::vector<Value>{7, "pl", Value(), Value(), Value(), Value(), 1}));
  ASSERT_EQ(content.foreignColumns.size(), 1u);
  EXPECT_EQ(content.foreignColumns[0].name, "retired");
  EXPECT_EQ(content.foreignColumns[0].type, ColumnType::Integer);
}

TEST(TableFileTest, LongTextIsCutToTheColumnByCharacters) {
  const TableRows rows =
      ParseTableFileText(
          Header() + R"([[1, "plus", 0, true, null, "ЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖ"]]})", "Games",
          kColumns)
          .rows;
  EXPECT_EQ(rows[0][1], Value("plu"));
  std::string thirty;
  for (int i = 0; i < 30; ++i) thirty += "Ж";
  EXPECT_EQ(rows[0][5], Value(thirty));
}

TEST(TableFileTest, BadContentIsRefusedWithTheReason) {
  struct Case {
    std::string text;
    std::string reason;
  };
  const std::string row = R"([1, "pl", 0, true, "2008-06-01 10:00:00.000", "x"])";
  const Case cases[] = {
      {"", "not valid JSON"},
      {"{\"table\": ", "not valid JSON"},
      {"[1, 2]", "does not hold a table"},
      {R"({"version": 1})", "The file has no \"table\""},
      {R"({"table": "Maps", "version": 1})", "holds the table \"Maps\", not \"Games\""},
      {R"({"table": "Games", "version": 2})", "format version 2; this program reads version 1"},
      {R"({"table": "Games"})", "no \"version\""},
      {R"({"table": "Games", "version": 1})", "no \"columns\""},
      {R"({"table": "Games", "version": 1, "columns": [{"name": "game_id"}], "rows": []})",
       "Column 1 has no \"type\""},
      {R"({"table": "Games", "version": 1, "columns": [{"name": "game_id", "type": "text"}],
           "rows": []})",
       "Column `game_id` has the type \"text\", not \"integer\""},
      {R"({"table": "Games", "version": 1, "columns": [{"name": "game_id", "type": "integer"},
           {"name": "game_id", "type": "integer"}], "rows": []})",
       "Column `game_id` appears twice"},
      {Header() + "{}}", "\"rows\" is not a list"},
      {Header() + "[" + row + ", [1, \"pl\"]]}", "Row 2 does not hold one value for each of the 6"},
      {Header() + R"([[1, "pl", 0, true, null, "", 7]]})", "Row 1 does not hold one value"},
      {Header() + "[5]}", "Row 1 does not hold one value"},
      {Header() + R"([[[1], "pl", 0, true, null, ""]]})",
       "column `game_id`: a list or object is not a whole number"},
      {R"({"table": "Games", "version": 1, "rows": [], "columns": []})",
       "no \"columns\" before its \"rows\""},
      {Header() + "[" + row + ", " + row + R"(, ["12", "pl", 0, true, null, ""]]})",
       "Row 3, column `game_id`: \"12\" is not a whole number."},
      {Header() + R"([[1.5, "pl", 0, true, null, ""]]})", "1.5 is not a whole number"},
      {Header() + R"([[2147483648, "pl", 0, true, null, ""]]})",
       "2147483648 is not a whole number from -2147483648 to 2147483647"},
      {Header() + R"([[-2147483649, "pl", 0, true, null, ""]]})", "from -2147483648"},
      {Header() + R"([[1, "pl", 32768, true, null, ""]]})",
       "column `user_type`: 32768 is not a whole number from -32768 to 32767"},
      {Header() + R"([[1, 5, 0, true, null, ""]]})", "column `own_side`: 5 is not a text"},
      {Header() + R"([[1, "pl", 0, 1, null, ""]]})", "column `tourney`: 1 is not true or false"},
      {Header() + R"([[1, "pl", 0, true, "2008-02-30 10:00:00.000", ""]]})",
       "column `start_time`: \"2008-02-30 10:00:00.000\" is not a date and time"},
      {Header() + R"([[1, "pl", 0, true, 39600.5, ""]]})", "column `start_time`: 39600.5"},
      {R"({"table": "Games", "version": 1, "columns": [
           {"name": "own_side", "type": "text", "size": 3}], "rows": [["pl"], ["pl"]]})",
       "The file has no column `game_id`, which tells its rows apart."},
      {R"({"table": "Games", "version": 1, "columns": [], "rows": []})", "no column `game_id`"},
      {R"({"table": "Games", "version": 1, "columns": [
           {"name": "Game_Id", "type": "integer"}]})",
       "no column `game_id`"},
      {R"({"table": "Games", "version": 1, "columns": [{"name": "game_id", "type": "integer"},
           {"name": "rank", "type": "decimal"}], "rows": []})",
       "Column `rank` has the type \"decimal\", which is none of integer, smallint, text, "
       "boolean, datetime."},
      {R"({"table": "Games", "version": 1, "columns": [{"name": "game_id", "type": "integer"},
           {"name": "clan", "type": "text"}], "rows": []})",
       "Column 2 has no \"size\""},
      {R"({"table": "Games", "version": 1, "columns": [{"name": "game_id", "type": "integer"},
           {"name": "clan", "type": "text", "size": 0}], "rows": []})",
       "Column `clan` has the size 0, not a whole number from 1 to 2147483647."},
      {R"({"table": "Games", "version": 1, "columns": [{"name": "game_id", "type": "integer"},
           {"name": "rank", "type": "smallint"}], "rows": [[1, 2], [2, 40000]]})",
       "Row 2, column `rank`: 40000 is not a whole number from -32768 to 32767."},
      {R"({"table": "Games", "version": 1, "columns": [{"name": "game_id", "type": "integer"},
           {"name": "joined", "type": "datetime"}], "rows": [[1, true]]})",
       "Row 1, column `joined`: true is not a date and time."},
  };
  for (const auto& c : cases) {
    try {
      ParseTableFileText(c.text, "Games", kColumns, "game_id");
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const TableFileError& error) {
      EXPECT_THAT(error.what(), HasSubstr(c.reason)) << c.text;
    }
  }
}

TEST(TableFileTest, ReadErrorsNameTheFile) {
  TempDir dir;
  WriteText(dir / "bad.cds", "{broken");
  ASSERT_EQ(::mkfifo((dir / "fifo.cds").c_str(), 0644), 0);
  std::filesystem::create_symlink("/dev/zero", dir / "zero.cds");
  WriteText(dir / "huge.cds", TableFileText("Games", kColumns, {}));
  std::filesystem::resize_file(dir / "huge.cds", (std::uintmax_t{512} << 20) + 1);
  WriteText(dir / "fits.cds", TableFileText("Games", kColumns, {}));
  std::filesystem::create_symlink(dir / "fits.cds", dir / "link.cds");
  EXPECT_TRUE(ReadTableFile(dir / "link.cds", "Games", kColumns).rows.empty());
  for (const auto& [file, reason] :
       {std::pair{dir / "bad.cds", std::string("not valid JSON")},
        std::pair{dir / "missing.cds", std::string("No such file or directory")},
        std::pair{dir.Path(), std::string("Is a directory")},
        std::pair{dir / "fifo.cds", std::string("The file is not a regular file.")},
        std::pair{dir / "zero.cds", std::string("The file is not a regular file.")},
        std::pair{dir / "huge.cds", std::string("The file is larger than 512 MB.")}}) {
    try {
      ReadTableFile(file, "Games", kColumns);
      ADD_FAILURE() << file;
    } catch (const TableFileError& error) {
      EXPECT_THAT(error.what(), StartsWith("Cannot open file \"" + file.string() + "\". "));
      EXPECT_THAT(error.what(), HasSubstr(reason));
    }
  }
}

TEST(TableFileTest, WriteReplacesTheFile) {
  TempDir dir;
  const auto file = dir / "games.cds";
  WriteTableFile(file, "Games", kColumns, {{1, "pl", 0, true, Value(), "a"}});
  WriteTableFile(file, "Games", kColumns, {{2, "fnu", 0, false, Value(), "b"}});
  EXPECT_EQ(ReadTableFile(file, "Games", kColumns).rows,
            (TableRows{{2, "fnu", 0, false, Value(), "b"}}));
  EXPECT_FALSE(std::filesystem::exists(dir / "games.cds.tmp"));
}

TEST(TableFileTest, FailedWriteLeavesTheOldFileAndNoTemporaryFile) {
  TempDir dir;
  const auto file = dir / "games.cds";
  WriteTableFile(file, "Games", kColumns, {{1, "pl", 0, true, Value(), "a"}});
  const std::string before = ReadText(file);
  // The temporary file's name is taken by a folder, so the write cannot even start.
  std::filesystem::create_directory(dir / "games.cds.tmp");
  EXPECT_THROW(WriteTableFile(file, "Games", kColumns, {}), TableFileError);
  EXPECT_EQ(ReadText(file), before);
  std::filesystem::remove(dir / "games.cds.tmp");

  // The target is a folder: the rename fails after the temporary file was written.
  std::filesystem::create_directories(dir / "taken" / "inside");
  try {
    WriteTableFile(dir / "taken", "Games", kColumns, {});
    ADD_FAILURE();
  } catch (const TableFileError& error) {
    EXPECT_THAT(error.what(), StartsWith("Cannot write file \"" + (dir / "taken").string()));
  }
  EXPECT_TRUE(std::filesystem::exists(dir / "taken" / "inside"));
  EXPECT_FALSE(std::filesystem::exists(dir / "taken.tmp"));

  EXPECT_THROW(WriteTableFile(dir / "no-such-folder" / "x.cds", "Games", kColumns, {}),
               TableFileError);
}

}  // namespace
}  // namespace tarn
