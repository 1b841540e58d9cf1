#include "platform/xml.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/http.h"

namespace tarn {
namespace {

using ::testing::HasSubstr;

TEST(XmlDocumentTest, OnlyElementsAreChildren) {
  auto doc = XmlDocument::Parse(
      "<?xml version=\"1.0\"?>\n<!-- list -->\n<games>\n  text <?pi x?>\n"
      "  <game id=\"7\"><!-- c --><settings planet=\"lions eye\"/>\n<player id=\"1\"/></game>\n"
      "  <![CDATA[raw]]><game id=\"8\"/>\n</games>");
  XmlElement root = doc->Root();
  EXPECT_EQ(root.Name(), "games");
  ASSERT_EQ(root.ChildCount(), 2);
  XmlElement game = root.Child(0);
  EXPECT_EQ(game.Attribute("id"), "7");
  ASSERT_EQ(game.ChildCount(), 2);
  EXPECT_EQ(game.Child(0).Name(), "settings");
  EXPECT_EQ(game.Child(0).Attribute("planet"), "lions eye");
  EXPECT_EQ(game.Child(1).Name(), "player");
  EXPECT_EQ(root.Child(1).Attribute("id"), "8");
  EXPECT_EQ(root.Child(1).ChildCount(), 0);
}

TEST(XmlDocumentTest, AttributesKeepTextAndEscapes) {
  auto doc = XmlDocument::Parse(
      "<players><player alias=\"Lion&apos;s Mane\" name=\"\xC5\xBD\x65ljko\" empty=\"\" "
      "amp=\"a &amp; b\"/></players>");
  XmlElement player = doc->Root().Child(0);
  EXPECT_EQ(player.Attribute("alias"), "Lion's Mane");
  EXPECT_EQ(player.Attribute("name"), "\xC5\xBD\x65ljko");
  EXPECT_EQ(player.Attribute("empty"), "");
  EXPECT_EQ(player.Attribute("amp"), "a & b");
  EXPECT_EQ(player.Attribute("missing"), std::nullopt);
  EXPECT_EQ(player.Attribute("Alias"), std::nullopt);
}

TEST(XmlDocumentTest, OwnTextIsTheElementsTextWithoutItsChildren) {
  const struct {
    const char* document;
    const char* ownText;
  } cases[] = {
      {"<error code=\"500\">Internal server error</error>", "Internal server error"},
      {"<games>\n  <game id=\"1\">inner</game>\n</games>", ""},
      {"<games/>", ""},
      {"<e> a <x/> b </e>", "a  b"},
      {"<e><![CDATA[down]]></e>", "down"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(XmlDocument::Parse(c.document)->Root().OwnText(), c.ownText) << c.document;
  }
}

TEST(XmlDocumentTest, OutOfRangeChildIsNull) {
  auto doc = XmlDocument::Parse("<players><player/></players>");
  XmlElement root = doc->Root();
  for (int index : {-1, 1, 1000}) {
    XmlElement child = root.Child(index);
    EXPECT_TRUE(child.IsNull()) << index;
    EXPECT_EQ(child.ChildCount(), 0);
    EXPECT_EQ(child.Attribute("id"), std::nullopt);
    EXPECT_TRUE(child.Child(0).IsNull());
  }
  EXPECT_FALSE(root.Child(0).IsNull());
}

TEST(XmlDocumentTest, RootWithoutChildren) {
  auto doc = XmlDocument::Parse("<players/>");
  EXPECT_EQ(doc->Root().Name(), "players");
  EXPECT_EQ(doc->Root().ChildCount(), 0);
}

TEST(XmlDocumentTest, BadTextIsALoadErrorWithReasonAndOffset) {
  struct Case {
    const char* text;
    const char* reason;
  };
  for (const Case& c : {
           Case{"", "No document element"},
           Case{"<!-- only a comment -->", "No document element"},
           Case{"<games><game id=\"1\"></games>", "offset"},
           Case{"<games><game id=\"1></game></games>", "offset"},
           Case{"<games>", "offset"},
           Case{"Error", "No document element"},
       }) {
    try {
      XmlDocument::Parse(c.text);
      ADD_FAILURE() << "parsed: " << c.text;
    } catch (const XmlLoadError& error) {
      EXPECT_THAT(error.what(), HasSubstr(c.reason)) << c.text;
    }
  }
}

class FakeHttp : public Http {
 public:
  std::string body;
  bool fail = false;
  std::string GetText(const std::string& url) override {
    if (fail) throw HttpError(HttpError::Kind::Status, "Server answered HTTP 500 to " + url);
    return body;
  }
  void GetToFile(const std::string&, const std::filesystem::path&) override {}
};

TEST(HttpXmlLoaderTest, LoadsAndWrapsEveryFailureNamingTheUrl) {
  FakeHttp http;
  HttpXmlLoader loader(http);
  const std::string url = "http://example.test/tarn/prokladko/xml_server_v2.php?mode=games_all";

  http.body = "<games><game id=\"3\"/></games>";
  EXPECT_EQ(loader.Load(url)->Root().Child(0).Attribute("id"), "3");

  http.body = "<games><game></games>";
  EXPECT_THAT([&] { loader.Load(url); },
              ::testing::ThrowsMessage<XmlLoadError>(
                  ::testing::AllOf(HasSubstr(url), HasSubstr("Malformed XML at offset"))));

  http.fail = true;
  EXPECT_THAT([&] { loader.Load(url); }, ::testing::ThrowsMessage<XmlLoadError>(::testing::AllOf(
                                             HasSubstr(url), HasSubstr("HTTP 500"))));
}

}  // namespace
}  // namespace tarn
