#include "base/text.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

TEST(TextTest, CaseIsIgnoredForAsciiLettersOnly) {
  EXPECT_TRUE(EqualsIgnoringCase("WWW.", "www."));
  EXPECT_TRUE(EqualsIgnoringCase("Current", "cURRENT"));
  EXPECT_FALSE(EqualsIgnoringCase("www", "www."));
  // Letters beyond ASCII are compared as they are, whatever the locale.
  EXPECT_FALSE(EqualsIgnoringCase("\xC3\xA9", "\xC3\x89"));
}

TEST(TextTest, BooleanTexts) {
  const struct {
    const char* text;
    std::optional<bool> value;
  } cases[] = {{"True", true}, {"FALSE", false},      {"0", false},
               {"-3", true},   {"yes", std::nullopt}, {"", std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(ParseBoolText(c.text), c.value) << c.text;
}

TEST(TextTest, CodePointsAreCountedAndCutWhole) {
  const std::string zhe = "\xD0\x96";  // one letter, two bytes
  EXPECT_EQ(CodePointCount(zhe + zhe + "a"), 3u);
  EXPECT_EQ(CutToCodePoints(zhe + zhe + "a", 2), zhe + zhe);
  EXPECT_EQ(CutToCodePoints("abc", 5), "abc");
  EXPECT_EQ(CodePointCount("\xFF\xFE"), 2u);  // bytes that are no UTF-8 count one each
  EXPECT_EQ(TrimBlanks(" \t x y\r\n"), "x y");
}

}  // namespace
}  // namespace tarn
