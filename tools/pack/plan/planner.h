// The state of one planning: the settings read, the plan being made, and
// where the values that the planning itself chose came from (for messages).
#pragma once

#include <map>
#include <string>

#include "tools/pack/app/app_settings.h"
#include "tools/pack/plan/image_plan.h"

namespace plenwick {

struct Planner {
  const AppSettings& settings;
  ImagePlan& plan;
  std::string* err;
  std::map<std::string, std::string> origin;  // "mainClass": "the Main-Class in the manifest ..."

  std::string where(const std::string& key) const {
    auto found = origin.find(key);
    return found != origin.end() ? found->second : settings.where(key);
  }
  // Sets the message, naming where `key` came from; returns false.
  bool fail(const std::string& key, const std::string& problem) {
    *err = where(key) + ": " + problem;
    return false;
  }
};

}  // namespace plenwick
