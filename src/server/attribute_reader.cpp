#include "server/attribute_reader.h"

#include <cstdint>
#include <string>

#include "base/numbers.h"
#include "base/text.h"
#include "server/server_data_error.h"

namespace tarn {

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
  const std::optional<int32_t> value = ParseWholeNumberIn<int32_t>(text);
  if (!value) Fail(name, text, "a whole number");
  return *value;
}

int16_t AttributeReader::SmallInt(std::string_view name) const {
  const int32_t value = Int(name);
  if (!FitsIn<int16_t>(value)) {
    Fail(name, std::to_string(value), "a whole number from -32768 to 32767");
  }
  return static_cast<int16_t>(value);
}

bool AttributeReader::Bool(std::string_view name) const {
  const std::string_view text = Raw(name);
  const std::optional<bool> value = ParseBoolText(text);
  if (!value) Fail(name, text, "a boolean");
  return *value;
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
