#include "gui/alert_window.h"

#include <QEnterEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <algorithm>

#include "gui/desktop.h"

namespace tarn {
namespace {

constexpr int kCaptionHeight = 18;
constexpr int kMarginX = 4;
constexpr int kMarginY = 1;
constexpr int kSeparatorHeight = 5;
const QColor kWindowColor = Qt::black;
const QColor kWindowColorTo = QColor(160, 191, 245);
const QColor kTextColor = QColor(0, 255, 0);  // lime
const QColor kDownColor = QColor(232, 127, 8);

QPainterPath GlyphPath(AlertButton::Glyph glyph, const QRectF& box) {
  QPainterPath path;
  const QPointF c = box.center();
  const qreal r = box.width() / 4.0;
  switch (glyph) {
    case AlertButton::Glyph::Previous:
      path.moveTo(c.x() + r * 0.6, c.y() - r);
      path.lineTo(c.x() - r * 0.6, c.y());
      path.lineTo(c.x() + r * 0.6, c.y() + r);
      break;
    case AlertButton::Glyph::Next:
      path.moveTo(c.x() - r * 0.6, c.y() - r);
      path.lineTo(c.x() + r * 0.6, c.y());
      path.lineTo(c.x() - r * 0.6, c.y() + r);
      break;
    case AlertButton::Glyph::Close:
      path.moveTo(c.x() - r, c.y() - r);
      path.lineTo(c.x() + r, c.y() + r);
      path.moveTo(c.x() + r, c.y() - r);
      path.lineTo(c.x() - r, c.y() + r);
      break;
    case AlertButton::Glyph::Delete:  // a bin
      path.moveTo(c.x() - r, c.y() - r * 0.7);
      path.lineTo(c.x() + r, c.y() - r * 0.7);
      path.moveTo(c.x() - r * 0.3, c.y() - r);
      path.lineTo(c.x() + r * 0.3, c.y() - r);
      path.moveTo(c.x() - r * 0.7, c.y() - r * 0.5);
      path.lineTo(c.x() - r * 0.5, c.y() + r);
      path.lineTo(c.x() + r * 0.5, c.y() + r);
      path.lineTo(c.x() + r * 0.7, c.y() - r * 0.5);
      break;
  }
  return path;
}

}  // namespace

AlertButton::AlertButton(Glyph glyph, const QString& hint, QWidget* parent)
    : QAbstractButton(parent), glyph_(glyph) {
  setToolTip(hint);
  setAccessibleName(hint);
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_Hover);
}

QSize AlertButton::sizeHint() const { return {kCaptionHeight - 2, kCaptionHeight - 2}; }

void AlertButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  if (isDown() || underMouse()) {
    QLinearGradient fill(box.topLeft(), box.bottomLeft());
    if (isDown()) {
      fill.setColorAt(0, kDownColor);
      fill.setColorAt(1, Qt::red);
    } else {
      fill.setColorAt(0, palette().color(QPalette::Button));
      fill.setColorAt(1, Qt::black);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(box, 2, 2);
  }
  QColor ink = kTextColor;
  if (!isEnabled()) ink.setAlpha(80);
  painter.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(GlyphPath(glyph_, box));
}

TAlertWindow::TAlertWindow(AlertMessages& messages, const Desktop& desktop)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus),
      messages_(messages),
      desktop_(desktop),
      ButtonPrevious(new AlertButton(AlertButton::Glyph::Previous, tr("Previous"), this)),
      ButtonNext(new AlertButton(AlertButton::Glyph::Next, tr("Next"), this)),
      ButtonDelete(new AlertButton(AlertButton::Glyph::Delete, tr("Delete"), this)),
      ButtonClose(new AlertButton(AlertButton::Glyph::Close, tr("Close"), this)) {
  setObjectName(QStringLiteral("AlertWindow1"));
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::NoFocus);
  setFixedSize(kPopupWidth, kPopupHeight);
  QFont font = this->font();
  font.setPixelSize(11);
  setFont(font);

  ButtonPrevious->setObjectName(QStringLiteral("ButtonPrevious"));
  ButtonNext->setObjectName(QStringLiteral("ButtonNext"));
  ButtonDelete->setObjectName(QStringLiteral("ButtonDelete"));
  ButtonClose->setObjectName(QStringLiteral("ButtonClose"));
  auto* caption = new QHBoxLayout(this);
  caption->setContentsMargins(0, 1, 1, 0);
  caption->setSpacing(1);
  caption->addStretch();
  for (AlertButton* button : {ButtonPrevious, ButtonNext, ButtonDelete, ButtonClose}) {
    caption->addWidget(button, 0, Qt::AlignTop);
  }
  caption->setAlignment(Qt::AlignTop);

  connect(ButtonPrevious, &QAbstractButton::clicked, this, [this] {
    messages_.Select(messages_.Selected() - 1);
    ShowRequested();
  });
  connect(ButtonNext, &QAbstractButton::clicked, this, [this] {
    messages_.Select(messages_.Selected() + 1);
    ShowRequested();
  });
  connect(ButtonDelete, &QAbstractButton::clicked, this, &TAlertWindow::DeleteClicked);
  connect(ButtonClose, &QAbstractButton::clicked, this, &TAlertWindow::CloseClicked);

  fadeTimer_.setInterval(kFadeStepMs);
  connect(&fadeTimer_, &QTimer::timeout, this, &TAlertWindow::FadeStep);
  displayTimer_.setSingleShot(true);
  displayTimer_.setInterval(kDisplayTime);
  connect(&displayTimer_, &QTimer::timeout, this, &TAlertWindow::DisplayTimeOut);
}

QString TAlertWindow::PositionText() const {
  const int count = messages_.Messages().Count();
  return count > 1 ? QString::asprintf(kPositionFormat, messages_.Selected(), count) : QString();
}

void TAlertWindow::ShowRequested() {
  if (messages_.Messages().Count() == 0) return;
  Refresh();
  switch (state_) {
    case State::Hidden:
      SetAlpha(kAlphaStart);
      PlaceAtBottomRight();
      show();
      state_ = State::FadingIn;
      fadeTimer_.start();
      break;
    case State::FadingIn:
      break;
    case State::Shown:
      displayTimer_.start();
      break;
    case State::FadingOut:  // back up from where it was, without a flicker
      state_ = State::FadingIn;
      break;
  }
}

void TAlertWindow::CloseRequested() {
  fadeTimer_.stop();
  displayTimer_.stop();
  hide();
  state_ = State::Hidden;
}

void TAlertWindow::FadeStep() {
  if (state_ == State::FadingIn) Step(kFadeStep);
  if (state_ == State::FadingOut) Step(-kFadeStep);
}

void TAlertWindow::Step(int delta) {
  SetAlpha(std::clamp(alpha_ + delta, kAlphaStart, kAlphaEnd));
  if (state_ == State::FadingIn && alpha_ == kAlphaEnd) {
    fadeTimer_.stop();
    state_ = State::Shown;
    displayTimer_.start();
  } else if (state_ == State::FadingOut && alpha_ == kAlphaStart) {
    fadeTimer_.stop();
    hide();
    state_ = State::Hidden;
  }
}

void TAlertWindow::DisplayTimeOut() {
  if (state_ != State::Shown) return;
  if (underMouse()) {  // the user is reading: it waits for the mouse to leave
    displayTimer_.start();
    return;
  }
  state_ = State::FadingOut;
  fadeTimer_.start();
}

void TAlertWindow::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  if (state_ == State::FadingOut) ShowRequested();
}

void TAlertWindow::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  if (state_ == State::Shown) displayTimer_.start();
}

void TAlertWindow::SetAlpha(int alpha) {
  alpha_ = alpha;
  setWindowOpacity(alpha / 255.0);
}

void TAlertWindow::PlaceAtBottomRight() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  move(area.right() - kPopupWidth + 1, area.bottom() - kPopupHeight + 1);
}

void TAlertWindow::Refresh() {
  const int count = messages_.Messages().Count();
  const bool several = count > 1;
  ButtonPrevious->setVisible(several);
  ButtonNext->setVisible(several);
  ButtonPrevious->setEnabled(messages_.Selected() > 1);
  ButtonNext->setEnabled(messages_.Selected() < count);
  update();
}

void TAlertWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QLinearGradient background(0, 0, width(), 0);
  background.setColorAt(0, kWindowColor);
  background.setColorAt(1, kWindowColorTo);
  painter.fillRect(rect(), background);
  painter.fillRect(QRect(0, 0, width(), kCaptionHeight), kWindowColor);
  painter.setPen(kWindowColor);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));

  const int selected = messages_.Selected();
  if (selected < 1 || selected > messages_.Messages().Count()) return;
  const TAlertMessage& message = messages_.Messages().Item(selected - 1);

  QFont font = this->font();
  font.setBold(messages_.Bold());
  painter.setFont(font);
  painter.setPen(kTextColor);
  painter.drawText(QRect(kMarginX + 2, 0, width() / 2, kCaptionHeight),
                   Qt::AlignVCenter | Qt::AlignLeft, PositionText());

  const QPixmap image = desktop_.MessageImage(message.ImageIndex(), devicePixelRatioF());
  const int top = kCaptionHeight + 4;
  if (!image.isNull()) painter.drawPixmap(QPoint(kMarginX + 2, top), image);
  const int textLeft = kMarginX + 2 + 32 + 8;
  const int textWidth = width() - textLeft - kMarginX;
  const QFontMetrics metrics(font);
  int y = top + kMarginY;
  for (const std::string& line : message.Lines()) {
    if (line == kAlertSeparatorLine) {
      QColor rule = kTextColor;
      rule.setAlpha(90);
      painter.setPen(rule);
      const int middle = y + kSeparatorHeight / 2;
      painter.drawLine(textLeft, middle, textLeft + textWidth, middle);
      painter.setPen(kTextColor);
      y += kSeparatorHeight;
      continue;
    }
    const QString text =
        metrics.elidedText(QString::fromStdString(line), Qt::ElideRight, textWidth);
    painter.drawText(QRect(textLeft, y, textWidth, metrics.height()), Qt::AlignLeft, text);
    y += metrics.height();
  }
}

}  // namespace tarn
