#include "app/console_dialogs.h"

namespace tarn {

void ConsoleDialogs::ShowMessage(const std::string& text) { err_ << text << "\n"; }

void ConsoleDialogs::ShowError(const std::string& text) {
  if (text == lastError_) return;
  lastError_ = text;
  err_ << "Error: " << text << "\n";
}

}  // namespace tarn
