#include "base/numbers.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

TEST(NumbersTest, WholeNumbersAndTheirRanges) {
  const struct {
    const char* text;
    std::optional<int64_t> whole;
    std::optional<int16_t> small;
  } cases[] = {
      {"42", 42, 42},
      {"+7", 7, 7},
      {"-32768", -32768, -32768},
      {"32768", 32768, std::nullopt},
      {"9223372036854775807", INT64_MAX, std::nullopt},
      {"9223372036854775808", std::nullopt, std::nullopt},
      {"", std::nullopt, std::nullopt},
      {"-", std::nullopt, std::nullopt},
      {"+-1", std::nullopt, std::nullopt},
      {"++1", std::nullopt, std::nullopt},
      {" 1", std::nullopt, std::nullopt},
      {"1x", std::nullopt, std::nullopt},
      {"0x10", std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseWholeNumber(c.text), c.whole) << c.text;
    EXPECT_EQ(ParseWholeNumberIn<int16_t>(c.text), c.small) << c.text;
  }
  EXPECT_EQ(ParseWholeNumberIn<int32_t>("2147483648"), std::nullopt);
  EXPECT_TRUE(FitsIn<int32_t>(-2147483648LL));
}

}  // namespace
}  // namespace tarn
