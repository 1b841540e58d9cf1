#pragma once

#include <QComboBox>
#include <QWidget>

// Windows and pages of later work, here as the places their menu items and tabs open. Each grows
// into a window of its own.

namespace tarn {

// The player window (modeless, created once, hidden when closed).
class TFormPlayer : public QWidget {
  Q_OBJECT
 public:
  explicit TFormPlayer(QWidget* parent = nullptr);
};

// The settings window (modeless, created once, hidden when closed).
class TFormMonitorSettings : public QWidget {
  Q_OBJECT
 public:
  explicit TFormMonitorSettings(QWidget* parent = nullptr);
};

// The about window, made anew on every request and gone when closed.
class TFormAbout : public QWidget {
  Q_OBJECT
 public:
  explicit TFormAbout(QWidget* parent = nullptr);
};

// The "Player Games" page; so far only its map filter, which the first showing fills.
class PlayerGamesPage : public QWidget {
  Q_OBJECT
 public:
  explicit PlayerGamesPage(QWidget* parent = nullptr);
  QComboBox* CBMapFilter;
};

}  // namespace tarn
