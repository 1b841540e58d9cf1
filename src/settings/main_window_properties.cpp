#include "settings/main_window_properties.h"

namespace tarn {
namespace {

template <typename T>
void Take(const TS_INTERFACE_PRTY& property, const std::optional<T>& value, const char* kind,
          std::optional<T>& target, std::vector<std::string>& problems) {
  if (value) {
    target = value;
  } else {
    problems.push_back(property.property_name + ": '" + property.property_value + "' is not " +
                       kind);
  }
}

}  // namespace

MainWindowProperties ReadMainWindowProperties(const TA_INTERFACE_PRTY& properties) {
  MainWindowProperties read;
  for (const TS_INTERFACE_PRTY& p : properties) {
    const std::string& text = p.property_value;
    auto& problems = read.problems;
    switch (p.property_no) {
      case 1:
        Take(p, ReadBoolProperty(text), "a boolean", read.toolBarVisible, problems);
        break;
      case 2:
        Take(p, ReadColorProperty(text), "a colour", read.backgroundColor, problems);
        break;
      case 3:
        Take(p, ReadColorProperty(text), "a colour", read.fontColor, problems);
        break;
      case 4:
        Take(p, ReadIntProperty(text), "a whole number", read.top, problems);
        break;
      case 5:
        Take(p, ReadIntProperty(text), "a whole number", read.left, problems);
        break;
      case 6:
        Take(p, ReadIntProperty(text), "a whole number", read.height, problems);
        break;
      case 7:
        Take(p, ReadIntProperty(text), "a whole number", read.width, problems);
        break;
      default:
        break;
    }
  }
  return read;
}

}  // namespace tarn
