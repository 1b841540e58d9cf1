#include "store/table_file.h"

#include <cerrno>
#include <cstdint>
#include <fstream>
#include <limits>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <system_error>

#include "platform/atomic_file.h"
#include "store/value_text.h"

namespace tarn {
namespace {

using Json = nlohmann::json;

constexpr int kFormatVersion = 1;

struct TypeName {
  ColumnType type;
  const char* name;
};
constexpr TypeName kTypeNames[] = {{ColumnType::Integer, "integer"},
                                   {ColumnType::SmallInt, "smallint"},
                                   {ColumnType::Text, "text"},
                                   {ColumnType::Boolean, "boolean"},
                                   {ColumnType::DateTime, "datetime"}};

const char* NameOf(ColumnType type) {
  for (const auto& t : kTypeNames) {
    if (t.type == type) return t.name;
  }
  return "?";
}

[[noreturn]] void Fail(const std::string& reason) { throw TableFileError(reason); }

std::string Shown(const Json& value) {
  constexpr size_t kLongest = 40;
  std::string text = value.dump(-1, ' ', false, Json::error_handler_t::replace);
  if (text.size() > kLongest) text = text.substr(0, kLongest) + "...";
  return text;
}

Json ValueJson(const Value& value) {
  return std::visit(
      [](const auto& v) -> Json {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::monostate>) {
          return nullptr;
        } else if constexpr (std::is_same_v<T, DateTime>) {
          return v.ToStorageText();
        } else {
          return v;
        }
      },
      value.Variant());
}

// Reading a value of a file into its column.
class ValueReader {
 public:
  ValueReader(const ColumnDef& column, size_t row) : column_(column), row_(row) {}

  Value Read(const Json& json) const {
    if (json.is_null()) return Value();
    switch (column_.type) {
      case ColumnType::Integer:
        return Whole(json, std::numeric_limits<int32_t>::min(),
                     std::numeric_limits<int32_t>::max());
      case ColumnType::SmallInt:
        return Whole(json, std::numeric_limits<int16_t>::min(),
                     std::numeric_limits<int16_t>::max());
      case ColumnType::Text:
        if (!json.is_string()) Wrong(json, "a text");
        return CutToCodePoints(json.get_ref<const std::string&>(), column_.size);
      case ColumnType::Boolean:
        if (!json.is_boolean()) Wrong(json, "true or false");
        return json.get<bool>();
      case ColumnType::DateTime: {
        if (!json.is_string()) Wrong(json, "a date and time");
        const auto dateTime = DateTime::FromStorageText(json.get_ref<const std::string&>());
        if (!dateTime) Wrong(json, "a date and time as yyyy-MM-dd HH:mm:ss.zzz");
        return *dateTime;
      }
    }
    Wrong(json, "a known type");
  }

 private:
  Value Whole(const Json& json, int64_t least, int64_t most) const {
    if (!json.is_number_integer()) Wrong(json, "a whole number");
    const bool inRange = json.is_number_unsigned()
                             ? json.get<uint64_t>() <= uint64_t(most)
                             : json.get<int64_t>() >= least && json.get<int64_t>() <= most;
    if (!inRange) {
      Wrong(json, "a whole number from " + std::to_string(least) + " to " + std::to_string(most));
    }
    return json.get<int64_t>();
  }

  [[noreturn]] void Wrong(const Json& json, const std::string& expected) const {
    Fail("Row " + std::to_string(row_ + 1) + ", column `" + column_.name + "`: " + Shown(json) +
         " is not " + expected + ".");
  }

  const ColumnDef& column_;
  size_t row_;
};

const Json& Member(const Json& object, const char* key, const std::string& where) {
  const auto found = object.find(key);
  if (found == object.end()) Fail(where + " has no \"" + key + "\".");
  return *found;
}

void CheckHeader(const Json& file, std::string_view tableName) {
  if (!file.is_object()) Fail("The file does not hold a table.");
  const Json& name = Member(file, "table", "The file");
  if (!name.is_string() || name.get_ref<const std::string&>() != tableName) {
    Fail("The file holds the table " + Shown(name) + ", not \"" + std::string(tableName) + "\".");
  }
  const Json& version = Member(file, "version", "The file");
  if (version != kFormatVersion) {
    Fail("The file has format version " + Shown(version) + "; this program reads version " +
         std::to_string(kFormatVersion) + ".");
  }
}

// For each column of the file, the index of the table's column of that name, or -1.
std::vector<int> MatchColumns(const Json& fileColumns, const std::vector<ColumnDef>& columns) {
  if (!fileColumns.is_array()) Fail("\"columns\" is not a list.");
  std::map<std::string, int, std::less<>> byName;
  for (size_t i = 0; i < columns.size(); ++i) byName.emplace(columns[i].name, static_cast<int>(i));
  std::vector<int> matched;
  std::set<std::string, std::less<>> seen;
  for (size_t i = 0; i < fileColumns.size(); ++i) {
    const std::string where = "Column " + std::to_string(i + 1);
    const Json& column = fileColumns[i];
    if (!column.is_object()) Fail(where + " is not a column definition.");
    const Json& name = Member(column, "name", where);
    const Json& type = Member(column, "type", where);
    if (!name.is_string()) Fail(where + " has the name " + Shown(name) + ", not a text.");
    const std::string& columnName = name.get_ref<const std::string&>();
    if (!seen.insert(columnName).second) Fail("Column `" + columnName + "` appears twice.");
    const auto known = byName.find(columnName);
    if (known == byName.end()) {
      matched.push_back(-1);
      continue;
    }
    const char* expectedType = NameOf(columns[known->second].type);
    if (type != expectedType) {
      Fail("Column `" + columnName + "` has the type " + Shown(type) + ", not \"" + expectedType +
           "\".");
    }
    matched.push_back(known->second);
  }
  return matched;
}

std::string ParseErrorText(const Json::parse_error& error) {
  std::string text = error.what();
  const size_t end = text.find("] ");
  if (text.starts_with("[json.exception") && end != std::string::npos) text.erase(0, end + 2);
  return "The file is not valid JSON: " + text;
}

std::string ReadWholeFile(const std::filesystem::path& file) {
  std::error_code error;
  if (std::filesystem::is_directory(file, error)) {
    throw std::system_error(std::make_error_code(std::errc::is_a_directory));
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::system_error(errno, std::generic_category());
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw std::system_error(errno, std::generic_category());
  return std::move(text).str();
}

}  // namespace

std::string TableFileText(std::string_view tableName, const std::vector<ColumnDef>& columns,
                          const TableRows& rows) {
  auto dump = [](const auto& json) {
    return json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  };
  std::string text = "{\"table\": " + dump(Json(std::string(tableName))) +
                     ", \"version\": " + std::to_string(kFormatVersion) + ",\n \"columns\": [";
  for (size_t i = 0; i < columns.size(); ++i) {
    nlohmann::ordered_json column = {{"name", columns[i].name}, {"type", NameOf(columns[i].type)}};
    if (columns[i].type == ColumnType::Text) column["size"] = columns[i].size;
    text += (i == 0 ? "\n  " : ",\n  ") + dump(column);
  }
  text += "],\n \"rows\": [";
  for (size_t r = 0; r < rows.size(); ++r) {
    Json row = Json::array();
    for (const Value& value : rows[r]) row.push_back(ValueJson(value));
    text += (r == 0 ? "\n  " : ",\n  ") + dump(row);
  }
  text += "]}\n";
  return text;
}

TableRows ParseTableFileText(std::string_view text, std::string_view tableName,
                             const std::vector<ColumnDef>& columns) {
  Json file;
  try {
    file = Json::parse(text);
  } catch (const Json::parse_error& error) {
    Fail(ParseErrorText(error));
  }
  CheckHeader(file, tableName);
  const std::vector<int> matched = MatchColumns(Member(file, "columns", "The file"), columns);
  const Json& fileRows = Member(file, "rows", "The file");
  if (!fileRows.is_array()) Fail("\"rows\" is not a list.");
  TableRows rows;
  rows.reserve(fileRows.size());
  for (size_t r = 0; r < fileRows.size(); ++r) {
    const Json& fileRow = fileRows[r];
    if (!fileRow.is_array() || fileRow.size() != matched.size()) {
      Fail("Row " + std::to_string(r + 1) + " does not hold one value for each of the " +
           std::to_string(matched.size()) + " columns.");
    }
    std::vector<Value> row(columns.size());
    for (size_t c = 0; c < matched.size(); ++c) {
      if (matched[c] < 0) continue;
      row[matched[c]] = ValueReader(columns[matched[c]], r).Read(fileRow[c]);
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

TableRows ReadTableFile(const std::filesystem::path& file, std::string_view tableName,
                        const std::vector<ColumnDef>& columns) {
  const std::string prefix = "Cannot open file \"" + file.string() + "\". ";
  std::string text;
  try {
    text = ReadWholeFile(file);
  } catch (const std::system_error& error) {
    throw TableFileError(prefix + error.code().message());
  }
  try {
    return ParseTableFileText(text, tableName, columns);
  } catch (const TableFileError& error) {
    throw TableFileError(prefix + error.what());
  }
}

void WriteTableFile(const std::filesystem::path& file, std::string_view tableName,
                    const std::vector<ColumnDef>& columns, const TableRows& rows) {
  try {
    WriteFileAtomically(file, TableFileText(tableName, columns, rows));
  } catch (const FileWriteError& error) {
    throw TableFileError(error.what());
  }
}

}  // namespace tarn
