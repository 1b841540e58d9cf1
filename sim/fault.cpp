#include "sim/fault.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <set>

namespace tarn::sim {
namespace {

struct BodyName {
  std::string_view name;
  Fault::Body body;
};

constexpr BodyName kBodyNames[] = {
    {"malformed", Fault::Body::Malformed},      {"truncated", Fault::Body::Truncated},
    {"closed", Fault::Body::ClosedConnection},  {"error_page", Fault::Body::ErrorPage},
    {"other_player", Fault::Body::OtherPlayer}, {"extra_player", Fault::Body::ExtraPlayer},
    {"endless", Fault::Body::Endless},
};

constexpr const char* kKnownFaults =
    "delay:MS, status:CODE, slow:BYTES, malformed, truncated, closed, error_page, "
    "other_player, extra_player, endless";

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::optional<Fault::Body> BodyNamed(std::string_view name) {
  for (const BodyName& entry : kBodyNames) {
    if (entry.name == name) return entry.body;
  }
  return std::nullopt;
}

// The number after the colon of "name:number", which must lie within low to high.
int NumberIn(std::string_view part, int low, int high) {
  const size_t colon = part.find(':');
  if (colon != std::string_view::npos) {
    const std::string_view value = part.substr(colon + 1);
    const char* end = value.data() + value.size();
    int number = 0;
    auto [stop, error] = std::from_chars(value.data(), end, number);
    if (error == std::errc() && stop == end && !value.empty() && number >= low && number <= high) {
      return number;
    }
  }
  throw FaultError(Quoted(part) + " needs a number from " + std::to_string(low) + " to " +
                   std::to_string(high) + " after the colon");
}

}  // namespace

std::string XmlModeKey(const std::string& mode) { return std::string(kXmlPath) + "?mode=" + mode; }

std::string ParseFaultKey(std::string_view text) {
  constexpr std::string_view kModePrefix = "mode=";
  if (text.starts_with(kModePrefix)) {
    const std::string_view mode = text.substr(kModePrefix.size());
    const bool named = !mode.empty() && std::all_of(mode.begin(), mode.end(), [](char c) {
      return (c >= 'a' && c <= 'z') || c == '_';
    });
    if (!named) throw FaultError("no mode name of small letters and \"_\" in " + Quoted(text));
    return XmlModeKey(std::string(mode));
  }
  for (const char* path : {kXmlPath, kReplayPreparationPath, kReplayFilesPath, kHomePath}) {
    if (text == path) return path;
  }
  throw FaultError("unknown request key " + Quoted(text) + "; a key is mode=NAME or one of " +
                   kXmlPath + ", " + kReplayPreparationPath + ", " + kReplayFilesPath + ", " +
                   kHomePath);
}

Fault ParseFault(std::string_view text) {
  if (text.empty()) throw FaultError("no fault given; known: " + std::string(kKnownFaults));
  Fault fault;
  std::set<std::string_view> given;
  for (std::string_view rest = text; !rest.empty();) {
    const size_t comma = rest.find(',');
    const std::string_view part = rest.substr(0, comma);
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    if (comma != std::string_view::npos && rest.empty()) {
      throw FaultError("nothing after the last \",\" in " + Quoted(text));
    }
    const size_t colon = part.find(':');
    const std::string_view name = part.substr(0, colon);
    if (!given.insert(name).second) {
      throw FaultError(Quoted(name) + " given twice in " + Quoted(text));
    }
    if (name == "delay") {
      fault.delay = std::chrono::milliseconds(NumberIn(part, 0, 600000));
    } else if (name == "status") {
      fault.status = NumberIn(part, 100, 599);
    } else if (name == "slow") {
      fault.bytesPerSecond = NumberIn(part, 1, 1 << 30);
    } else if (std::optional<Fault::Body> body = BodyNamed(name)) {
      if (colon != std::string_view::npos) throw FaultError(Quoted(name) + " takes no value");
      if (fault.body != Fault::Body::Intact) {
        throw FaultError("one kind of answer at a time in " + Quoted(text));
      }
      fault.body = *body;
    } else {
      throw FaultError("unknown fault " + Quoted(part) + "; known: " + kKnownFaults);
    }
  }
  return fault;
}

}  // namespace tarn::sim
