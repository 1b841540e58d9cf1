#include "platform/registry.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tarn {
namespace {

using testing::TempDir;
using testing::WriteText;

constexpr std::string_view kKey = "\\SOFTWARE\\Wow6432Node\\Brightmoor\\Paths";

// A prefix whose system.reg holds the game's key among others, as Wine writes it.
class WineRegistryTest : public ::testing::Test {
 protected:
  void WriteSystemReg(std::string_view pathsSection) {
    WriteText(
        prefix / "system.reg",
        "WINE REGISTRY Version 2\r\n;; All keys relative to \\\\Machine\r\n\r\n#arch=win64\r\n"
        "\r\n[Software\\\\Brightmoor\\\\Paths] 1700000000\r\n"
        "\"Tarn Frontlines\"=\"C:\\\\Wrong\\\\View\"\r\n\r\n" +
            std::string(pathsSection) +
            "\r\n[Software\\\\Wow6432Node\\\\Brightmoor\\\\Paths\\\\Later] 1700000000\r\n"
            "\"Tarn Frontlines\"=\"C:\\\\Later\"\r\n");
  }
  std::string Read(std::string_view valueName = "Tarn Frontlines") {
    return registry.ReadLocalMachineString(kKey, valueName).value_or("(no key)");
  }

  TempDir prefix;
  WineRegistry registry{prefix.Path()};
};

TEST_F(WineRegistryTest, StringValuesAreUnescapedAndDrivePathsLeadIntoThePrefix) {
  const std::string driveC = (prefix.Path() / "drive_c").string();
  const std::string driveD = (prefix.Path() / "dosdevices" / "d:").string();
  struct Case {
    const char* valueLine;
    std::string expected;
  };
  const Case cases[] = {
      {R"("Tarn Frontlines"="C:\\Games\\Tarn")", driveC + "/Games/Tarn"},
      {R"("TARN FRONTLINES"="c:\\Program Files (x86)\\Tarn")",
       driveC + "/Program Files (x86)/Tarn"},
      {R"("Tarn Frontlines"="D:\\Tarn")", driveD + "/Tarn"},
      {R"("Tarn Frontlines"=str(2):"C:\\Tarn")", driveC + "/Tarn"},
      {R"("Tarn Frontlines"="\\\\server\\share \"q\"")", R"(\\server\share "q")"},
      {R"("Tarn Frontlines"="C:\\Spiele\\\xc4\x4e2d\xd83d\xde00")",
       driveC + "/Spiele/\xC3\x84\xE4\xB8\xAD\xF0\x9F\x98\x80"},
      {R"("Tarn Frontlines"="")", ""},
      {R"("Tarn Frontlines"=dword:00000001)", ""},
      {R"("Tarn Frontlines"="C:\\broken)", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.valueLine);
    WriteSystemReg(std::string("[Software\\\\Wow6432Node\\\\Brightmoor\\\\Paths] 1700000000\r\n"
                               "#time=1d9a4a3c8e0e0b2\r\n\"Other\"=\"x\"\r\n") +
                   c.valueLine + "\r\n");
    EXPECT_EQ(Read(), c.expected);
  }
}

TEST_F(WineRegistryTest, AKeyWithoutTheValueOpensEmptyAndAMissingKeyDoesNotOpen) {
  WriteSystemReg(
      "[software\\\\wow6432node\\\\BRIGHTMOOR\\\\paths] 1700000000\r\n\"Other\"=\"x\"\r\n");
  EXPECT_EQ(Read(), "");
  EXPECT_EQ(Read("Other"), "x");

  // Only a subkey written: the key itself exists without values.
  WriteSystemReg("");
  EXPECT_EQ(Read(), "");

  WriteText(prefix / "system.reg", "WINE REGISTRY Version 2\n[Software\\\\Other] 1\n\"a\"=\"b\"\n");
  EXPECT_EQ(Read(), "(no key)");
  EXPECT_EQ(registry.ReadLocalMachineString("\\SOFTWARE\\Other", "a"), "b");
}

TEST(WineRegistryWithoutFileTest, NoPrefixOrNoFileHasNoKeys) {
  TempDir empty;
  EXPECT_EQ(WineRegistry(empty.Path()).ReadLocalMachineString(kKey, "Tarn Frontlines"),
            std::nullopt);
  EXPECT_EQ(WineRegistry("").ReadLocalMachineString(kKey, "Tarn Frontlines"), std::nullopt);
}

}  // namespace
}  // namespace tarn
