#include "gui/alert_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGuiApplication>
#include <QScreen>

#include "fake_desktop.h"
#include "gui_test_support.h"

namespace tarn {
namespace {

using State = TAlertWindow::State;

class AlertWindowTest : public ::testing::Test {
 protected:
  AlertWindowTest() {
    messages_.SetView(&window_);
    messages_.OnClose = [this] { ++closes_; };
  }
  ~AlertWindowTest() override { messages_.SetView(nullptr); }

  void Add(int count) {
    for (int i = 0; i < count; ++i) messages_.Add().AppendLine("message " + std::to_string(i));
  }
  // Steps until the fading ends; answers how many it took.
  int Fade() {
    int steps = 0;
    const State fading = window_.CurrentState();
    while (window_.CurrentState() == fading && steps < 1000) {
      window_.FadeStep();
      ++steps;
    }
    return steps;
  }
  QAbstractButton* Button(const char* name) {
    return window_.findChild<QAbstractButton*>(QString::fromLatin1(name));
  }

  AlertMessages messages_;
  testing::FakeDesktop desktop_;
  TAlertWindow window_{messages_, desktop_};
  int closes_ = 0;
};

TEST_F(AlertWindowTest, IsASmallPopupAtTheBottomRightThatTakesNoFocus) {
  Add(1);
  messages_.Show();
  EXPECT_TRUE(window_.isVisible());
  EXPECT_EQ(window_.size(), QSize(300, 100));
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_EQ(window_.frameGeometry().bottomRight(), area.bottomRight());
  const Qt::WindowFlags flags = window_.windowFlags();
  EXPECT_TRUE(flags & Qt::FramelessWindowHint);
  EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(flags & Qt::WindowDoesNotAcceptFocus);
  EXPECT_TRUE(window_.testAttribute(Qt::WA_ShowWithoutActivating));
  EXPECT_EQ(Button("ButtonPrevious")->toolTip().toStdString(), "Previous");
  EXPECT_EQ(Button("ButtonNext")->toolTip().toStdString(), "Next");
  EXPECT_EQ(Button("ButtonClose")->toolTip().toStdString(), "Close");
  EXPECT_EQ(Button("ButtonDelete")->toolTip().toStdString(), "Delete");
}

TEST_F(AlertWindowTest, FadesInToItsOpacityStaysAndFadesOutKeepingItsMessagesQuietly) {
  messages_.Show();  // no message: nothing happens
  EXPECT_EQ(window_.CurrentState(), State::Hidden);
  EXPECT_FALSE(window_.isVisible());

  Add(2);
  messages_.Show();
  EXPECT_EQ(window_.CurrentState(), State::FadingIn);
  EXPECT_EQ(window_.Alpha(), 0);
  EXPECT_EQ(Fade(), 36);  // 0 to 180 in steps of 5
  EXPECT_EQ(window_.CurrentState(), State::Shown);
  EXPECT_EQ(window_.Alpha(), 180);
  EXPECT_NEAR(window_.windowOpacity(), 180 / 255.0, 0.01);

  window_.DisplayTimeOut();
  EXPECT_EQ(window_.CurrentState(), State::FadingOut);
  window_.FadeStep();
  messages_.Show();  // shown again while fading out: back up from where it was
  EXPECT_EQ(window_.CurrentState(), State::FadingIn);
  EXPECT_EQ(Fade(), 1);
  window_.DisplayTimeOut();
  EXPECT_EQ(Fade(), 36);
  EXPECT_EQ(window_.CurrentState(), State::Hidden);
  EXPECT_FALSE(window_.isVisible());
  EXPECT_EQ(closes_, 0);
  EXPECT_EQ(messages_.Messages().Count(), 2);
}

TEST_F(AlertWindowTest, StepsThroughSeveralMessagesWithTheirPosition) {
  Add(1);
  messages_.Show();
  EXPECT_EQ(window_.PositionText().toStdString(), "");
  EXPECT_TRUE(Button("ButtonNext")->isHidden());

  Add(2);
  messages_.Select(2);
  messages_.Show();
  EXPECT_EQ(window_.PositionText().toStdString(), "2 of 3");
  EXPECT_FALSE(Button("ButtonNext")->isHidden());
  Button("ButtonNext")->click();
  EXPECT_EQ(window_.PositionText().toStdString(), "3 of 3");
  EXPECT_FALSE(Button("ButtonNext")->isEnabled());
  Button("ButtonPrevious")->click();
  Button("ButtonPrevious")->click();
  EXPECT_EQ(window_.PositionText().toStdString(), "1 of 3");
  EXPECT_FALSE(Button("ButtonPrevious")->isEnabled());
}

TEST_F(AlertWindowTest, CloseAndDeleteOnlyAskTheOwner) {
  Add(2);
  messages_.Show();
  int closeAsked = 0, deleteAsked = 0;
  QObject::connect(&window_, &TAlertWindow::CloseClicked, [&] { ++closeAsked; });
  QObject::connect(&window_, &TAlertWindow::DeleteClicked, [&] { ++deleteAsked; });
  Button("ButtonClose")->click();
  Button("ButtonDelete")->click();
  EXPECT_EQ(closeAsked, 1);
  EXPECT_EQ(deleteAsked, 1);
  EXPECT_EQ(messages_.Messages().Count(), 2);
  EXPECT_TRUE(window_.isVisible());

  messages_.Close();
  EXPECT_FALSE(window_.isVisible());
  EXPECT_EQ(window_.CurrentState(), State::Hidden);
  EXPECT_EQ(closes_, 1);
}

}  // namespace
}  // namespace tarn
