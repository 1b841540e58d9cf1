#pragma once

#include <ostream>
#include <string>

#include "platform/dialogs.h"

namespace tarn {

// The message boxes of the command line: their texts go to the error stream. An error that
// ended a command and then the closing save again is told once.
class ConsoleDialogs : public Dialogs {
 public:
  explicit ConsoleDialogs(std::ostream& err) : err_(err) {}
  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& text) override;

 private:
  std::ostream& err_;
  std::string lastError_;
};

}  // namespace tarn
