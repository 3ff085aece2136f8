#include "cli/cli_commands.h"

#include "cli/cli_session.h"
#include "core/settings_access.h"
#include "core/settings_defaults.h"
#include "core/settings_persistence.h"
#include "db/table_script.h"
#include "platform/errors.h"
#include "platform/file_mask.h"
#include "platform/program_paths.h"
#include "platform/text.h"
#include "processing/album_search.h"

#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <stdexcept>

namespace galerion {
namespace {

// The CLI knows no screen: the window placement is loaded unclamped by a very large one, and
// written back as it was stored.
constexpr int kNoScreen = 1 << 30;

void KeepStoredPlacement(TSettings& settings, TSettingsStore& store) {
    if (!store.OpenKey(kProgramKey, false)) return;
    try {
        settings.Top = ReadStoredInteger(store, kPositionSection, "Top", settings.Top);
        settings.Left = ReadStoredInteger(store, kPositionSection, "Left", settings.Left);
        settings.Width = ReadStoredInteger(store, kPositionSection, "Width", settings.Width);
        settings.Heigth = ReadStoredInteger(store, kPositionSection, "Heigth", settings.Heigth);
    } catch (const Error&) {
        // an unreadable placement is the load's business; it was logged there
    }
    store.CloseKey();
}

class TSettingsRefusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

bool ChangesSettings(const TCliOptions& o) {
    return o.command == TCliCommand::Settings && !o.arguments.empty() && o.arguments[0] == "set";
}

// A settings path that is no regular file, or a file that cannot be read, ends the command
// here: the load itself only logs its errors, and defaults would stand in for the user's values.
void CheckSettingsFile(TSettingsStore& store) {
    store.OpenKey(kProgramKey, false);
    store.CloseKey();
}

// Lines of the settings file that could not be read would be lost by a save, and a run would go
// on without their values: both need --force.
void RefuseAfterLoadProblem(const TSettingsStore& store, const TCliOptions& o) {
    if (store.LoadProblem().empty() || o.force) return;
    if (o.command != TCliCommand::Process && !ChangesSettings(o)) return;
    throw TSettingsRefusal(store.LoadProblem() +
                           ". Nothing was done; pass --force to go on without that line "
                           "(a save keeps the file as it is now beside itself as .broken)");
}

int RunAlbums(TSession& s, const TCliOptions& o) {
    const std::string mask = o.arguments.empty() ? s.settings.MainDir : MainDirMask(o.arguments[0]);
    ExistingMainDir(mask);
    for (const std::string& folder : SearchAlbums(mask, ExcludedFolderNames(s.settings), &s.log))
        std::cout << ForTerminal(folder, STDOUT_FILENO) << '\n';
    return kExitOk;
}

int RunInitDb(TSession& s, const TCliOptions& o) {
    const std::string connection =
        o.arguments.empty() ? s.settings.DB : ConnectionFromArgument(o.arguments[0]);
    if (ProgramTablesExist(connection)) {
        std::cout << "The tables already exist; nothing was changed.\n";
        return kExitOk;
    }
    CreateTablesFromScript(connection, s.host);
    return s.host.ErrorsShown() == 0 ? kExitOk : kExitFailed;
}

}  // namespace

std::string AbsoluteFolder(const std::string& path) {
    std::string folder = std::filesystem::absolute(path).lexically_normal().string();
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

std::string MainDirMask(const std::string& argument) {
    const std::string pattern = SplitMask(argument).pattern;
    if (pattern.find_first_of("*?") != std::string::npos) return argument;
    return AbsoluteFolder(argument) + "/*.*";
}

std::string ExistingMainDir(const std::string& mask) {
    std::string folder = SplitMask(mask).folder;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    std::error_code ec;
    if (folder.empty() || !std::filesystem::is_directory(folder, ec)) {
        const bool exists = !folder.empty() && std::filesystem::exists(folder, ec);
        throw TUsageError("the main directory " + (folder.empty() ? mask : folder) +
                          (exists ? " is not a folder" : " does not exist") +
                          " (MainDir setting, or the folder given)");
    }
    return folder;
}

void OpenSettings(TSession& s, const TCliOptions& o) {
    const std::string path = o.settingsFile ? *o.settingsFile : TSettingsStore::DefaultFilePath();
    s.store = std::make_unique<TSettingsStore>(path);
    if (ChangesSettings(o)) s.updateLock = std::make_unique<TSettingsStore::TUpdateLock>(*s.store);
    CheckSettingsFile(*s.store);
    // Without a settings file every default applies, exactly as a load would give them; the
    // load would also create the file, and a command that only reads creates nothing.
    std::error_code ec;
    s.settings = DefaultSettings();  // what a load that stops early leaves in place
    if (std::filesystem::exists(path, ec)) {
        TProcessingLog quiet;  // the load's own progress lines are not the user's business here
        quiet.ApplyLogSwitches(true, false, false);
        quiet.SetView(&s.host);
        LoadFromRegistry(s.settings, *s.store, quiet, kNoScreen, kNoScreen);
    }
    s.stored = s.settings;
    KeepStoredPlacement(s.stored, *s.store);
    RefuseAfterLoadProblem(*s.store, o);
    for (const auto& [name, value] : o.overrides) {
        try {
            const bool mainDir = AsciiLower(name) == "maindir";
            SetSettingText(s.settings, name, mainDir ? MainDirMask(value) : value);
        } catch (const Error& e) {
            throw TUsageError(std::string("--set: ") + e.what());
        }
    }
    if (o.database) s.settings.DB = ConnectionFromArgument(*o.database);
    if (o.updateMode) s.settings.UpdateMode = *o.updateMode;
    if (o.incremental) s.settings.RecreateChanged = true;
    RebuildPictureExtensions(s.settings);
    ApplyLogSwitches(s.settings, s.log);
    if (o.quiet) s.log.ApplyLogSwitches(true, false, false);
    if (o.verbose) s.log.ApplyLogSwitches(true, true, true);
    s.log.SetView(&s.host);
}

int RunCli(const TCliOptions& o) {
    if (o.command == TCliCommand::Help) {
        std::cout << CommandHelp(o.helpTopic);
        return kExitOk;
    }
    if (o.command == TCliCommand::Version) {
        std::cout << "galerion-cli " GALERION_VERSION "\n";
        return kExitOk;
    }
    TSession s;
    try {
        OpenSettings(s, o);
        switch (o.command) {
            case TCliCommand::Albums: return RunAlbums(s, o);
            case TCliCommand::Process: return RunProcessCommand(s, o);
            case TCliCommand::InitDb: return RunInitDb(s, o);
            case TCliCommand::Settings: return RunSettingsCommand(s, o);
            default: return kExitUsage;
        }
    } catch (const TUsageError&) {
        s.host.FinishProgress();
        throw;
    } catch (const std::exception& e) {
        s.host.FinishProgress();
        s.host.ShowError(e.what());
        return kExitFailed;
    }
}

}  // namespace galerion
