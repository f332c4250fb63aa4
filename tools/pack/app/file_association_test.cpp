#include "tools/pack/app/file_association.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace plenwick {
namespace {

using nlohmann::json;

// One entry: a usable one with `patch` merged in (a null value removes a key;
// `{}`, itself null, changes nothing).
json entry(const json& patch) {
  json e = {{"extension", "pwdoc"}, {"mimeType", "application/x-pwdoc"}, {"description", "Doc"}};
  if (!patch.is_null()) e.merge_patch(patch);
  return e;
}

TEST(FileAssociations, ReadingAndCheckingEachEntry) {
  const json second = entry({{"extension", "pwdoc2"}, {"mimeType", "application/x-pwdoc2"}});
  const struct {
    json list;
    const char* error;  // "" when accepted
  } cases[] = {
      {json::array({entry({}), second}), ""},
      {json::array({entry({{"extension", "p-w_D0c"}, {"mimeType", "vnd.a+b/x.y-z_1"}})}), ""},
      {json::array({entry({{"extension", nullptr}})}), "entry 1: 'extension' is required"},
      {json::array({entry({{"extension", ".pwdoc"}})}), "without the dot, e.g. \"pwdoc\""},
      {json::array({entry({{"extension", "tar.gz"}})}), "may hold only ASCII letters"},
      {json::array({entry({{"extension", "p d"}})}), "may hold only ASCII letters"},
      {json::array({entry({{"extension", std::string(33, 'x')}})}), "(at most 32)"},
      {json::array({entry({{"extension", "Exe"}})}), "'Exe' belongs to the system"},
      {json::array({entry({{"mimeType", nullptr}})}), "'mimeType' is required"},
      {json::array({entry({{"mimeType", "application"}})}), "is not a media type"},
      {json::array({entry({{"mimeType", "application/"}})}), "is not a media type"},
      {json::array({entry({{"mimeType", "/x"}})}), "is not a media type"},
      {json::array({entry({{"mimeType", "Application/x"}})}), "is not a media type"},
      {json::array({entry({{"mimeType", "a/-x"}})}), "is not a media type"},
      {json::array({entry({{"mimeType", "text/x; charset=utf-8"}})}), "is not a media type"},
      {json::array({entry({{"mimeType", "a/b/c"}})}), "is not a media type"},
      {json::array({entry({{"description", nullptr}})}), "'description' is required"},
      {json::array({entry({{"description", "a\nb"}})}), "holds a control character"},
      {json::array({entry({}), entry({{"extension", "PWDOC"}})}),
       "entry 2: extension 'PWDOC' is also in entry 1"},
      {json::array({entry({}), entry({{"extension", "b"}})}), "entry 2: mimeType"},
      {json::array({entry({{"size", 1}})}), "s entry 1: unknown key 'size'"},
      {json::array({entry({{"icon", 1}})}), "s entry 1: key 'icon' must be a text"},
      {json::array({"pwdoc"}), "s entry 1 must be an object"},
      {json("pwdoc"), "s must be a list of objects"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.list.dump());
    std::vector<FileAssociation> list;
    std::string err;
    if (parseFileAssociations(c.list, "/cfg", "s", &list, &err))
      err = fileAssociationsProblem(list);
    EXPECT_EQ(err.empty(), *c.error == '\0') << err;
    EXPECT_NE(err.find(c.error), std::string::npos) << err;
  }
}

TEST(FileAssociations, IconsAreTakenFromTheFilesFolder) {
  std::vector<FileAssociation> list;
  std::string err;
  ASSERT_TRUE(parseFileAssociations(
      json::array({entry({{"icon", "i/../a.png"}}), entry({{"icon", "/abs/b.png"}}), entry({})}),
      "/cfg", "s", &list, &err));
  EXPECT_EQ(list[0].icon + " " + list[1].icon + " " + list[2].icon, "/cfg/a.png /abs/b.png ");
}

}  // namespace
}  // namespace plenwick
