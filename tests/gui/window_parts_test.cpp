#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "gui/interface_colors.h"
#include "gui/status_line.h"
#include "gui_test_support.h"

namespace tarn {
namespace {

DateTime At(int hour, int minute, int second) {
  return *DateTime::FromFields(2010, 4, 25, hour, minute, second);
}

TEST(StatusLineTest, SaysWhatTheLastCheckFoundOrWhyThereWasNone) {
  using Result = CheckOutcome::Result;
  const DateTime next = At(14, 15, 0);
  const struct {
    CheckOutcome last;
    std::optional<DateTime> next;
    const char* text;
  } cases[] = {
      {{}, next, "No check yet. Next check at 14:15:00."},
      {{Result::Checked, At(14, 5, 0), {}, "5 current games, 1 new"},
       next,
       "Checked at 14:05:00: 5 current games, 1 new. Next check at 14:15:00."},
      {{Result::Checked, At(14, 5, 0), {}, "2 current games, nothing new"},
       std::nullopt,
       "Checked at 14:05:00: 2 current games, nothing new. No further checks: no check period "
       "is set."},
      {{Result::Unreachable, At(14, 9, 0), At(14, 5, 0),
        "Cannot load XML from http://h/x: Cannot connect to http://h/x: Connection refused"},
       next,
       "Server not reachable since 14:05:00: Connection refused. Next check at 14:15:00."},
      {{Result::Unreachable, At(14, 5, 0), At(14, 5, 0),
        "h does not allowed\nCannot connect to http://h/x: Connection timed out"},
       next,
       "Server not reachable since 14:05:00: Connection timed out. Next check at 14:15:00."},
      {{Result::Failed, At(14, 5, 0), At(14, 1, 0), "Cannot write the file x.\nDisk full"},
       next,
       "Checks failing since 14:01:00: Cannot write the file x. Next check at 14:15:00."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StatusLineText(c.last, c.next, "HH:mm:ss"), c.text);
  }
}

TEST(InterfaceColorsTest, RgbAsItIsAndSystemColoursFromThePalette) {
  QPalette palette;
  palette.setColor(QPalette::Active, QPalette::Button, QColor(1, 2, 3));
  palette.setColor(QPalette::Active, QPalette::Highlight, QColor(4, 5, 6));
  palette.setColor(QPalette::Active, QPalette::ToolTipBase, QColor(7, 8, 9));
  palette.setColor(QPalette::Active, QPalette::Window, QColor(10, 11, 12));
  EXPECT_EQ(ToQColor({false, 0, 255, 255, 0}, palette), QColor(Qt::yellow));
  EXPECT_EQ(ToQColor({true, 15, 0, 0, 0}, palette), QColor(1, 2, 3));     // button face
  EXPECT_EQ(ToQColor({true, 13, 0, 0, 0}, palette), QColor(4, 5, 6));     // highlight
  EXPECT_EQ(ToQColor({true, 24, 0, 0, 0}, palette), QColor(7, 8, 9));     // tool tip background
  EXPECT_EQ(ToQColor({true, 30, 0, 0, 0}, palette), QColor(10, 11, 12));  // menu bar
}

}  // namespace
}  // namespace tarn
