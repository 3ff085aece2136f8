#pragma once
// The commands of galerion-cli; each returns the process exit status.
#include "cli/cli_options.h"

namespace galerion {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitMissingComponents = 77;
inline constexpr int kExitStopped = 130;

int RunCli(const TCliOptions& options);

}  // namespace galerion
