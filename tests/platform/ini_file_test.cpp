#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tarn {
namespace {

using testing::TempDir;
using testing::WriteText;

TEST(IniFileTest, ReadsAKeyTheWayWindowsDoes) {
  struct Case {
    const char* name;
    const char* content;
    const char* expected;
  };
  const Case cases[] = {
      {"plain", "[misc]\nlast_network_alias=alpha\n", "alpha"},
      {"names in any case", "[MISC]\nLast_Network_Alias=alpha\n", "alpha"},
      {"blanks around name and value", "  [ misc ]  \n\t last_network_alias =  al pha \t\n",
       "al pha"},
      {"CR LF line ends", "[misc]\r\nlast_network_alias=alpha\r\nother=x\r\n", "alpha"},
      {"byte order mark", "\xEF\xBB\xBF[misc]\nlast_network_alias=alpha\n", "alpha"},
      {"comment line", "[misc]\n;last_network_alias=old\nlast_network_alias=alpha\n", "alpha"},
      {"first of two", "[misc]\nlast_network_alias=alpha\nlast_network_alias=beta\n", "alpha"},
      {"only the first section of the name",
       "[misc]\nx=1\n[net]\nlast_network_alias=n\n"
       "[misc]\nlast_network_alias=late\n",
       "(default)"},
      {"key of another section", "[net]\nlast_network_alias=beta\n[misc]\nother=1\n", "(default)"},
      {"key before any section", "last_network_alias=beta\n[misc]\n", "(default)"},
      {"empty value", "[misc]\nlast_network_alias=\n", ""},
      {"equals sign in the value", "[misc]\nlast_network_alias=a=b\n", "a=b"},
      {"Unicode value", "[misc]\nlast_network_alias=Ёжик\n", "Ёжик"},
      {"no line end at the end", "[misc]\nlast_network_alias=alpha", "alpha"},
      {"line without equals sign", "[misc]\nlast_network_alias\n", "(default)"},
      {"unclosed section header", "[misc\nlast_network_alias=alpha\n", "(default)"},
      {"empty file", "", "(default)"},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteText(dir / "settings.ini", c.content);
    EXPECT_EQ(ReadIniString(dir / "settings.ini", "misc", "last_network_alias", "(default)"),
              c.expected);
  }
}

TEST(IniFileTest, AMissingFileOrAFolderGivesTheDefault) {
  TempDir dir;
  EXPECT_EQ(ReadIniString(dir / "missing.ini", "misc", "key", "none"), "none");
  EXPECT_EQ(ReadIniString(dir.Path(), "misc", "key", "none"), "none");
}

}  // namespace
}  // namespace tarn
