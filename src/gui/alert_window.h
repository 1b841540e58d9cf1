#pragma once

#include <QAbstractButton>
#include <QTimer>
#include <QWidget>

#include "app/alert_messages.h"

namespace tarn {

class Desktop;

// One of the notification window's buttons: a drawn glyph, lit under the mouse and when pressed.
class AlertButton : public QAbstractButton {
  Q_OBJECT

 public:
  enum class Glyph { Previous, Next, Delete, Close };
  AlertButton(Glyph glyph, const QString& hint, QWidget* parent);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Glyph glyph_;
};

// The notification window: a small popup at the bottom-right of the screen that draws the
// monitor's messages one at a time. It fades in, stays, fades out again by itself (keeping its
// messages and telling nobody), and stays while the mouse is over it. Its close and delete
// buttons only ask: the owner runs them on the messages, whose close hides the window.
class TAlertWindow : public QWidget, public AlertWindowView {
  Q_OBJECT

 public:
  static constexpr int kPopupWidth = 300;
  static constexpr int kPopupHeight = 100;
  static constexpr int kAlphaStart = 0;
  static constexpr int kAlphaEnd = 180;  // of 255
  static constexpr int kFadeStep = 5;
  static constexpr int kFadeStepMs = 12;  // short enough that fading reads as one movement
  static constexpr int kDisplayTime = 5000;
  static constexpr const char* kPositionFormat = "%d of %d";

  enum class State { Hidden, FadingIn, Shown, FadingOut };

  TAlertWindow(AlertMessages& messages, const Desktop& desktop);

  void ShowRequested() override;
  void CloseRequested() override;

  State CurrentState() const { return state_; }
  int Alpha() const { return alpha_; }
  // "2 of 3", or empty with one message.
  QString PositionText() const;

 signals:
  void CloseClicked();
  void DeleteClicked();

 public slots:
  // One step of fading in or out.
  void FadeStep();
  // The display time is over: fading out begins, unless the mouse is over the window.
  void DisplayTimeOut();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void Step(int delta);
  void SetAlpha(int alpha);
  void PlaceAtBottomRight();
  void Refresh();

  AlertMessages& messages_;
  const Desktop& desktop_;
  AlertButton* ButtonPrevious;
  AlertButton* ButtonNext;
  AlertButton* ButtonDelete;
  AlertButton* ButtonClose;
  QTimer fadeTimer_;
  QTimer displayTimer_;
  State state_ = State::Hidden;
  int alpha_ = kAlphaStart;
};

}  // namespace tarn
