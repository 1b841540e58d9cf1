#pragma once

#include <QPointer>
#include <QWidget>
#include <string>

#include "platform/dialogs.h"

namespace tarn {

// The message boxes of the windows: modal boxes titled with the application's name. While an
// error box is open a later error opens no second box on top of it, since a timer that keeps
// failing behind an unattended box would pile them up.
class MessageBoxDialogs : public Dialogs {
 public:
  explicit MessageBoxDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& text) override;

  // Errors that came while an error box was open and were not shown.
  int SuppressedErrors() const { return suppressed_; }

 private:
  QPointer<QWidget> parent_;
  bool errorOpen_ = false;
  int suppressed_ = 0;
};

}  // namespace tarn
