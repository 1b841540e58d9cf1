#include "server/server_address.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/environment.h"

namespace tarn {
namespace {

class MapEnvironment : public Environment {
 public:
  std::map<std::string, std::string> vars;
  std::optional<std::string> Get(const std::string& name) const override {
    const auto it = vars.find(name);
    if (it == vars.end()) return std::nullopt;
    return it->second;
  }
};

TEST(ServerAddressTest, QueryValuesArePercentEncodedExceptPlainCharacters) {
  EXPECT_EQ(EncodeQueryValue("Vesper_77"), "Vesper_77");
  EXPECT_EQ(EncodeQueryValue("Lion's Eye"), "Lion%27s%20Eye");
  EXPECT_EQ(EncodeQueryValue("a&b=c"), "a%26b%3Dc");
  EXPECT_EQ(EncodeQueryValue("Ž"), "%C5%BD");
  EXPECT_EQ(EncodeQueryValue("2008-06-01 12:30:00"), "2008-06-01%2012%3A30%3A00");
}

TEST(ServerAddressTest, WwwOnlyInFrontOfDnsNames) {
  const std::pair<const char*, const char*> cases[] = {
      {"tarn.example.com", "www.tarn.example.com"},
      {"tarn.example.com:8080", "www.tarn.example.com:8080"},
      {"www.tarn.example.com", "www.tarn.example.com"},
      {"WWW.tarn.example.com", "WWW.tarn.example.com"},
      {"127.0.0.1:8080", "127.0.0.1:8080"},
      {"localhost:8080", "localhost:8080"},
      {"[::1]:8080", "[::1]:8080"},
      {"tarnhost", "tarnhost"},
  };
  for (const auto& [host, expected] : cases) EXPECT_EQ(WithWwwPrefix(host), expected) << host;
}

TEST(ServerAddressTest, FromDateTextHasTheTimeOnlyWhenNotMidnight) {
  EXPECT_EQ(ServerDateText(*DateTime::FromFields(2008, 6, 1)), "2008-06-01");
  EXPECT_EQ(ServerDateText(*DateTime::FromFields(2008, 6, 1, 0, 0, 0, 400)), "2008-06-01");
  EXPECT_EQ(ServerDateText(*DateTime::FromFields(2008, 6, 1, 12, 30)), "2008-06-01 12:30:00");
  EXPECT_EQ(ServerDateText(*DateTime::FromFields(2008, 6, 1, 0, 0, 5)), "2008-06-01 00:00:05");
}

TEST(ServerAddressTest, OptionWinsOverEnvironmentOverDefault) {
  MapEnvironment env;
  EXPECT_EQ(ResolveServerHost(std::nullopt, env), DefaultServerHost());
  env.vars["TARN_SERVER"] = "127.0.0.1:9000";
  EXPECT_EQ(ResolveServerHost(std::nullopt, env), "127.0.0.1:9000");
  EXPECT_EQ(ResolveServerHost(std::string("localhost:81"), env), "localhost:81");
}

TEST(ServerAddressTest, MalformedAddressesAreRefused) {
  for (const char* bad : {"http://x", "host:", "host:0", "host:70000", "host:8a", "a b", "-x.com",
                          "x..com", "host/path", "[::1", ":80"}) {
    EXPECT_THROW(ValidateServerHost(bad), std::invalid_argument) << bad;
  }
  for (const char* good : {"x.com", "127.0.0.1", "localhost:8080", "[::1]:80", "[::1]"}) {
    EXPECT_NO_THROW(ValidateServerHost(good)) << good;
  }
}

}  // namespace
}  // namespace tarn
