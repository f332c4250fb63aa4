// The launch settings for the two runs of the packed launcher that make an
// AOT cache with the image's own runtime: one records what the application
// loads and links, the other writes the cache from that record. JDK 25's
// one-step form would start bin/java, which a jlinked runtime may lack.
#pragma once

#include <string>

#include "config/launch_config.h"

namespace plenwick {

// The option that uses the cache `file` in app/, wherever the image is.
std::string aotCacheOption(const std::string& file);

// `launch` (which holds aotCacheOption()) for the run that writes the record
// `configuration`, and for the run that makes the cache from it.
LaunchConfig aotRecordLaunch(LaunchConfig launch, const std::string& configuration);
LaunchConfig aotCreateLaunch(LaunchConfig launch, const std::string& configuration);

// `launch` without the cache, for an image that got none.
LaunchConfig withoutAotCache(LaunchConfig launch);

}  // namespace plenwick
