#include "settings/interface_properties.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "settings/main_window_properties.h"
#include "store/db_monitor.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class InterfacePropertiesTest : public ::testing::Test {
 protected:
  InterfacePropertiesTest() { db_.FormCreate(dir_.Path()); }

  std::string Value(const std::string& name) {
    const auto rows = db_.InterfaceSettings.CreateCursor();
    return rows->Locate("property_name", name) ? rows->Field("property_value").AsText() : "-";
  }
  void Set(const std::string& name, const std::string& value) {
    WriteInterfaceProperties(db_.InterfaceSettings, {{"", 0, name, value}});
  }

  testing::TempDir dir_;
  testing::RecordingDialogs dialogs_;
  testing::FixedClock clock_;
  TFormDBMonitor db_{dialogs_, clock_};
};

std::vector<std::string> Names(const TA_INTERFACE_PRTY& properties) {
  std::vector<std::string> names;
  for (const auto& p : properties) names.push_back(p.property_name);
  return names;
}

TEST_F(InterfacePropertiesTest, ReadsOneWindowByItsExactNameWithoutMovingTheTable) {
  Table& table = db_.InterfaceSettings;
  table.Append();
  table.SetField("form_name", "formplayer");
  table.SetField("property_no", 12);
  table.SetField("property_name", "formplayer.Top");
  table.Post();
  table.SetFilter("[form_name]='Form1'");
  table.SetFiltered(true);
  table.SetRecNo(3);

  const TA_INTERFACE_PRTY player = ReadInterfaceProperties(table, "FormPlayer");
  EXPECT_THAT(Names(player),
              ElementsAre("FormPlayer.Top", "FormPlayer.Left", "FormPlayer.Height",
                          "FormPlayer.Width", "FormPlayer.Color", "FormPlayer.Font.Color"));
  EXPECT_EQ(player[0].form_name, "FormPlayer");
  EXPECT_EQ(player[0].property_no, 12);
  EXPECT_EQ(player[0].property_value, "236");
  EXPECT_EQ(ReadInterfaceProperties(table, "").size(), 19u);  // every row, the switch too
  EXPECT_EQ(table.RecNo(), 3);
  EXPECT_EQ(table.RecordCount(), 7);
}

TEST_F(InterfacePropertiesTest, WritesOnlyRowsThatExist) {
  const int rows = db_.InterfaceSettings.RecordCount();
  WriteInterfaceProperties(db_.InterfaceSettings, {{"Form1", 4, "Form1.Top", "10"},
                                                   {"Form1", 99, "Form1.Nothing", "1"},
                                                   {"Form1", 5, "Form1.Left", "-20"}});
  EXPECT_EQ(Value("Form1.Top"), "10");
  EXPECT_EQ(Value("Form1.Left"), "-20");
  EXPECT_EQ(Value("Form1.Nothing"), "-");
  EXPECT_EQ(db_.InterfaceSettings.RecordCount(), rows);
}

TEST_F(InterfacePropertiesTest, PositionsAreStoredOnlyWhileTheSwitchReadsTrue) {
  const struct {
    const char* value;
    bool stored;
  } cases[] = {{"-1", true}, {"True", true},   {"tRUE", true},   {"7", true},
               {"0", false}, {"False", false}, {"maybe", false}, {"", false}};
  for (const auto& c : cases) {
    Set("StoreLastPosition", c.value);
    Set("FormPlayer.Top", "1");
    EXPECT_EQ(StoreFormPosition(db_.InterfaceSettings, "FormPlayer", {50, 60, 70, 80}), c.stored)
        << c.value;
    EXPECT_EQ(Value("FormPlayer.Top"), c.stored ? "50" : "1") << c.value;
  }
  EXPECT_EQ(Value("FormPlayer.Left"), "60");
  EXPECT_EQ(Value("FormPlayer.Height"), "70");
  EXPECT_EQ(Value("FormPlayer.Width"), "80");

  Set("StoreLastPosition", "-1");
  ASSERT_TRUE(db_.InterfaceSettings.Locate("property_name", "StoreLastPosition"));
  db_.InterfaceSettings.Delete();
  EXPECT_FALSE(StoreFormPosition(db_.InterfaceSettings, "Form1", {1, 2, 3, 4}));
  EXPECT_EQ(Value("Form1.Top"), "227");
}

TEST(InterfaceValuesTest, BooleansAndWholeNumbers) {
  EXPECT_EQ(ReadBoolProperty("-1"), true);
  EXPECT_EQ(ReadBoolProperty("TRUE"), true);
  EXPECT_EQ(ReadBoolProperty("false"), false);
  EXPECT_EQ(ReadBoolProperty("0"), false);
  EXPECT_EQ(ReadBoolProperty("yes"), std::nullopt);
  EXPECT_EQ(BoolPropertyText(true), "-1");
  EXPECT_EQ(BoolPropertyText(false), "0");
  EXPECT_EQ(ReadIntProperty("-35"), -35);
  EXPECT_EQ(ReadIntProperty("12px"), std::nullopt);
  EXPECT_EQ(ReadIntProperty("4294967296"), std::nullopt);
}

TEST(InterfaceValuesTest, ColoursAreRgbInTheLowBytesOrSystemColoursAsNegativeNumbers) {
  const struct {
    const char* text;
    std::optional<InterfaceColor> color;
  } cases[] = {
      {"0", InterfaceColor{false, 0, 0, 0, 0}},
      {"65535", InterfaceColor{false, 0, 255, 255, 0}},  // yellow: red in the low byte
      {"16711680", InterfaceColor{false, 0, 0, 0, 255}},
      {"-16777201", InterfaceColor{true, 15, 0, 0, 0}},  // the button face
      {"-16777216", InterfaceColor{true, 0, 0, 0, 0}},
      {"-16777186", InterfaceColor{true, 30, 0, 0, 0}},
      {"-16777185", std::nullopt},  // beyond the desktop's list
      {"16777216", std::nullopt},   // a palette entry, no colour of its own
      {"-1", std::nullopt},
      {"2147483648", std::nullopt},
      {"black", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadColorProperty(c.text), c.color) << c.text;
    if (c.color) {
      EXPECT_EQ(ColorPropertyText(*c.color), c.text);
    }
  }
}

TEST(MainWindowPropertiesTest, NumbersOneToSevenApplyAndABadValueIsLeftOutAlone) {
  const MainWindowProperties read = ReadMainWindowProperties({
      {"Form1", 0, "StoreLastPosition", "-1"},
      {"Form1", 1, "Form1.ToolBar1.Visible", "0"},
      {"Form1", 2, "Form1.Color", "dark"},
      {"Form1", 3, "Form1.Font.Color", "65535"},
      {"Form1", 4, "Form1.Top", "10"},
      {"Form1", 4, "Form1.Top", "-12"},
      {"Form1", 5, "Form1.Left", "x"},
      {"Form1", 6, "Form1.Height", "300"},
      {"Form1", 7, "Form1.Width", "400"},
      {"Form1", 8, "FormMonitorSettings.Top", "nothing read"},
  });
  EXPECT_EQ(read.toolBarVisible, false);
  EXPECT_EQ(read.backgroundColor, std::nullopt);
  EXPECT_EQ(read.fontColor, (InterfaceColor{false, 0, 255, 255, 0}));
  EXPECT_EQ(read.top, -12);
  EXPECT_EQ(read.left, std::nullopt);
  EXPECT_EQ(read.height, 300);
  EXPECT_EQ(read.width, 400);
  EXPECT_THAT(read.problems, ElementsAre("Form1.Color: 'dark' is not a colour",
                                         "Form1.Left: 'x' is not a whole number"));
  EXPECT_THAT(ReadMainWindowProperties({}).problems, IsEmpty());
}

}  // namespace
}  // namespace tarn
