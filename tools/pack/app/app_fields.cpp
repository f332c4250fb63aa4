#include "tools/pack/app/app_fields.h"

namespace plenwick {
namespace {

AppField text(const char* key, const char* option, FieldKind kind, std::string AppSettings::*m) {
  return {key, option, kind, m, nullptr, nullptr, nullptr, -1};
}

AppField list(const char* key, const char* option, FieldKind kind,
              std::vector<std::string> AppSettings::*m) {
  return {key, option, kind, nullptr, m, nullptr, nullptr, -1};
}

AppField flag(const char* key, const char* option, std::optional<bool> AppSettings::*m) {
  return {key, option, FieldKind::kBool, nullptr, nullptr, m, nullptr, -1};
}

AppField contentList(const char* key, const char* option,
                     std::vector<ContentItem> AppSettings::*m) {
  return {key, option, FieldKind::kContentList, nullptr, nullptr, nullptr, m, -1};
}

AppField launchFlag(std::size_t index) {
  AppField field = flag(kLaunchFlags[index].key, kLaunchFlags[index].option, nullptr);
  field.launchFlag = static_cast<int>(index);
  return field;
}

std::vector<AppField> withLaunchFlags(std::vector<AppField> fields) {
  for (std::size_t i = 0; i < kLaunchFlagCount; ++i) fields.push_back(launchFlag(i));
  return fields;
}

}  // namespace

const std::vector<AppField>& appFields() {
  using K = FieldKind;
  using C = AppSettings;
  static const std::vector<AppField> fields = withLaunchFlags({
      text("name", "name", K::kString, &C::name),
      text("displayName", "display-name", K::kString, &C::displayName),
      text("version", "version", K::kString, &C::version),
      text("mainClass", "main-class", K::kString, &C::mainClass),
      list("jvmOptions", "jvm-option", K::kStringList, &C::jvmOptions),
      list("arguments", "arg", K::kStringList, &C::arguments),
      text("stackSize", "stack-size", K::kSize, &C::stackSize),
      list("jars", "jar", K::kPathList, &C::jars),
      text("appFolder", "app-folder", K::kPath, &C::appFolder),
      contentList("appContent", "app-content", &C::appContent),
      list("exclude", "exclude", K::kStringList, &C::exclude),
      text("mainJar", "main-jar", K::kString, &C::mainJar),
      list("classPath", "class-path", K::kStringList, &C::classPath),
      list("classPathFolders", "class-path-folder", K::kStringList, &C::classPathFolders),
      list("classPathExclude", "class-path-exclude", K::kStringList, &C::classPathExclude),
      text("target", "target", K::kString, &C::target),
      text("jdk", "jdk", K::kPath, &C::jdk),
      text("runtime", "runtime", K::kPath, &C::runtime),
      list("modules", "module", K::kStringList, &C::modules),
      list("addModules", "add-module", K::kStringList, &C::addModules),
      flag("defaultModules", "default-modules", &C::defaultModules),
      list("locales", "locale", K::kStringList, &C::locales),
      flag("keepJavaCommand", "keep-java-command", &C::keepJavaCommand),
      flag("compressRuntime", "compress-runtime", &C::compressRuntime),
      list("icons", "icon", K::kPathList, &C::icons),
      flag("appCds", "app-cds", &C::appCds),
      list("trainingArguments", "training-arg", K::kStringList, &C::trainingArguments),
      text("launcher", "launcher", K::kPath, &C::launcher),
      text("bootstrapJar", "bootstrap-jar", K::kPath, &C::bootstrapJar),
      text("output", "output", K::kPath, &C::output),
      text("publisher", "publisher", K::kString, &C::publisher),
      text("upgradeCode", "upgrade-code", K::kString, &C::upgradeCode),
      text("installer", "installer", K::kPath, &C::installer),
      text("description", "description", K::kString, &C::description),
      text("email", "email", K::kString, &C::email),
      text("license", "license", K::kString, &C::license),
      text("packageRevision", "package-revision", K::kString, &C::packageRevision),
      list("categories", "category", K::kStringList, &C::categories),
  });
  return fields;
}

const AppField* findFieldByKey(const std::string& key) {
  for (const AppField& field : appFields()) {
    if (key == field.key) return &field;
  }
  return nullptr;
}

const AppField* findFieldByOption(const std::string& option) {
  for (const AppField& field : appFields()) {
    if (option == field.option) return &field;
  }
  return nullptr;
}

std::optional<bool>& flagIn(AppSettings& config, const AppField& field) {
  if (field.launchFlag >= 0) return config.launchFlags[static_cast<std::size_t>(field.launchFlag)];
  return config.*field.flag;
}

bool checkNoNul(const std::string& value, const std::string& where, std::string* err) {
  if (value.find('\0') == std::string::npos) return true;
  *err = where + " holds a NUL character (\\u0000): remove it";
  return false;
}

}  // namespace plenwick
