#include "tools/pack/image/image_builder.h"

#include <filesystem>

#include "tools/pack/content/app_content.h"
#include "tools/pack/content/manifest_class_path.h"
#include "tools/pack/files/image_marker.h"
#include "tools/pack/files/output_place.h"
#include "tools/pack/launcher/packed_launcher.h"
#include "tools/pack/release/signing.h"
#include "tools/pack/runtime/aot_cache.h"
#include "tools/pack/runtime/jdk_archive.h"
#include "tools/pack/runtime/runtime_maker.h"
#include "tools/pack/runtime/training_run.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

bool copyApp(const ImagePlan& p, const std::string& root, Reporter& reporter, std::string* err) {
  const fs::path app = fs::path(root) / "app";
  std::error_code code;
  if (fs::exists(fs::symlink_status(app, code))) {
    *err = "the runtime already has an app entry; the image keeps the application there";
    return false;
  }
  fs::create_directory(app, code);
  if (code) {
    *err = "cannot create " + app.string() + ": " + code.message();
    return false;
  }
  if (!copyAppContent(p.content, app.string(), err)) return false;
  fs::copy_file(p.bootstrapJar, app / "plenwick-bootstrap.jar", code);
  if (code) {
    *err = "cannot copy " + p.bootstrapJar + ": " + code.message();
    return false;
  }
  for (const std::string& line : manifestClassPathNotes(p.content)) reporter.warning(line);
  return true;
}

// The launcher packed for a training run first, which writes the archive,
// then packed for good.
bool packWithAppCds(const ImagePlan& p, Staging& staging, Reporter& reporter, std::string* err) {
  const std::string root = staging.imagePath();
  const std::string launcher = launcherPath(p, root);
  const TrainingRun run{"AppCDS: training run",
                        root,
                        p.launcherName,
                        p.trainingArguments,
                        "app/" + p.cacheFile,
                        root + "/app/" + p.cacheFile,
                        "it wrote no archive: the runtime writes it on the first start"};
  TrainingFolders folders;
  bool made = false;
  return makeTrainingFolders(staging.workPath(), &folders, err) &&
         writePackedLauncher(p.launcher, trainingLaunch(p.launch, folders), launcher, err) &&
         runTraining(run, folders, reporter, &made, err) &&
         writePackedLauncher(p.launcher, p.launch, launcher, err);
}

// The launcher packed three times: to record the training run, to make the
// cache from the record, and for good (without the cache when none was made).
bool packWithAot(const ImagePlan& p, Staging& staging, Reporter& reporter, std::string* err) {
  const std::string root = staging.imagePath();
  const std::string launcher = launcherPath(p, root);
  const std::string record = staging.workPath() + "/" + p.cacheFile + "conf";
  const std::string noCache = "the image gets no AOT cache";
  const TrainingRun training{
      "AOT cache: training run",        root, p.launcherName, p.trainingArguments, "", record,
      "it recorded nothing: " + noCache};
  const TrainingRun assembly{
      "AOT cache: assembly run",    root,    p.launcherName, {}, "app/" + p.cacheFile,
      root + "/app/" + p.cacheFile, noCache, false};
  TrainingFolders folders;
  bool recorded = false, made = false;
  if (!makeTrainingFolders(staging.workPath(), &folders, err) ||
      !writePackedLauncher(p.launcher, trainingLaunch(aotRecordLaunch(p.launch, record), folders),
                           launcher, err) ||
      !runTraining(training, folders, reporter, &recorded, err)) {
    return false;
  }
  if (recorded &&
      (!writePackedLauncher(p.launcher, trainingLaunch(aotCreateLaunch(p.launch, record), folders),
                            launcher, err) ||
       !runTraining(assembly, folders, reporter, &made, err))) {
    return false;
  }
  return writePackedLauncher(p.launcher, made ? p.launch : withoutAotCache(p.launch), launcher,
                             err);
}

// The launcher packed to list the classes the training run loads, then for
// good; the runtime's bin/java, kept for the archive, goes unless asked for.
bool packWithJdkArchive(const ImagePlan& p, Staging& staging, Reporter& reporter,
                        std::string* err) {
  const std::string root = staging.imagePath();
  const std::string launcher = launcherPath(p, root);
  const std::string list = staging.workPath() + "/classes.list";
  const TrainingRun run{"class cache: training run",
                        root,
                        p.launcherName,
                        p.trainingArguments,
                        "",
                        list,
                        "it listed no classes: the image keeps the runtime's own archive"};
  TrainingFolders folders;
  bool listed = false;
  const std::string java = (fs::path(root) / "bin" / "java").string();
  return makeTrainingFolders(staging.workPath(), &folders, err) &&
         writePackedLauncher(p.launcher, trainingLaunch(classListLaunch(p.launch, list), folders),
                             launcher, err) &&
         runTraining(run, folders, reporter, &listed, err) &&
         (!listed || replaceJdkArchive(root, list, reporter, err)) &&
         (p.runtime.keepJavaCommand || staging.remove(java, err)) &&
         writePackedLauncher(p.launcher, p.launch, launcher, err);
}

bool packLauncher(const ImagePlan& p, Staging& staging, Reporter& reporter, std::string* err) {
  if (p.cache == ClassCache::appCds) return packWithAppCds(p, staging, reporter, err);
  if (p.cache == ClassCache::aot) return packWithAot(p, staging, reporter, err);
  if (p.cache == ClassCache::jdk) return packWithJdkArchive(p, staging, reporter, err);
  return writePackedLauncher(p.launcher, p.launch, launcherPath(p, staging.imagePath()), err);
}

// Signing comes after packing: a signed launcher is never written again.
bool signLauncher(const ImagePlan& p, Staging& staging, Reporter& reporter, std::string* err) {
  if (!p.sign.given()) return true;
  Signer signer;
  const std::string exe = launcherPath(p, staging.imagePath());
  return prepareSigner(p.sign, staging.workPath(), false, reporter, &signer, err) &&
         signFile(&signer, exe, exe, p.description, 0755, reporter, err);
}

}  // namespace

bool buildImage(const ImagePlan& p, Staging& staging, Reporter& reporter, std::string* err) {
  for (const std::string& note : p.notes) reporter.note(note);
  const std::string root = staging.imagePath();
  return makeRuntime(p.runtime, p.content.jarFiles, staging, reporter, err) &&
         copyApp(p, root, reporter, err) && packLauncher(p, staging, reporter, err) &&
         signLauncher(p, staging, reporter, err) && writeImageMarker(root, err);
}

bool publishImage(const ImagePlan& p, Staging& staging, std::string* err) {
  return staging.commitImage(surroundingsOf(p.inputs), err);
}

bool makeImage(const ImagePlan& p, Reporter& reporter, std::string* err) {
  Staging staging;
  return staging.create(p.output, err) && buildImage(p, staging, reporter, err) &&
         publishImage(p, staging, err);
}

}  // namespace plenwick
