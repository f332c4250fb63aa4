#include "tools/pack/app/sign_settings.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace plenwick {
namespace {

TEST(SignSection, KeysPathsAndRefusals) {
  using nlohmann::json;
  const struct {
    json section;
    const char* error;  // "" when accepted
  } cases[] = {
      {{{"certificate", "c.p12"}, {"passwordEnv", "PW"}, {"timestampUrl", "http://t"}}, ""},
      {{{"certificate", "c.p12"}, {"password", "x"}}, "s: unknown key 'password'"},
      {{{"certificate", "c.p12"}, {"passwordEnv", "A"}, {"passwordFile", "f"}}, "not both"},
      {{{"key", "k.pem"}}, "key 'certificate' is required"},
      {{{"certificate", 3}}, "key 'certificate' must be a text"},
      {json::array(), "s must be an object"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.section.dump());
    SignSettings settings;
    std::string err;
    EXPECT_EQ(parseSignSection(c.section, "/cfg", "s", &settings, &err), *c.error == '\0');
    EXPECT_NE(err.find(c.error), std::string::npos) << err;
  }
  SignSettings settings;
  std::string err;
  ASSERT_TRUE(
      parseSignSection({{"certificate", "k/c.pem"}, {"key", "/abs/k.pem"}, {"passwordFile", "pw"}},
                       "/cfg", "s", &settings, &err));
  EXPECT_EQ(settings.certificate + " " + settings.key + " " + settings.passwordFile,
            "/cfg/k/c.pem /abs/k.pem /cfg/pw");
}

}  // namespace
}  // namespace plenwick
