// The packer's exit codes: 0 ok, 1 failed, 2 wrong usage.
#pragma once

namespace plenwick {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

}  // namespace plenwick
