#include "gui/message_box_dialogs.h"

#include <QApplication>
#include <QMessageBox>

namespace tarn {

void MessageBoxDialogs::ShowMessage(const std::string& text) {
  QMessageBox::information(parent_, QApplication::applicationDisplayName(),
                           QString::fromStdString(text));
}

void MessageBoxDialogs::ShowError(const std::string& text) {
  if (errorOpen_) {
    ++suppressed_;
    return;
  }
  errorOpen_ = true;
  QMessageBox::critical(parent_, QApplication::applicationDisplayName(),
                        QString::fromStdString(text));
  errorOpen_ = false;
}

}  // namespace tarn
