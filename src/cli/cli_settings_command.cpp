// galerion-cli settings: list, get and set by name.
#include "cli/cli_commands.h"
#include "cli/cli_session.h"
#include "core/settings_access.h"
#include "core/settings_persistence.h"
#include "platform/errors.h"
#include "platform/file_mask.h"
#include "platform/text.h"

#include <unistd.h>

#include <filesystem>
#include <iostream>

namespace galerion {
namespace {

void List(const TSettings& settings) {
    for (const std::string& name : SettingNames()) {
        std::cout << name << '=' << ForTerminal(GetSettingText(settings, name), STDOUT_FILENO);
        const std::string valueName = SettingValueName(settings, name);
        if (!valueName.empty()) std::cout << " (" << valueName << ')';
        std::cout << "\n    " << SettingMeaning(name) << "; allowed: " << AllowedSettingValues(name)
                  << '\n';
    }
}

// A stored box size only lasts with its group on Custom: a preset would replace it at the
// next load. Whoever sets a size means that size.
void SelectCustomSizeFor(const std::string& name, TSettings& settings) {
    const std::string lower = AsciiLower(name);
    if (lower == "mediumwidth" || lower == "mediumheight")
        SetSettingText(settings, "MediumSize", "3");
    if (lower == "thumbwidth" || lower == "thumbheight") SetSettingText(settings, "ThumbSize", "3");
}

int Set(TSession& s, const std::string& assignment) {
    auto [name, value] = SplitAssignment(assignment);
    const bool mainDir = AsciiLower(name) == "maindir";
    if (mainDir) value = MainDirMask(value);
    try {
        TSettings changed = s.stored;
        SetSettingText(changed, name, value);
        SelectCustomSizeFor(name, changed);
        s.stored = changed;
    } catch (const Error& e) {
        throw TUsageError(e.what());
    }
    if (!SaveToRegistry(s.stored, *s.store, s.log)) {
        s.host.ShowError("The settings could not be saved to '" + s.store->FilePath() + "'.");
        return kExitFailed;
    }
    std::cout << name << '=' << ForTerminal(GetSettingText(s.stored, name), STDOUT_FILENO);
    const std::string valueName = SettingValueName(s.stored, name);
    if (!valueName.empty()) std::cout << " (" << valueName << ')';
    std::cout << '\n';
    if (mainDir) {
        std::string folder = SplitMask(value).folder;
        if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        std::cout << "The main directory is " << folder << ", searched with the mask "
                  << SplitMask(value).pattern << ".\n";
        std::error_code ec;
        if (!std::filesystem::is_directory(folder, ec))
            s.host.ShowWarning(folder +
                               " does not exist yet; albums and process will refuse it "
                               "until it does.");
    }
    return s.host.ErrorsShown() == 0 ? kExitOk : kExitFailed;
}

}  // namespace

int RunSettingsCommand(TSession& s, const TCliOptions& o) {
    const std::string verb = o.arguments.empty() ? "list" : o.arguments[0];
    if (verb == "list") {
        List(s.settings);
        return kExitOk;
    }
    if (verb == "get") {
        std::cout << ForTerminal(GetSettingText(s.settings, o.arguments[1]), STDOUT_FILENO) << '\n';
        return kExitOk;
    }
    return Set(s, o.arguments[1]);
}

}  // namespace galerion
