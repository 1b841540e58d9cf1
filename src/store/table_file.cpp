#include "store/table_file.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>

#include "base/numbers.h"
#include "base/text.h"
#include "platform/atomic_file.h"

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

// Length of the valid UTF-8 sequence at the start of the text, 0 when it is not one.
size_t Utf8SequenceLength(std::string_view text) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  size_t length = 0;
  unsigned char least = 0x80, most = 0xBF;  // bounds of the second byte
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) least = 0xA0;
    if (lead == 0xED) most = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) least = 0x90;
    if (lead == 0xF4) most = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < least || byte(1) > most) return 0;
  for (size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return length;
}

// A JSON string; bytes that are not UTF-8 become U+FFFD, so the file always reads back.
void AppendJsonString(std::string& out, std::string_view text) {
  out += '"';
  while (!text.empty()) {
    const char c = text.front();
    const size_t length = Utf8SequenceLength(text);
    if (length == 0) {
      out += "\xEF\xBF\xBD";
      text.remove_prefix(1);
      continue;
    }
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      out += "\\u00";
      out += "0123456789abcdef"[(c >> 4) & 0xF];
      out += "0123456789abcdef"[c & 0xF];
    } else {
      out.append(text.data(), length);
    }
    text.remove_prefix(length);
  }
  out += '"';
}

void AppendValue(std::string& out, const Value& value) {
  std::visit(
      [&](const auto& v) {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::monostate>) {
          out += "null";
        } else if constexpr (std::is_same_v<T, bool>) {
          out += v ? "true" : "false";
        } else if constexpr (std::is_same_v<T, int64_t>) {
          char digits[24];
          const auto [end, error] = std::to_chars(digits, digits + sizeof digits, v);
          out.append(digits, end);
        } else if constexpr (std::is_same_v<T, DateTime>) {
          out += '"';
          v.AppendStorageText(out);
          out += '"';
        } else {
          AppendJsonString(out, v);
        }
      },
      value.Variant());
}

// One value of a row as the parser hands it over, read in place without building a document.
struct Cell {
  enum class Kind { Null, Boolean, Integer, Unsigned, Float, Text, Nested };
  Kind kind = Kind::Null;
  bool boolean = false;
  int64_t integer = 0;
  uint64_t unsignedInteger = 0;  // a whole number beyond int64_t
  std::string_view text;         // a text, or a float as written

  static Cell Of(Kind kind) {
    Cell cell;
    cell.kind = kind;
    return cell;
  }
};

Cell BooleanCell(bool value) {
  Cell cell = Cell::Of(Cell::Kind::Boolean);
  cell.boolean = value;
  return cell;
}

Cell IntegerCell(int64_t value) {
  Cell cell = Cell::Of(Cell::Kind::Integer);
  cell.integer = value;
  return cell;
}

Cell TextCell(Cell::Kind kind, std::string_view text) {
  Cell cell = Cell::Of(kind);
  cell.text = text;
  return cell;
}

std::string Shown(const Cell& cell) {
  switch (cell.kind) {
    case Cell::Kind::Null:
      return "null";
    case Cell::Kind::Boolean:
      return cell.boolean ? "true" : "false";
    case Cell::Kind::Integer:
      return std::to_string(cell.integer);
    case Cell::Kind::Unsigned:
      return std::to_string(cell.unsignedInteger);
    case Cell::Kind::Float:
      return std::string(cell.text);
    case Cell::Kind::Text:
      return Shown(Json(std::string(cell.text)));
    case Cell::Kind::Nested:
      break;
  }
  return "a list or object";
}

// Reading a value of a file into its column.
class ValueReader {
 public:
  ValueReader(const ColumnDef& column, size_t row) : column_(column), row_(row) {}

  Value Read(const Cell& cell) const {
    using Kind = Cell::Kind;
    if (cell.kind == Kind::Null) return Value();
    switch (column_.type) {
      case ColumnType::Integer:
      case ColumnType::SmallInt:
        return Whole(cell, RangeOf(column_.type));
      case ColumnType::Text:
        if (cell.kind != Kind::Text) Wrong(cell, "a text");
        return CutToCodePoints(cell.text, column_.size);
      case ColumnType::Boolean:
        if (cell.kind != Kind::Boolean) Wrong(cell, "true or false");
        return cell.boolean;
      case ColumnType::DateTime: {
        if (cell.kind != Kind::Text) Wrong(cell, "a date and time");
        const auto dateTime = DateTime::FromStorageText(cell.text);
        if (!dateTime) Wrong(cell, "a date and time as yyyy-MM-dd HH:mm:ss.zzz");
        return *dateTime;
      }
    }
    Wrong(cell, "a known type");
  }

 private:
  Value Whole(const Cell& cell, WholeRange range) const {
    if (cell.kind != Cell::Kind::Integer && cell.kind != Cell::Kind::Unsigned) {
      Wrong(cell, "a whole number");
    }
    if (cell.kind == Cell::Kind::Unsigned || cell.integer < range.lowest ||
        cell.integer > range.highest) {
      Wrong(cell, "a whole number from " + std::to_string(range.lowest) + " to " +
                      std::to_string(range.highest));
    }
    return cell.integer;
  }

  [[noreturn]] void Wrong(const Cell& cell, const std::string& expected) const {
    Fail("Row " + std::to_string(row_ + 1) + ", column `" + column_.name + "`: " + Shown(cell) +
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

const TypeName* TypeNamed(const Json& type) {
  for (const auto& t : kTypeNames) {
    if (type == t.name) return &t;
  }
  return nullptr;
}

// A column of the file that the table does not know, with the type and size the file gives it.
ColumnDef ForeignColumn(const Json& column, const Json& type, const std::string& name,
                        const std::string& where) {
  const TypeName* known = TypeNamed(type);
  if (!known) {
    std::string names;
    for (const auto& t : kTypeNames) names += std::string(names.empty() ? "" : ", ") + t.name;
    Fail("Column `" + name + "` has the type " + Shown(type) + ", which is none of " + names + ".");
  }
  ColumnDef foreign{name, known->type};
  if (foreign.type == ColumnType::Text) {
    const Json& size = Member(column, "size", where);
    constexpr int kMost = std::numeric_limits<int>::max();
    if (!size.is_number_integer() || size < 1 || size > kMost) {
      Fail("Column `" + name + "` has the size " + Shown(size) + ", not a whole number from 1 to " +
           std::to_string(kMost) + ".");
    }
    foreign.size = size.get<int>();
  }
  return foreign;
}

// Where each column of the file goes: the position of its values in a row, which is the table's
// column of that name or, after the table's columns, a foreign column.
struct FileLayout {
  std::vector<size_t> positions;
  std::vector<ColumnDef> foreignColumns;
};

FileLayout MatchColumns(const Json& fileColumns, const std::vector<ColumnDef>& columns,
                        std::string_view idColumn) {
  if (!fileColumns.is_array()) Fail("\"columns\" is not a list.");
  std::map<std::string, size_t, std::less<>> byName;
  for (size_t i = 0; i < columns.size(); ++i) byName.emplace(columns[i].name, i);
  FileLayout layout;
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
      layout.positions.push_back(columns.size() + layout.foreignColumns.size());
      layout.foreignColumns.push_back(ForeignColumn(column, type, columnName, where));
      continue;
    }
    const char* expectedType = NameOf(columns[known->second].type);
    if (type != expectedType) {
      Fail("Column `" + columnName + "` has the type " + Shown(type) + ", not \"" + expectedType +
           "\".");
    }
    layout.positions.push_back(known->second);
  }
  if (!idColumn.empty() && !seen.contains(idColumn)) {
    Fail("The file has no column `" + std::string(idColumn) + "`, which tells its rows apart.");
  }
  return layout;
}

// Reads a table file in one pass: the header into a small document, each row's values straight
// into the table's columns. The rows come after the header, as this program writes them.
class TableFileReader final : public nlohmann::json_sax<Json> {
 public:
  TableFileReader(std::string_view tableName, const std::vector<ColumnDef>& columns,
                  std::string_view idColumn)
      : tableName_(tableName), columns_(columns), idColumn_(idColumn) {}

  TableFileContent Finish() {
    if (!rowsRead_) {
      CheckHeader(header_, tableName_);
      layout_ = MatchColumns(Member(header_, "columns", "The file"), columns_, idColumn_);
      if (!Member(header_, "rows", "The file").is_array()) Fail("\"rows\" is not a list.");
    }
    return {std::move(layout_.foreignColumns), std::move(rows_)};
  }

  bool null() override { return Scalar(Cell{}, nullptr); }
  bool boolean(bool value) override { return Scalar(BooleanCell(value), value); }
  bool number_integer(number_integer_t value) override { return Scalar(IntegerCell(value), value); }
  bool number_unsigned(number_unsigned_t value) override {
    const bool fits = value <= uint64_t(std::numeric_limits<int64_t>::max());
    Cell cell = Cell::Of(fits ? Cell::Kind::Integer : Cell::Kind::Unsigned);
    cell.integer = fits ? static_cast<int64_t>(value) : 0;
    cell.unsignedInteger = value;
    return Scalar(cell, value);
  }
  bool number_float(number_float_t value, const string_t& written) override {
    return Scalar(TextCell(Cell::Kind::Float, written), value);
  }
  bool string(string_t& value) override { return Scalar(TextCell(Cell::Kind::Text, value), value); }
  bool binary(binary_t&) override { return true; }  // JSON text has none
  bool key(string_t& name) override {
    if (rowLevel_ < 0) key_ = name;
    return true;
  }
  bool start_object(std::size_t) override { return Open(Json::object()); }
  bool start_array(std::size_t) override { return Open(Json::array()); }
  bool end_object() override { return CloseContainer(); }
  bool end_array() override { return CloseContainer(); }
  bool parse_error(std::size_t, const std::string&,
                   const nlohmann::detail::exception& error) override {
    std::string text = error.what();
    const size_t end = text.find("] ");
    if (text.starts_with("[json.exception") && end != std::string::npos) text.erase(0, end + 2);
    Fail("The file is not valid JSON: " + text);
  }

 private:
  bool InRows() const { return rowLevel_ >= 0; }

  template <typename T>
  bool Scalar(const Cell& cell, T&& value) {
    if (!InRows()) {
      AddToHeader(Json(std::forward<T>(value)));
    } else if (rowLevel_ == 0) {
      RowIsNoList();
    } else if (rowLevel_ == 1) {
      AddCell(cell);
    }
    return true;
  }

  bool Open(Json container) {
    if (InRows()) {
      if (rowLevel_ == 0 && !container.is_array()) RowIsNoList();
      if (rowLevel_ == 0) row_.assign(columns_.size() + layout_.foreignColumns.size(), Value());
      if (rowLevel_ == 1) AddCell(Cell::Of(Cell::Kind::Nested));
      ++rowLevel_;
    } else if (stack_.size() == 1 && key_ == "rows" && container.is_array()) {
      StartRows();
    } else {
      stack_.push_back(AddToHeader(std::move(container)));
    }
    return true;
  }

  bool CloseContainer() {
    if (!InRows()) {
      stack_.pop_back();
      return true;
    }
    --rowLevel_;
    if (rowLevel_ == 0) EndRow();
    if (rowLevel_ < 0) AddToHeader(Json::array());  // "rows" is there, its rows are read
    return true;
  }

  Json* AddToHeader(Json value) {
    if (stack_.empty()) {
      header_ = std::move(value);
      return &header_;
    }
    Json& parent = *stack_.back();
    if (parent.is_object()) return &(parent[key_] = std::move(value));
    parent.push_back(std::move(value));
    return &parent.back();
  }

  void StartRows() {
    CheckHeader(header_, tableName_);
    const auto found = header_.find("columns");
    if (found == header_.end()) Fail("The file has no \"columns\" before its \"rows\".");
    layout_ = MatchColumns(*found, columns_, idColumn_);
    rowLevel_ = 0;
    rowsRead_ = true;
  }

  const ColumnDef& ColumnAt(size_t position) const {
    return position < columns_.size() ? columns_[position]
                                      : layout_.foreignColumns[position - columns_.size()];
  }

  void AddCell(const Cell& cell) {
    if (cell_ >= layout_.positions.size()) RowHasWrongLength();
    const size_t position = layout_.positions[cell_++];
    row_[position] = ValueReader(ColumnAt(position), rows_.size()).Read(cell);
  }

  void EndRow() {
    if (cell_ != layout_.positions.size()) RowHasWrongLength();
    rows_.push_back(std::move(row_));
    cell_ = 0;
  }

  [[noreturn]] void RowIsNoList() const { RowHasWrongLength(); }
  [[noreturn]] void RowHasWrongLength() const {
    Fail("Row " + std::to_string(rows_.size() + 1) + " does not hold one value for each of the " +
         std::to_string(layout_.positions.size()) + " columns.");
  }

  std::string_view tableName_;
  const std::vector<ColumnDef>& columns_;
  std::string_view idColumn_;
  Json header_;
  std::vector<Json*> stack_;  // the open containers of the header
  std::string key_;
  int rowLevel_ =
      -1;  // -1 outside the rows; 0 in the list of rows; 1 in a row; more in a nested value
  bool rowsRead_ = false;
  FileLayout layout_;
  std::vector<Value> row_;
  size_t cell_ = 0;
  TableRows rows_;
};

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
  text.reserve(text.size() + rows.size() * (columns.size() * 12 + 8));
  text += "],\n \"rows\": [";
  for (size_t r = 0; r < rows.size(); ++r) {
    text += r == 0 ? "\n  [" : ",\n  [";
    for (size_t c = 0; c < rows[r].size(); ++c) {
      if (c > 0) text += ',';
      AppendValue(text, rows[r][c]);
    }
    text += ']';
  }
  text += "]}\n";
  return text;
}

TableFileContent ParseTableFileText(std::string_view text, std::string_view tableName,
                                    const std::vector<ColumnDef>& columns,
                                    std::string_view idColumn) {
  TableFileReader reader(tableName, columns, idColumn);
  Json::sax_parse(text, &reader);
  return reader.Finish();
}

TableFileContent ReadTableFile(const std::filesystem::path& file, std::string_view tableName,
                               const std::vector<ColumnDef>& columns, std::string_view idColumn) {
  const std::string prefix = "Cannot open file \"" + file.string() + "\". ";
  std::string text;
  try {
    text = ReadRegularFile(file, kLargestTableFileMegabytes);
  } catch (const FileReadError& error) {
    throw TableFileError(prefix + error.what());
  }
  try {
    return ParseTableFileText(text, tableName, columns, idColumn);
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
