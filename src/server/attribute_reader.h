#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/date_time.h"
#include "platform/xml.h"
#include "server/server_date.h"

namespace tarn {

// Reads typed attributes of one server element. An attribute that is absent or does not convert
// throws ServerDataError naming the element and the attribute.
class AttributeReader {
 public:
  AttributeReader(const XmlElement& element, const ServerTimeZone& zone)
      : element_(element), zone_(zone) {}

  int32_t Int(std::string_view name) const;
  // A whole number bound for a small-integer column, refused here rather than half-way through
  // storing a record.
  int16_t SmallInt(std::string_view name) const;
  // "0" is false, any other number true; also true/false in any letter case.
  bool Bool(std::string_view name) const;
  std::string Text(std::string_view name) const;
  // Server time converted to local time when shift is set.
  DateTime Date(std::string_view name, bool shift = true) const;

 private:
  std::string_view Raw(std::string_view name) const;
  [[noreturn]] void Fail(std::string_view name, std::string_view value,
                         std::string_view what) const;

  XmlElement element_;
  const ServerTimeZone& zone_;
};

}  // namespace tarn
