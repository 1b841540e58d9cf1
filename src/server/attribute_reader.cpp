#include "server/attribute_reader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <string>

#include "server/server_data_error.h"

namespace tarn {

bool ParseInt32(std::string_view text, int32_t& value) {
  if (text.starts_with('+')) text.remove_prefix(1);
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return !text.empty() && ec == std::errc() && ptr == end;
}

std::string_view AttributeReader::Raw(std::string_view name) const {
  const auto value = element_.Attribute(name);
  if (!value) {
    throw ServerDataError("The server sent a <" + std::string(element_.Name()) +
                          "> element without the attribute '" + std::string(name) + "'");
  }
  return *value;
}

void AttributeReader::Fail(std::string_view name, std::string_view value,
                           std::string_view what) const {
  throw ServerDataError("The attribute '" + std::string(name) + "' of a <" +
                        std::string(element_.Name()) + "> element is '" + std::string(value) +
                        "', which is not " + std::string(what));
}

int32_t AttributeReader::Int(std::string_view name) const {
  const std::string_view text = Raw(name);
  int32_t value = 0;
  if (!ParseInt32(text, value)) Fail(name, text, "a whole number");
  return value;
}

int16_t AttributeReader::SmallInt(std::string_view name) const {
  const int32_t value = Int(name);
  if (value < INT16_MIN || value > INT16_MAX) {
    Fail(name, std::to_string(value), "a whole number from -32768 to 32767");
  }
  return static_cast<int16_t>(value);
}

bool AttributeReader::Bool(std::string_view name) const {
  const std::string_view text = Raw(name);
  int32_t number = 0;
  if (ParseInt32(text, number)) return number != 0;
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (lower == "true") return true;
  if (lower == "false") return false;
  Fail(name, text, "a boolean");
}

std::string AttributeReader::Text(std::string_view name) const { return std::string(Raw(name)); }

DateTime AttributeReader::Date(std::string_view name, bool shift) const {
  const std::string_view text = Raw(name);
  try {
    return ParseServerDate(text, shift, zone_);
  } catch (const ServerDataError&) {
    Fail(name, text, "a date and time");
  }
}

}  // namespace tarn
