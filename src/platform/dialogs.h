#pragma once

#include <string>

namespace tarn {

// Message boxes. The window shows real boxes, the command line prints, tests record.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A plain modal message box with one of the program's fixed messages.
  virtual void ShowMessage(const std::string& text) = 0;
  // The standard error box (stop icon, application title) for an error that ended an operation.
  virtual void ShowError(const std::string& text) = 0;
};

}  // namespace tarn
