#include "base/date_time.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

TEST(DateTimeTest, KnownDayCounts) {
  EXPECT_EQ(DateTime::FromFields(1899, 12, 30)->Days(), 0.0);
  EXPECT_EQ(DateTime::FromFields(2000, 1, 1)->Days(), 36526.0);
  EXPECT_EQ(DateTime::FromFields(2000, 1, 1, 12)->Days(), 36526.5);
  EXPECT_EQ(DateTime::FromFields(1899, 12, 29, 6)->Days(), -0.75);
}

TEST(DateTimeTest, FieldsRoundTripToTheMillisecond) {
  const DateTime::Fields cases[] = {{2008, 6, 1, 10, 0, 0, 0},       {2010, 4, 25, 12, 12, 9, 0},
                                    {2024, 2, 29, 23, 59, 59, 999},  {1, 1, 1, 0, 0, 0, 0},
                                    {9999, 12, 31, 23, 59, 59, 999}, {1850, 3, 7, 7, 30, 15, 250}};
  for (const auto& f : cases) {
    const auto dt = DateTime::FromFields(f);
    ASSERT_TRUE(dt.has_value());
    EXPECT_EQ(dt->ToFields(), f) << dt->ToStorageText();
    EXPECT_EQ(DateTime::FromStorageText(dt->ToStorageText()), dt);
  }
}

TEST(DateTimeTest, InvalidFieldsGiveNothing) {
  EXPECT_FALSE(DateTime::FromFields(2008, 2, 30));
  EXPECT_FALSE(DateTime::FromFields(2007, 2, 29));
  EXPECT_FALSE(DateTime::FromFields(2008, 6, 1, 24));
  EXPECT_FALSE(DateTime::FromFields(0, 1, 1));
  EXPECT_FALSE(DateTime::FromFields(2008, 13, 1));
  EXPECT_FALSE(DateTime::FromStorageText("2008-06-01 10:00"));
  EXPECT_FALSE(DateTime::FromStorageText("garbage"));
  EXPECT_FALSE(DateTime::FromStorageText("2008-06-01T10:00:00"));
  EXPECT_FALSE(DateTime::FromStorageText("+008-06-01"));
}

TEST(DateTimeTest, StorageTextWithOrWithoutTimeAndMilliseconds) {
  EXPECT_EQ(DateTime::FromStorageText("2008-06-01"), DateTime::FromFields(2008, 6, 1));
  EXPECT_EQ(DateTime::FromStorageText("2008-06-01 10:20:30"),
            DateTime::FromFields(2008, 6, 1, 10, 20, 30));
  EXPECT_EQ(DateTime::FromStorageText("2008-06-01 10:20:30.045")->ToStorageText(),
            "2008-06-01 10:20:30.045");
}

TEST(DateTimeTest, WholeSecondComparisonIgnoresMilliseconds) {
  const DateTime a = *DateTime::FromFields(2008, 6, 1, 10, 0, 0, 0);
  const DateTime b = *DateTime::FromFields(2008, 6, 1, 10, 0, 0, 999);
  const DateTime c = *DateTime::FromFields(2008, 6, 1, 10, 0, 1, 0);
  EXPECT_TRUE(a.SameSecond(b));
  EXPECT_FALSE(b.SameSecond(c));
  // A value a hair below the second rounds up to it rather than falling to the second before.
  EXPECT_TRUE(DateTime(c.Days() - 1e-10).SameSecond(c));
}

}  // namespace
}  // namespace tarn
