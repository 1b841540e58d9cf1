#include "app/alert_messages.h"

#include <algorithm>

namespace tarn {

void TAlertMessages::Delete(int index) {
  Item(index);  // rejects an index outside the list
  items_.erase(items_.begin() + index);
}

TAlertMessage& TAlertMessages::Item(int index) { return items_.at(static_cast<size_t>(index)); }

const TAlertMessage& TAlertMessages::Item(int index) const {
  return items_.at(static_cast<size_t>(index));
}

void AlertMessages::Clear() {
  messages_.Clear();
  selected_ = 0;
}

TAlertMessage& AlertMessages::Add() {
  ++added_;
  TAlertMessage& added = messages_.Add();
  if (selected_ == 0) selected_ = 1;
  return added;
}

void AlertMessages::Select(int position) {
  if (position >= 1 && position <= messages_.Count()) selected_ = position;
}

void AlertMessages::Show() {
  if (messages_.Count() > 0 && view_ != nullptr) view_->ShowRequested();
}

void AlertMessages::Close() {
  if (view_ != nullptr) view_->CloseRequested();
  if (OnClose) OnClose();
}

void AlertMessages::DeleteShown() {
  if (selected_ == 0) return;
  const int index = selected_ - 1;
  messages_.Delete(index);
  selected_ = std::min(selected_, messages_.Count());
  if (OnDeleteMessage) OnDeleteMessage(index);
  if (messages_.Count() == 0) {
    Close();
  } else {
    Show();
  }
}

AlertMessageWriter::AlertMessageWriter(AlertMessages& window, int& messageCount,
                                       std::string timeFormat)
    : window_(window), messageCount_(messageCount), timeFormat_(std::move(timeFormat)) {}

void AlertMessageWriter::AddSummary(DateTime now, int newGames, int updatedGames,
                                    int finishedGames) {
  messageCount_ = 0;
  window_.Clear();
  TAlertMessage& summary = window_.Add();
  window_.SetBold(true);
  summary.AppendLine(now.Format(timeFormat_) + " Checking result:");
  summary.AppendLine(std::string(kAlertSeparatorLine));
  summary.AppendLine("New games: " + std::to_string(newGames));
  summary.AppendLine(std::string(kAlertSeparatorLine));
  summary.AppendLine("Updated games: " + std::to_string(updatedGames));
  summary.AppendLine(std::string(kAlertSeparatorLine));
  summary.AppendLine("Finished games: " + std::to_string(finishedGames));
  window_.Show();
  messageCount_ = 1;
}

void AlertMessageWriter::AddGameMessage(GameMessageKind kind, DateTime now, std::string_view side,
                                        std::string_view competitor, std::string_view mapName) {
  static constexpr std::string_view kHeaders[] = {
      " New game:", " Updated game:", " Finished game:"};
  // Lines go to the message just added, so a counter out of step cannot misplace them.
  TAlertMessage& message = window_.Add();
  message.SetImageIndex(side == "pl" ? kPlSideImage : kOtherSideImage);
  message.AppendLine(now.Format(timeFormat_) + std::string(kHeaders[static_cast<int>(kind)]));
  message.AppendLine(std::string(kAlertSeparatorLine));
  message.AppendLine("with " + std::string(competitor) + " on " + std::string(mapName));
  messageCount_ += 1;
}

std::string OneLineText(const TAlertMessage& message) {
  std::string text;
  for (const std::string& line : message.Lines()) {
    if (line == kAlertSeparatorLine) continue;
    if (!text.empty()) text += ' ';
    text += line;
  }
  return text;
}

}  // namespace tarn
