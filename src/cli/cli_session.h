#pragma once
// What every command of galerion-cli works on: the terminal, the log, the settings for this run
// and as stored, and the store itself.
#include "cli/cli_options.h"
#include "cli/terminal_host.h"
#include "core/processing_log.h"
#include "core/settings.h"
#include "platform/settings_store.h"

#include <memory>
#include <string>

namespace galerion {

struct TSession {
    TTerminalHost host;
    TProcessingLog log;
    TSettings settings;  // for this run: --set, --db and --update-mode applied
    TSettings stored;    // as the store holds them
    std::unique_ptr<TSettingsStore> store;
    // Held from the read to the write of `settings set`, so that two at once lose nothing.
    std::unique_ptr<TSettingsStore::TUpdateLock> updateLock;
};

// Loads the settings and applies the options of this run; a --set value the setting does not
// allow is a usage error.
void OpenSettings(TSession& session, const TCliOptions& options);

// The full path of a folder argument, without a trailing '/'.
std::string AbsoluteFolder(const std::string& path);

// A folder argument as a main directory mask: a folder gets "/*.*", a text whose last part
// holds '*' or '?' stays a mask.
std::string MainDirMask(const std::string& argument);

// The folder part of a main directory mask; TUsageError naming it when it is not a folder.
std::string ExistingMainDir(const std::string& mask);

int RunSettingsCommand(TSession& session, const TCliOptions& options);
int RunProcessCommand(TSession& session, const TCliOptions& options);

}  // namespace galerion
