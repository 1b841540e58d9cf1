#include "app/alert_messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarn {
namespace {

using Lines = std::vector<std::string>;

class RecordingView : public AlertWindowView {
 public:
  void ShowRequested() override { calls.push_back("show"); }
  void CloseRequested() override { calls.push_back("close"); }
  std::vector<std::string> calls;
};

// The monitor's side of the window: its counter and its handlers of the window's events.
class AlertMessagesTest : public ::testing::Test {
 protected:
  AlertMessagesTest() {
    window.SetView(&view);
    window.OnDeleteMessage = [this](int index) {
      deletedIndexes.push_back(index);
      messageCount -= 1;
    };
    window.OnClose = [this] { ++closeEvents; };
  }

  const DateTime now = *DateTime::FromFields(2024, 3, 5, 14, 5, 9);
  AlertMessages window;
  RecordingView view;
  int messageCount = 0;
  AlertMessageWriter writer{window, messageCount, "HH:mm:ss"};
  std::vector<int> deletedIndexes;
  int closeEvents = 0;
};

TEST_F(AlertMessagesTest, SummaryReplacesEveryMessageAndShowsItself) {
  writer.AddGameMessage(GameMessageKind::New, now, "pl", "alpha", "Eden");
  writer.AddGameMessage(GameMessageKind::Finished, now, "fnu", "beta", "Rift");
  window.Select(2);

  writer.AddSummary(now, 2, 0, 1);

  ASSERT_EQ(window.Messages().Count(), 1);
  EXPECT_EQ(messageCount, 1);
  EXPECT_EQ(window.Selected(), 1);
  EXPECT_TRUE(window.Bold());
  const TAlertMessage& summary = window.Messages().Item(0);
  EXPECT_EQ(summary.Lines(), (Lines{"14:05:09 Checking result:", "\n\r", "New games: 2", "\n\r",
                                    "Updated games: 0", "\n\r", "Finished games: 1"}));
  EXPECT_EQ(summary.ImageIndex(), 0);
  EXPECT_EQ(view.calls, (std::vector<std::string>{"show"}));
}

TEST_F(AlertMessagesTest, GameMessagesAccumulateWithHeaderSeparatorAndSideImage) {
  struct Case {
    GameMessageKind kind;
    const char* side;
    Lines lines;
    int image;
  };
  const Case cases[] = {
      {GameMessageKind::New, "pl", {"14:05:09 New game:", "\n\r", "with beta on Eden"}, 0},
      {GameMessageKind::Updated, "fnu", {"14:05:09 Updated game:", "\n\r", "with beta on Eden"}, 1},
      {GameMessageKind::Finished,
       "fnu",
       {"14:05:09 Finished game:", "\n\r", "with beta on Eden"},
       1},
      {GameMessageKind::Finished,
       "PL",
       {"14:05:09 Finished game:", "\n\r", "with beta on Eden"},
       1},
      {GameMessageKind::New, "", {"14:05:09 New game:", "\n\r", "with beta on Eden"}, 1},
  };
  for (const Case& c : cases) writer.AddGameMessage(c.kind, now, c.side, "beta", "Eden");

  ASSERT_EQ(window.Messages().Count(), std::size(cases));
  EXPECT_EQ(messageCount, static_cast<int>(std::size(cases)));
  for (int i = 0; i < window.Messages().Count(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(window.Messages().Item(i).Lines(), cases[i].lines);
    EXPECT_EQ(window.Messages().Item(i).ImageIndex(), cases[i].image);
  }
  EXPECT_TRUE(view.calls.empty()) << "a check shows the window once, after its last message";
}

TEST_F(AlertMessagesTest, OneLineTextDropsSeparatorsAndJoinsWithSpaces) {
  writer.AddGameMessage(GameMessageKind::New, now, "pl", "beta", "Eden");
  EXPECT_EQ(OneLineText(window.Messages().Item(0)), "14:05:09 New game: with beta on Eden");
  writer.AddGameMessage(GameMessageKind::Updated, now, "pl", "Lion's Eye", "");
  EXPECT_EQ(OneLineText(window.Messages().Item(1)), "14:05:09 Updated game: with Lion's Eye on ");

  writer.AddSummary(now, 2, 0, 1);
  EXPECT_EQ(OneLineText(window.Messages().Item(0)),
            "14:05:09 Checking result: New games: 2 Updated games: 0 Finished games: 1");
}

TEST_F(AlertMessagesTest, DeletingTheOnlyMessageCountsDownAndCloses) {
  writer.AddSummary(now, 0, 0, 0);
  view.calls.clear();

  window.DeleteShown();

  EXPECT_EQ(window.Messages().Count(), 0);
  EXPECT_EQ(messageCount, 0);
  EXPECT_EQ(deletedIndexes, (std::vector<int>{0}));
  EXPECT_EQ(window.Selected(), 0);
  EXPECT_EQ(closeEvents, 1);
  EXPECT_EQ(view.calls, (std::vector<std::string>{"close"}));

  window.DeleteShown();  // nothing left to delete
  window.Show();         // an empty window does not show
  EXPECT_EQ(closeEvents, 1);
  EXPECT_EQ(messageCount, 0);
  EXPECT_EQ(view.calls, (std::vector<std::string>{"close"}));
}

TEST_F(AlertMessagesTest, DeletingAShownMessageKeepsTheRestAndMovesToItsNeighbour) {
  for (const char* competitor : {"a", "b", "c"}) {
    writer.AddGameMessage(GameMessageKind::New, now, "pl", competitor, "Eden");
  }
  window.SelectLast();
  EXPECT_EQ(window.Selected(), 3);

  window.DeleteShown();  // the last one: the new last is shown
  EXPECT_EQ(window.Selected(), 2);
  window.Select(1);
  window.DeleteShown();  // the first one: its successor moves into its place

  EXPECT_EQ(deletedIndexes, (std::vector<int>{2, 0}));
  EXPECT_EQ(messageCount, 1);
  ASSERT_EQ(window.Messages().Count(), 1);
  EXPECT_EQ(OneLineText(window.Messages().Item(0)), "14:05:09 New game: with b on Eden");
  EXPECT_EQ(window.Selected(), 1);
  EXPECT_EQ(closeEvents, 0);
  EXPECT_EQ(view.calls, (std::vector<std::string>{"show", "show"}));
}

TEST_F(AlertMessagesTest, SelectionStaysInsideTheMessagesAndCloseKeepsThem) {
  EXPECT_EQ(window.Selected(), 0);
  window.Select(1);
  EXPECT_EQ(window.Selected(), 0);

  writer.AddGameMessage(GameMessageKind::New, now, "pl", "a", "Eden");
  writer.AddGameMessage(GameMessageKind::New, now, "pl", "b", "Eden");
  EXPECT_EQ(window.Selected(), 1);
  window.Select(messageCount);
  EXPECT_EQ(window.Selected(), 2);
  window.Select(3);
  window.Select(0);
  EXPECT_EQ(window.Selected(), 2);

  window.Close();
  EXPECT_EQ(closeEvents, 1);
  EXPECT_EQ(window.Messages().Count(), 2);
  EXPECT_THROW(window.Messages().Item(2), std::out_of_range);
}

}  // namespace
}  // namespace tarn
