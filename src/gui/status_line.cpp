#include "gui/status_line.h"

namespace tarn {

std::string InnermostCause(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  if (const size_t line = text.rfind('\n'); line != std::string_view::npos) {
    text.remove_prefix(line + 1);
  }
  if (const size_t colon = text.rfind(": "); colon != std::string_view::npos) {
    text.remove_prefix(colon + 2);
  }
  return std::string(text);
}

namespace {

// The first line of a text as a sentence of its own.
std::string Sentence(std::string_view text) {
  std::string line(text.substr(0, text.find('\n')));
  if (line.empty() || line.back() != '.') line += '.';
  return line;
}

}  // namespace

std::string StatusLineText(const CheckOutcome& last, std::optional<DateTime> nextCheck,
                           std::string_view timeFormat) {
  std::string text;
  switch (last.result) {
    case CheckOutcome::Result::None:
      text = "No check yet.";
      break;
    case CheckOutcome::Result::Checked:
      text = "Checked at " + last.time.Format(timeFormat) + ": " + Sentence(last.text);
      break;
    case CheckOutcome::Result::Unreachable:
      text = "Server not reachable since " + last.since.Format(timeFormat) + ": " +
             Sentence(InnermostCause(last.text));
      break;
    case CheckOutcome::Result::Failed:
      text = "Checks failing since " + last.since.Format(timeFormat) + ": " + Sentence(last.text);
      break;
  }
  if (nextCheck) return text + " Next check at " + nextCheck->Format(timeFormat) + ".";
  return text + " No further checks: no check period is set.";
}

}  // namespace tarn
