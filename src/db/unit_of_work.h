#pragma once
// A unit of work: one database operation with its own query objects, its errors shown to the
// user and the program's end when the data-access layer cannot be used at all.
#include "core/host/messages.h"

#include <functional>
#include <string>

namespace galerion {

inline constexpr int kMissingComponentsExitCode = 77;

// The fixed text shown before the program ends with exit code 77.
std::string MissingComponentsMessage(const std::string& actualError);

// Runs `work`. MissingComponentsError: the message above, then host.ExitProgram(77). Any other
// error: its own message in an error box. True when the work ran to its end.
bool RunUnitOfWork(TMessages& host, const std::function<void()>& work);

}  // namespace galerion
