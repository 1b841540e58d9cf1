#include "server/time_zone.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

TEST(TimeZoneFromBiasTest, PicksTheListEntry) {
  struct Case {
    int bias;
    TimeZoneChoice expected;
  };
  const Case cases[] = {
      {-330, {21, 5, 30}}, {270, {8, -4, 30}},  {-345, {22, 5, 45}}, {-315, {22, 5, 45}},
      {-300, {20, 5, 0}},  {240, {9, -4, 0}},   {210, {10, -3, 30}}, {180, {11, -3, 0}},
      {150, {12, -2, 0}},  {0, {14, 0, 0}},     {-30, {14, 0, 0}},   {30, {14, 0, 0}},
      {-120, {16, 2, 0}},  {-270, {19, 4, 30}}, {-240, {18, 4, 0}},  {-390, {24, 6, 30}},
      {-420, {25, 7, 0}},  {-480, {26, 8, 0}},  {-570, {28, 9, 30}}, {-540, {27, 9, 0}},
      {-600, {29, 10, 0}}, {720, {0, -12, 0}},  {779, {0, -12, 0}},  {660, {1, -11, 0}},
      {300, {7, -5, 0}},   {-780, {32, 13, 0}}, {-839, {32, 13, 0}}, {-285, {19, 4, 30}},
  };
  for (const auto& c : cases) {
    const auto choice = TimeZoneFromBias(c.bias);
    ASSERT_TRUE(choice.has_value()) << c.bias;
    EXPECT_EQ(*choice, c.expected) << c.bias;
  }
}

TEST(TimeZoneFromBiasTest, NothingOutsideTheList) {
  for (int bias : {-840, 780, 900, -1000}) EXPECT_FALSE(TimeZoneFromBias(bias)) << bias;
}

TEST(TimeZoneFromBiasTest, EveryBiasInRangeLandsOnItsOwnListEntry) {
  for (int bias = -839; bias <= 779; ++bias) {
    const auto choice = TimeZoneFromBias(bias);
    ASSERT_TRUE(choice.has_value()) << bias;
    EXPECT_EQ(kTimeZoneChoices[choice->index], *choice) << bias;
  }
}

TEST(TimeZoneCaptionTest, ListRunsWestToEast) {
  EXPECT_EQ(TimeZoneCaption(kTimeZoneChoices[0]), "(GMT-12:00)");
  EXPECT_EQ(TimeZoneCaption(kTimeZoneChoices[8]), "(GMT-04:30)");
  EXPECT_EQ(TimeZoneCaption(kTimeZoneChoices[10]), "(GMT-03:30)");
  EXPECT_EQ(TimeZoneCaption(kTimeZoneChoices[14]), "(GMT)");
  EXPECT_EQ(TimeZoneCaption(kTimeZoneChoices[19]), "(GMT+04:30)");
  EXPECT_EQ(TimeZoneCaption(kTimeZoneChoices[21]), "(GMT+05:30)");
  EXPECT_EQ(TimeZoneCaption(kTimeZoneChoices[22]), "(GMT+05:45)");
  EXPECT_EQ(TimeZoneCaption(kTimeZoneChoices[24]), "(GMT+06:30)");
  EXPECT_EQ(TimeZoneCaption(kTimeZoneChoices[28]), "(GMT+09:30)");
  EXPECT_EQ(TimeZoneCaption(kTimeZoneChoices[32]), "(GMT+13:00)");
  for (size_t i = 0; i < kTimeZoneChoices.size(); ++i) {
    EXPECT_EQ(kTimeZoneChoices[i].index, static_cast<int>(i));
    if (i > 0) {
      const auto& west = kTimeZoneChoices[i - 1];
      const auto& east = kTimeZoneChoices[i];
      auto offset = [](const TimeZoneChoice& c) {
        return c.hours * 60 + (c.hours < 0 ? -c.minutes : c.minutes);
      };
      EXPECT_LT(offset(west), offset(east)) << i;
    }
  }
}

}  // namespace
}  // namespace tarn
