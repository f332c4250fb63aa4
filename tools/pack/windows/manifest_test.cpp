#include "tools/pack/windows/manifest.h"

#include <gtest/gtest.h>

namespace plenwick {
namespace {

TEST(ManifestVersion, OneToFourNumbers) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"1", "1.0.0.0"},    {"3.2", "3.2.0.0"}, {"1.2.3.4", "1.2.3.4"}, {"65535", "65535.0.0.0"},
      {"01.2", "1.2.0.0"}, {"65536", ""},      {"1.2.3.4.5", ""},      {"", ""},
      {"1.", ""},          {".1", ""},         {"1..2", ""},           {"1.2-beta", ""},
      {"-1", ""},          {"1 .2", ""},       {"123456", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(manifestVersion(c.in), c.out);
  }
}

TEST(ManifestIdentity, ReplacesOnlyTheApplicationsOwnIdentity) {
  const struct {
    const char* name;
    std::string xml;
    const char* expected;
  } cases[] = {
      {"both present",
       "<assembly><assemblyIdentity name=\"Old\" version=\"1.0.0.0\" type=\"win32\"/>"
       "<description>Old</description><dependency><assemblyIdentity name=\"X\" version=\"6.0\"/>"
       "</dependency></assembly>",
       "<assembly><assemblyIdentity name=\"New\" version=\"2.0.0.0\" type=\"win32\"/>"
       "<description>A &amp; &lt;B&gt;</description><dependency><assemblyIdentity name=\"X\" "
       "version=\"6.0\"/></dependency></assembly>"},
      {"no description, single quotes",
       "<assembly><assemblyIdentity type='win32' name='Old' version='1.0.0.0'/></assembly>",
       "<assembly><assemblyIdentity type='win32' name='New' version='2.0.0.0'/>\n  "
       "<description>A &amp; &lt;B&gt;</description></assembly>"},
      {"no version attribute", "<assembly><assemblyIdentity name=\"Old\"/></assembly>",
       "<assembly><assemblyIdentity name=\"New\" version=\"2.0.0.0\"/>\n  "
       "<description>A &amp; &lt;B&gt;</description></assembly>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string xml = c.xml;
    std::string error;
    ASSERT_TRUE(writeManifestIdentity(xml, {"New", "2.0.0.0", "A & <B>"}, &error)) << error;
    EXPECT_EQ(xml, c.expected);
    ManifestIdentity back;
    ASSERT_TRUE(readManifestIdentity(xml, back));
    EXPECT_EQ(back.name + " " + back.version + " " + back.description, "New 2.0.0.0 A & <B>");
  }
  std::string onlyDependency =
      "<assembly><dependency><assemblyIdentity name=\"X\"/></dependency></assembly>";
  std::string error;
  EXPECT_FALSE(writeManifestIdentity(onlyDependency, {"New", "2.0.0.0", "A"}, &error));
}

// Attributes are found by hand: a long value is read in one pass (std::regex
// overflowed the stack on 50,000 characters).
TEST(ManifestIdentity, ReadsAttributesAsXmlWritesThem) {
  const std::string longName(50000, 'n');
  const struct {
    std::string tag;
    const char* name;
    const char* version;
  } cases[] = {
      {"<assemblyIdentity\n name = 'A&amp;lt;' version=\"1.0\"/>", "A&lt;", "1.0"},
      {"<assemblyIdentity type=\"x\" xname=\"no\" name=\"it's\" name='B'>", "B", ""},
      {"<assemblyIdentity name=B version=\"2\">", "", "2"},
      {"<assemblyIdentity name=\"" + longName + "\" version=\"3\"/>", longName.c_str(), "3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tag.substr(0, 60));
    ManifestIdentity identity;
    ASSERT_TRUE(readManifestIdentity("<assembly>" + c.tag + "</assembly>", identity));
    EXPECT_EQ(identity.name, c.name);
    EXPECT_EQ(identity.version, c.version);
  }
}

}  // namespace
}  // namespace plenwick
