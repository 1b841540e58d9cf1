#include "settings/interface_properties.h"

#include "base/numbers.h"
#include "base/text.h"
#include "store/filter_expression.h"
#include "store/table.h"

namespace tarn {
namespace {

constexpr uint32_t kSystemColorFlag = 0xFF000000u;
// The last entry of the desktop's colour list (the menu bar); a higher index names no colour.
constexpr uint32_t kLastSystemIndex = 30;

}  // namespace

TA_INTERFACE_PRTY ReadInterfaceProperties(const Table& interfaceSettings,
                                          const std::string& formName) {
  const std::unique_ptr<Cursor> rows = interfaceSettings.CreateCursor();
  if (!formName.empty()) {
    rows->SetFilter("[form_name]=" + QuoteFilterConstant(formName));
    rows->SetFiltered(true);
  }
  TA_INTERFACE_PRTY properties;
  properties.reserve(static_cast<size_t>(rows->RecordCount()));
  for (rows->First(); !rows->Eof(); rows->Next()) {
    properties.push_back({rows->Field("form_name").AsText(),
                          static_cast<int32_t>(rows->Field("property_no").AsInt()),
                          rows->Field("property_name").AsText(),
                          rows->Field("property_value").AsText()});
  }
  return properties;
}

void WriteInterfaceProperties(Table& interfaceSettings, const TA_INTERFACE_PRTY& properties) {
  for (const TS_INTERFACE_PRTY& property : properties) {
    if (!interfaceSettings.Locate("property_name", property.property_name)) continue;
    interfaceSettings.Edit();
    interfaceSettings.SetField("property_value", property.property_value);
    interfaceSettings.Post();
  }
}

bool StoreFormPosition(Table& interfaceSettings, const std::string& formName,
                       const WindowGeometry& geometry) {
  const std::unique_ptr<Cursor> rows = interfaceSettings.CreateCursor();
  if (!rows->Locate("property_name", "StoreLastPosition")) return false;
  if (!ReadBoolProperty(rows->Field("property_value").AsText()).value_or(false)) return false;
  WriteInterfaceProperties(interfaceSettings,
                           {{formName, 0, formName + ".Top", std::to_string(geometry.top)},
                            {formName, 0, formName + ".Left", std::to_string(geometry.left)},
                            {formName, 0, formName + ".Height", std::to_string(geometry.height)},
                            {formName, 0, formName + ".Width", std::to_string(geometry.width)}});
  return true;
}

std::optional<bool> ReadBoolProperty(std::string_view text) { return ParseBoolText(text); }

std::optional<int> ReadIntProperty(std::string_view text) { return ParseWholeNumberIn<int>(text); }

std::optional<InterfaceColor> ReadColorProperty(std::string_view text) {
  const std::optional<int32_t> number = ParseWholeNumberIn<int32_t>(text);
  if (!number) return std::nullopt;
  const auto bits = static_cast<uint32_t>(*number);
  InterfaceColor color;
  if ((bits & kSystemColorFlag) == kSystemColorFlag) {
    if ((bits & ~kSystemColorFlag) > kLastSystemIndex) return std::nullopt;
    color.system = true;
    color.systemIndex = static_cast<int>(bits & ~kSystemColorFlag);
    return color;
  }
  // Other high bytes mean palette entries and special values the desktop gives no colour for.
  if ((bits & kSystemColorFlag) != 0) return std::nullopt;
  color.red = static_cast<uint8_t>(bits & 0xFF);
  color.green = static_cast<uint8_t>((bits >> 8) & 0xFF);
  color.blue = static_cast<uint8_t>((bits >> 16) & 0xFF);
  return color;
}

std::string BoolPropertyText(bool value) { return value ? "-1" : "0"; }

std::string ColorPropertyText(const InterfaceColor& color) {
  const uint32_t bits = color.system ? kSystemColorFlag | static_cast<uint32_t>(color.systemIndex)
                                     : static_cast<uint32_t>(color.red) |
                                           static_cast<uint32_t>(color.green) << 8 |
                                           static_cast<uint32_t>(color.blue) << 16;
  return std::to_string(static_cast<int32_t>(bits));
}

}  // namespace tarn
