#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/date_time.h"

namespace tarn {

// One notification: text lines in order and the number of its picture.
class TAlertMessage {
 public:
  const std::vector<std::string>& Lines() const { return lines_; }
  void AppendLine(std::string line) { lines_.push_back(std::move(line)); }

  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int imageIndex) { imageIndex_ = imageIndex; }

 private:
  std::vector<std::string> lines_;
  int imageIndex_ = 0;
};

// The ordered notifications, addressed by 0-based index.
class TAlertMessages {
 public:
  void Clear() { items_.clear(); }
  TAlertMessage& Add() { return items_.emplace_back(); }
  void Delete(int index);
  // Throws std::out_of_range for an index outside 0..Count()-1.
  TAlertMessage& Item(int index);
  const TAlertMessage& Item(int index) const;
  int Count() const { return static_cast<int>(items_.size()); }

 private:
  std::vector<TAlertMessage> items_;
};

// What draws the notifications: the window in the desktop program.
class AlertWindowView {
 public:
  virtual ~AlertWindowView() = default;
  // Show the window, or refresh it with the current messages when it is already up.
  virtual void ShowRequested() = 0;
  // Hide the window at once.
  virtual void CloseRequested() = 0;
};

// The notification window's state without its drawing: the messages, the shared font style and the
// shown message, plus the events the owner answers.
class AlertMessages {
 public:
  // Raised after the user deleted the message at that 0-based index.
  std::function<void(int index)> OnDeleteMessage;
  // Raised when the user closed the window, or deleted its last message.
  std::function<void()> OnClose;

  void SetView(AlertWindowView* view) { view_ = view; }

  TAlertMessages& Messages() { return messages_; }
  const TAlertMessages& Messages() const { return messages_; }
  void Clear();
  TAlertMessage& Add();
  // How many messages were ever added, so a printer can tell the new ones from those it printed.
  int64_t Added() const { return added_; }

  bool Bold() const { return bold_; }
  void SetBold(bool bold) { bold_ = bold; }

  // 1-based position of the shown message; 0 while there is none.
  int Selected() const { return selected_; }
  // A position outside 1..Count() leaves the selection as it is.
  void Select(int position);
  void SelectLast() { Select(messages_.Count()); }

  // Nothing happens while there is no message to show.
  void Show();
  // The close button: hides the window and keeps the messages.
  void Close();
  // The delete button: removes the shown message; removing the last one closes the window.
  void DeleteShown();

 private:
  TAlertMessages messages_;
  AlertWindowView* view_ = nullptr;
  bool bold_ = false;
  int selected_ = 0;
  int64_t added_ = 0;
};

enum class GameMessageKind { New, Updated, Finished };

// Writes the monitor's messages and keeps the owner's message counter in step with them.
class AlertMessageWriter {
 public:
  // `timeFormat` formats the time of day that starts every message, such as "HH:mm:ss".
  AlertMessageWriter(AlertMessages& window, int& messageCount, std::string timeFormat);

  // Replaces every message with the result of a full reload, and shows it.
  void AddSummary(DateTime now, int newGames, int updatedGames, int finishedGames);
  // Adds one game's message at the end; showing is left to the caller, once per check.
  void AddGameMessage(GameMessageKind kind, DateTime now, std::string_view side,
                      std::string_view competitor, std::string_view mapName);

 private:
  AlertMessages& window_;
  int& messageCount_;
  std::string timeFormat_;
};

// The line that stands between a message's header and its next line.
inline constexpr std::string_view kAlertSeparatorLine = "\n\r";
// Picture of a message about a game played on the "pl" side, and on any other side.
inline constexpr int kPlSideImage = 0;
inline constexpr int kOtherSideImage = 1;

// A message as one printable line: its text lines without the separators, joined by a space.
std::string OneLineText(const TAlertMessage& message);

}  // namespace tarn
