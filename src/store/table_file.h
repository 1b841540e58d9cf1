#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "store/value.h"

namespace tarn {

// A table file that cannot be read or written. The text names the file and the reason:
// "Cannot open file "<path>". <reason>" or "Cannot write file "<path>". <reason>".
class TableFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

using TableRows = std::vector<std::vector<Value>>;

// What a table file holds for the table that reads it. Each row holds the values of the table's
// columns in their order, then those of the foreign columns: the file's columns that the table
// does not know (a newer version of the program wrote them), kept so that they go back into the
// file as they came.
struct TableFileContent {
  std::vector<ColumnDef> foreignColumns;
  TableRows rows;
};

// A table file beyond this is no table of ours, and reading it could exhaust the memory.
constexpr std::uintmax_t kLargestTableFileMegabytes = 512;

// The JSON form of one table:
//   {"table": name, "version": 1, "columns": [{"name", "type", "size"}...], "rows": [[...]...]}
// with integers, texts, booleans, datetimes as "yyyy-MM-dd HH:mm:ss.zzz" and null for empty.
// One row a line, so that the files stay readable and diff well.
std::string TableFileText(std::string_view tableName, const std::vector<ColumnDef>& columns,
                          const TableRows& rows);

// Reads the rows of the text for the given columns. Columns are matched by name: a column the
// text does not know stays empty, one the table does not know becomes a foreign column. Without
// the column named idColumn (when one is named) the rows could not be told apart, so the text is
// refused. Every value must fit its column's type; a text longer than its column is cut.
// Throws TableFileError with the reason alone (the table, value, row and column at fault).
TableFileContent ParseTableFileText(std::string_view text, std::string_view tableName,
                                    const std::vector<ColumnDef>& columns,
                                    std::string_view idColumn = {});

// ParseTableFileText on the file's content; errors name the file. Only a regular file of at most
// kLargestTableFileMegabytes is read.
TableFileContent ReadTableFile(const std::filesystem::path& file, std::string_view tableName,
                               const std::vector<ColumnDef>& columns,
                               std::string_view idColumn = {});
// Writes the file atomically: on failure the old file stays intact. The columns are those of the
// rows' values, foreign ones included.
void WriteTableFile(const std::filesystem::path& file, std::string_view tableName,
                    const std::vector<ColumnDef>& columns, const TableRows& rows);

}  // namespace tarn
