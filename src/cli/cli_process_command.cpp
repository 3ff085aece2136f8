// galerion-cli process: checks first, then preparation and the run (or, with --dry-run, what
// the run would do), then an honest summary.
#include "cli/cli_commands.h"
#include "cli/cli_session.h"
#include "core/model.h"
#include "core/settings_access.h"
#include "db/connection_string.h"
#include "db/query.h"
#include "db/statements.h"
#include "db/unit_of_work.h"
#include "platform/errors.h"
#include "platform/file_mask.h"
#include "platform/text.h"
#include "processing/album_preparation.h"
#include "processing/album_search.h"
#include "processing/album_selection.h"
#include "processing/busy_state.h"
#include "processing/output_names.h"
#include "processing/output_plan.h"
#include "processing/processing_run.h"
#include "processing/wizard_context.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <regex>

namespace galerion {
namespace {

// Values the run would only trip over half-way (a quality of 0 fails at the first file) are
// refused before anything is written.
void CheckRunSettings(const TSettings& s) {
    std::vector<std::string> names = {"ResizeMode"};
    if (s.ProcessLarge) names.push_back("JpegCompressionLarge");
    if (s.ProcessMedium)
        names.insert(names.end(), {"JpegCompressionMedium", "MediumWidth", "MediumHeight"});
    if (s.ProcessThumb)
        names.insert(names.end(), {"JpegCompressionThumb", "ThumbWidth", "ThumbHeight"});
    for (const std::string& name : names) {
        TSettings copy = s;
        try {
            SetSettingText(copy, name, GetSettingText(s, name));
        } catch (const Error& e) {
            throw TUsageError(std::string("setting ") + e.what() +
                              "; change it with 'settings set' or --set");
        }
    }
}

std::vector<std::string> AlbumFolders(TSession& s, const TCliOptions& o) {
    if (o.all) {
        ExistingMainDir(s.settings.MainDir);
        return SearchAlbums(s.settings.MainDir, ExcludedFolderNames(s.settings), &s.log);
    }
    std::vector<std::string> folders;
    for (const std::string& a : o.arguments) {
        const std::string folder = AbsoluteFolder(a);
        std::error_code ec;
        if (!std::filesystem::is_directory(folder, ec))
            throw TUsageError(
                "the album folder " + folder +
                (std::filesystem::exists(folder, ec) ? " is not a folder" : " does not exist"));
        folders.push_back(folder);
    }
    return folders;
}

bool IsSqlite(const std::string& connection) {
    const auto provider = ConnectionStringValue(connection, "Provider");
    return provider && AsciiLower(*provider) == "sqlite";
}

// A SQLite file that is not there yet; a server is taken to be there.
bool DatabaseMissing(const std::string& connection) {
    if (!IsSqlite(connection)) return false;
    const auto file = ConnectionStringValue(connection, "Data Source");
    std::error_code ec;
    return !file || !std::filesystem::exists(*file, ec);
}

// The SQLite file, or the connection string without its password.
std::string DescribeDatabase(const std::string& connection) {
    if (IsSqlite(connection)) {
        if (const auto file = ConnectionStringValue(connection, "Data Source")) return *file;
    }
    static const std::regex password("((password|pwd)\\s*=)[^;]*", std::regex::icase);
    return std::regex_replace(connection, password, "$1***");
}

std::vector<std::string> StoredAlbums(const TAlbumList& albums, const std::string& connection,
                                      TMessages& host) {
    std::vector<std::string> stored;
    RunUnitOfWork(host, [&] {
        const std::unique_ptr<TQuery> query = TQuery::Create(connection);
        for (int a = 0; a < albums.Count(); ++a) {
            query->SetText(FormatSql(sqlCountAlbumByPath, {SqlQuote(albums.Text(a))}));
            query->Open();
            if (query->FirstFieldAsInteger() != 0) stored.push_back(albums.Text(a));
            query->Close();
        }
    });
    return stored;
}

std::string Decision(int updateMode, bool canAsk) {
    switch (updateMode) {
        case 0:
            return canAsk ? "you would be asked (UpdateMode ask)"
                          : "needs --update-mode: UpdateMode is ask and there is no terminal";
        case 1: return "a second album would be inserted beside it (UpdateMode insert)";
        case 2: return "its rows would be updated (UpdateMode update)";
        case 3: return "it would be left alone (UpdateMode cancel)";
        default:
            return "it would be left alone (unknown UpdateMode " + std::to_string(updateMode) + ")";
    }
}

struct TDryRunCount {
    int pictures = 0, written = 0, kept = 0;
};

void AddAction(std::vector<std::string>& writes, std::vector<std::string>& keeps,
               TOutputAction action, const char* kind, TDryRunCount& count) {
    if (action == TOutputAction::Write) writes.push_back(kind), ++count.written;
    if (action == TOutputAction::Keep) keeps.push_back(kind), ++count.kept;
}

std::string Joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& w : words) text += (text.empty() ? "" : ", ") + w;
    return text;
}

void PrintPicturePlan(const TPictureItem& p, const TSettings& settings, TDryRunCount& count) {
    std::cout << "  " << LastPathComponent(p.OriginalFile) << ": ";
    if (p.IsDeleted) {
        std::cout << "excluded\n";
        return;
    }
    ++count.pictures;
    const TOutputPlan plan = PlanOutputs(p, settings);
    std::vector<std::string> writes, keeps;
    AddAction(writes, keeps, plan.large, "large", count);
    AddAction(writes, keeps, plan.medium, "medium", count);
    AddAction(writes, keeps, plan.thumb, "thumbnail", count);
    if (!writes.empty()) std::cout << "write " << Joined(writes);
    if (!writes.empty() && !keeps.empty()) std::cout << "; ";
    if (!keeps.empty()) std::cout << "keep " << Joined(keeps);
    if (writes.empty() && keeps.empty()) std::cout << "no output switched on";
    std::cout << '\n';
}

void PrintDryRun(const TWizardContext& c, const std::vector<std::string>& stored, bool canAsk,
                 bool databaseMissing) {
    std::cout << "Dry run: nothing is written, deleted or changed.\n";
    std::cout << "Database: " << DescribeDatabase(c.settings.DB)
              << (databaseMissing ? " (does not exist yet: no album is stored)" : "") << '\n';
    TDryRunCount count;
    for (int a = 0; a < c.albums.Count(); ++a) {
        const std::string& folder = c.albums.Text(a);
        const TAlbumItem& album = *c.albums.AlbumAt(a);
        const bool isStored = std::find(stored.begin(), stored.end(), folder) != stored.end();
        std::cout << "Album " << folder << " (" << album.PictureCount() << " picture(s)): "
                  << (isStored ? "stored; " + Decision(c.settings.UpdateMode, canAsk)
                               : std::string("not stored; it would be inserted"))
                  << '\n';
        for (int i = 0; i < album.PictureCount(); ++i)
            PrintPicturePlan(*album.PictureAt(i), c.settings, count);
    }
    if (!c.categoriesToCreate.empty())
        std::cout << "Categories that keywords would create: "
                  << ForTerminal(Joined(c.categoriesToCreate), STDOUT_FILENO) << '\n';
    std::cout << c.albums.Count() << " album(s), " << count.pictures
              << " picture(s): " << count.written << " file(s) would be written, " << count.kept
              << " kept.\n";
}

// An album that failed as a whole is listed without a picture.
int FailedAlbums(const TWizardContext& c) {
    return static_cast<int>(std::count_if(c.failures.begin(), c.failures.end(),
                                          [](const TPictureFailure& f) { return !f.picture; }));
}

void PrintSummary(const TWizardContext& c, bool stopped) {
    const TRunTally& t = c.tally;
    const int failedPictures = static_cast<int>(c.failures.size()) - FailedAlbums(c);
    const int failedAlbums = FailedAlbums(c) + static_cast<int>(t.databaseFailures.size());
    std::cout << "Albums: " << t.albumsWritten << " written, " << t.albumsSkipped << " skipped, "
              << failedAlbums << " failed";
    if (stopped)
        std::cout << ", " << c.albums.Count() - t.albumsWritten - t.albumsSkipped - failedAlbums
                  << " not finished (stopped)";
    std::cout << ".\nPictures: " << t.picturesWritten << " written, " << t.picturesUnchanged
              << " unchanged, " << failedPictures << " failed.\n";
    for (const TPictureFailure& f : c.failures)
        std::cout << (f.picture ? "  failed: " : "  failed album: ")
                  << ForTerminal(f.path + ": " + f.reason, STDOUT_FILENO) << '\n';
    for (const std::string& folder : t.databaseFailures)
        std::cout << "  failed album: " << ForTerminal(folder, STDOUT_FILENO)
                  << ": the database refused its rows (its message is above)\n";
    std::cout << "Database: " << DescribeDatabase(c.settings.DB) << '\n';
}

void Prepare(TWizardContext& c) {
    TBusyScope scope(c.busy);
    for (int a = 0; a < c.albums.Count() && !c.busy.StopFlag(); ++a) PrepareAlbum(c, a);
}

}  // namespace

int RunProcessCommand(TSession& s, const TCliOptions& o) {
    CheckRunSettings(s.settings);
    TAlbumList albums;
    if (!BuildAlbumList(albums, AlbumFolders(s, o), s.host)) return kExitFailed;
    TBusyState busy(s.host);
    s.host.AttachBusyState(&busy);
    TTerminalHost::InstallInterruptHandler();
    TWizardContext c{albums, s.settings, s.log, s.host, busy};
    c.makeWorkingThumbnails = false;
    c.linksStayInAlbum = !o.all;
    c.continueAfterAlbumFailure = true;
    c.listFailuresAtEnd = false;  // the summary lists each failure once

    const bool databaseMissing = o.dryRun && DatabaseMissing(s.settings.DB);
    c.readDatabase = !databaseMissing;
    c.createCategories = !o.dryRun;
    if (!databaseMissing && !CheckDatabase(s.settings.DB, s.host)) return kExitFailed;
    const std::vector<std::string> stored =
        databaseMissing ? std::vector<std::string>{} : StoredAlbums(albums, s.settings.DB, s.host);
    if (!o.dryRun && s.settings.UpdateMode == 0 && !stored.empty() && !s.host.CanAsk()) {
        std::string names;
        for (const std::string& folder : stored) names += "\n  " + folder;
        throw TUsageError(
            "these albums are already in the database and UpdateMode is ask, but "
            "there is no terminal to ask: pass --update-mode insert, update or "
            "cancel" +
            names);
    }

    Prepare(c);
    if (o.dryRun && !busy.StopFlag()) {
        s.host.FinishProgress();
        PrintDryRun(c, stored, s.host.CanAsk(), databaseMissing);
        return s.host.ErrorsShown() == 0 ? kExitOk : kExitFailed;
    }
    TRunOutcome outcome = TRunOutcome::Stopped;
    if (!busy.StopFlag()) outcome = StartProcessing(c);
    s.host.FinishProgress();
    const bool stopped = outcome == TRunOutcome::Stopped;
    PrintSummary(c, stopped);
    if (stopped) {
        std::cout << kOperationCancelled << '\n';
        return kExitStopped;
    }
    const bool clean =
        c.failures.empty() && c.tally.databaseFailures.empty() && s.host.ErrorsShown() == 0;
    return clean ? kExitOk : kExitFailed;
}

}  // namespace galerion
