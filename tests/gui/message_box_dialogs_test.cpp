#include "gui/message_box_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <functional>

#include "gui/gui_test_support.h"

namespace tarn {
namespace {

// "title: text" of every message box on screen, sorted.
QStringList OpenBoxes() {
  QStringList boxes;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
      boxes << box->windowTitle() + QStringLiteral(": ") + box->text();
    }
  }
  boxes.sort();
  return boxes;
}

// Once the next box is up: notes the open boxes, runs `whileOpen`, then closes the box.
void WhenABoxIsOpen(
    QStringList& seen, const std::function<void()>& whileOpen = [] {}) {
  QTimer::singleShot(0, [&seen, whileOpen] {
    seen << OpenBoxes();
    whileOpen();
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->accept();
  });
}

TEST(MessageBoxDialogsTest, AnErrorWhileAnErrorBoxIsOpenOpensNoSecondBox) {
  MessageBoxDialogs dialogs;
  QStringList seen;
  QStringList whileOpen;
  WhenABoxIsOpen(seen, [&] {
    dialogs.ShowError("Server not reachable again");
    whileOpen = OpenBoxes();
  });
  dialogs.ShowError("Server not reachable");
  EXPECT_EQ(seen, QStringList{QStringLiteral("Tarn Monitor: Server not reachable")});
  EXPECT_EQ(whileOpen, seen);
  EXPECT_EQ(dialogs.SuppressedErrors(), 1);

  // Once it is closed the next error is shown again.
  WhenABoxIsOpen(seen);
  dialogs.ShowError("Later failure");
  EXPECT_EQ(seen.last(), QStringLiteral("Tarn Monitor: Later failure"));
}

TEST(MessageBoxDialogsTest, MessagesAreShownEvenBehindAnErrorBox) {
  MessageBoxDialogs dialogs;
  QStringList seen;
  QStringList inner;
  WhenABoxIsOpen(seen, [&] {
    WhenABoxIsOpen(inner);
    dialogs.ShowMessage("Players were updated");
  });
  dialogs.ShowError("Server not reachable");
  EXPECT_EQ(inner, (QStringList{QStringLiteral("Tarn Monitor: Players were updated"),
                                QStringLiteral("Tarn Monitor: Server not reachable")}));
  EXPECT_TRUE(OpenBoxes().isEmpty());
}

}  // namespace
}  // namespace tarn
