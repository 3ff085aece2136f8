#pragma once
// Shared fixtures of the processing tests: a fresh folder per test, tiny real JPEG photos, a
// real SQLite database made by the shipped table script, and a host with scripted answers.
#include "core/model.h"
#include "core/processing_log.h"
#include "core/settings.h"
#include "core/host/user_host.h"
#include "processing/busy_state.h"
#include "processing/wizard_context.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace galerion::test {

class TScriptedHost : public TUserHost {
public:
    std::vector<std::string> errors, warnings, infos, confirms, questions, statuses;
    std::deque<bool> confirmAnswers;                 // empty: Yes
    std::deque<TExistingAlbumReply> albumAnswers;    // empty: Cancel
    int progressMax = 0, progressPosition = 0, maxPositionSeen = 0;
    // Called at every PumpMessages (the stop checks let the window run).
    std::function<void()> onPump;

    void ShowError(const std::string& t) override { errors.push_back(t); }
    void ShowWarning(const std::string& t) override { warnings.push_back(t); }
    void ShowInformation(const std::string& t) override { infos.push_back(t); }
    bool Confirm(const std::string& t) override;
    TExistingAlbumReply AskExistingAlbum(const std::string& found) override;
    void SetStatusText(const std::string& t) override { statuses.push_back(t); }
    void SetProgressMax(int m) override { progressMax = m; }
    void SetProgressPosition(int p) override;
    void PumpMessages() override {
        if (onPump) onPump();
    }
    [[noreturn]] void ExitProgram(int code) override;
};

// Thrown by TScriptedHost::ExitProgram so that a test can see the exit code.
struct TProgramExit {
    int code;
};

// A fresh folder below the test temp dir, removed at the end of the test.
class TTempFolder {
public:
    TTempFolder();
    ~TTempFolder();
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// A baseline JPEG of w x h pixels with a gradient (so turns and crops are visible).
void WriteJpeg(const std::string& path, int width, int height);
void WriteText(const std::string& path, const std::string& text);
void MakeFolder(const std::string& path);

// A new SQLite database with the shipped tables; returns its connection string.
std::string CreateDatabase(const std::string& file);
// Runs a statement; returns the named column of every row as text ("" for NULL).
std::vector<std::string> Column(const std::string& connection, const std::string& sql,
                                const std::string& column);
int Count(const std::string& connection, const std::string& sql);
void Exec(const std::string& connection, const std::string& sql);

// The wizard's pieces with test defaults: all three outputs on, all log levels shown.
struct TWizardFixture {
    TTempFolder root;
    TScriptedHost host;
    TProcessingLog log;
    TSettings settings;
    TAlbumList albums;
    TBusyState busy{host};
    TWizardContext context{albums, settings, log, host, busy};
    std::string connection;

    TWizardFixture();
    // Adds the folders as albums and prepares every one of them (inside the busy state).
    void PrepareAll(const std::vector<std::string>& folders);
    // Texts of the log lines, in order.
    std::vector<std::string> LogTexts() const;
    bool Logged(const std::string& text) const;
};

}  // namespace galerion::test
