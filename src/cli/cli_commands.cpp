#include "cli/cli_commands.h"

#include "cli/terminal_host.h"
#include "core/model.h"
#include "core/processing_log.h"
#include "core/settings.h"
#include "core/settings_access.h"
#include "core/settings_defaults.h"
#include "core/settings_persistence.h"
#include "db/table_script.h"
#include "platform/errors.h"
#include "platform/file_mask.h"
#include "platform/text.h"
#include "platform/program_paths.h"
#include "platform/settings_store.h"
#include "processing/album_preparation.h"
#include "processing/album_search.h"
#include "processing/album_selection.h"
#include "processing/busy_state.h"
#include "processing/processing_run.h"
#include "processing/wizard_context.h"

#include <filesystem>
#include <iostream>

namespace galerion {
namespace {

// The CLI knows no screen: the window placement is loaded unclamped by a very large one, and
// written back as it was stored.
constexpr int kNoScreen = 1 << 30;

struct TSession {
    TTerminalHost host;
    TProcessingLog log;
    TSettings settings = DefaultSettings();  // for this run, --set and --db applied
    TSettings stored;                        // as the store holds them
    std::unique_ptr<TSettingsStore> store;
};

std::string AbsoluteFolder(const std::string& path) {
    std::string folder = std::filesystem::absolute(path).lexically_normal().string();
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

// A folder names the main directory with "*.*"; a text with a mask stays as it is.
std::string MainDirMask(const std::string& argument) {
    const std::string pattern = SplitMask(argument).pattern;
    if (pattern.find_first_of("*?") != std::string::npos) return argument;
    return AbsoluteFolder(argument) + "/*.*";
}

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

void OpenSettings(TSession& s, const TCliOptions& o) {
    const std::string path = o.settingsFile ? *o.settingsFile : TSettingsStore::DefaultFilePath();
    s.store = std::make_unique<TSettingsStore>(path);
    TProcessingLog quiet;  // the load's own progress lines are not the user's business here
    quiet.ApplyLogSwitches(true, false, false);
    quiet.SetView(&s.host);
    LoadFromRegistry(s.settings, *s.store, quiet, kNoScreen, kNoScreen);
    s.stored = s.settings;
    KeepStoredPlacement(s.stored, *s.store);
    for (const auto& [name, value] : o.overrides) SetSettingText(s.settings, name, value);
    if (o.database) s.settings.DB = ConnectionFromArgument(*o.database);
    if (o.updateMode) s.settings.UpdateMode = *o.updateMode;
    RebuildPictureExtensions(s.settings);
    ApplyLogSwitches(s.settings, s.log);
    if (o.quiet) s.log.ApplyLogSwitches(true, false, false);
    if (o.verbose) s.log.ApplyLogSwitches(true, true, true);
    s.log.SetView(&s.host);
}

int RunAlbums(TSession& s, const TCliOptions& o) {
    const std::string mask = o.arguments.empty() ? s.settings.MainDir : MainDirMask(o.arguments[0]);
    for (const std::string& folder : SearchAlbums(mask, ExcludedFolderNames(s.settings), &s.log))
        std::cout << folder << '\n';
    return kExitOk;
}

std::vector<std::string> AlbumsToProcess(TSession& s, const TCliOptions& o) {
    if (o.all) return SearchAlbums(s.settings.MainDir, ExcludedFolderNames(s.settings), &s.log);
    std::vector<std::string> folders;
    for (const std::string& a : o.arguments) {
        const std::string folder = AbsoluteFolder(a);
        if (!std::filesystem::is_directory(folder))
            throw TUsageError("'" + a + "' is not a folder");
        folders.push_back(folder);
    }
    return folders;
}

void PrintSummary(const TWizardContext& c, const TTerminalHost& host) {
    int pictures = 0;
    for (int a = 0; a < c.albums.Count(); ++a) pictures += c.albums.AlbumAt(a)->PictureCount();
    std::cout << "Processed " << c.albums.PreparedCount() << " album(s), " << pictures
              << " picture(s); " << c.failures.size() << " picture(s) failed";
    if (host.ErrorsShown() > 0) std::cout << ", " << host.ErrorsShown() << " error(s)";
    std::cout << ".\n";
    for (const TPictureFailure& f : c.failures)
        std::cout << "  failed: " << f.path << ": " << f.reason << '\n';
}

int RunProcess(TSession& s, const TCliOptions& o) {
    if (s.settings.UpdateMode == 0 && !s.host.CanAsk())
        throw TUsageError(
            "albums already in the database need a decision, and there is no terminal to ask: "
            "pass --update-mode insert, update or cancel");
    TAlbumList albums;
    TBusyState busy(s.host);
    s.host.AttachBusyState(&busy);
    TTerminalHost::InstallInterruptHandler();
    TWizardContext c{albums, s.settings, s.log, s.host, busy};
    c.makeWorkingThumbnails = false;
    c.linksStayInAlbum = !o.all;
    if (!BuildAlbumList(albums, AlbumsToProcess(s, o), s.host)) return kExitFailed;
    if (!CheckDatabase(s.settings.DB, s.host)) return kExitFailed;
    {
        TBusyScope scope(busy);
        for (int a = 0; a < albums.Count() && !busy.StopFlag(); ++a) PrepareAlbum(c, a);
    }
    TRunOutcome outcome = TRunOutcome::Stopped;
    if (!busy.StopFlag()) outcome = StartProcessing(c);
    s.host.FinishProgress();
    PrintSummary(c, s.host);
    if (outcome == TRunOutcome::Stopped) {
        std::cout << kOperationCancelled << '\n';
        return kExitStopped;
    }
    return (c.failures.empty() && s.host.ErrorsShown() == 0) ? kExitOk : kExitFailed;
}

int RunInitDb(TSession& s, const TCliOptions& o) {
    const std::string connection =
        o.arguments.empty() ? s.settings.DB : ConnectionFromArgument(o.arguments[0]);
    CreateTablesFromScript(connection, s.host);
    return s.host.ErrorsShown() == 0 ? kExitOk : kExitFailed;
}

// A stored box size only lasts with its group on Custom: a preset would replace it at the
// next load. Whoever sets a size means that size.
void SelectCustomSizeFor(const std::string& name, TSettings& settings) {
    const std::string lower = AsciiLower(name);
    if (lower == "mediumwidth" || lower == "mediumheight") SetSettingText(settings, "MediumSize", "3");
    if (lower == "thumbwidth" || lower == "thumbheight") SetSettingText(settings, "ThumbSize", "3");
}

int RunSettings(TSession& s, const TCliOptions& o) {
    const std::string verb = o.arguments.empty() ? "list" : o.arguments[0];
    if (verb == "list") {
        for (const std::string& name : SettingNames())
            std::cout << name << '=' << GetSettingText(s.settings, name) << '\n';
    } else if (verb == "get") {
        std::cout << GetSettingText(s.settings, o.arguments[1]) << '\n';
    } else {
        const auto [name, value] = SplitAssignment(o.arguments[1]);
        SelectCustomSizeFor(name, s.stored);
        SetSettingText(s.stored, name, value);
        SaveToRegistry(s.stored, *s.store, s.log);
        std::cout << name << '=' << GetSettingText(s.stored, name) << '\n';
    }
    return kExitOk;
}

}  // namespace

int RunCli(const TCliOptions& o) {
    if (o.command == TCliCommand::Help) {
        std::cout << kCliUsage;
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
            case TCliCommand::Process: return RunProcess(s, o);
            case TCliCommand::InitDb: return RunInitDb(s, o);
            case TCliCommand::Settings: return RunSettings(s, o);
            default: return kExitUsage;
        }
    } catch (const TUsageError&) {
        throw;
    } catch (const std::exception& e) {
        s.host.FinishProgress();
        s.host.ShowError(e.what());
        return kExitFailed;
    }
}

}  // namespace galerion
