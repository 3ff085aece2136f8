#pragma once
// A host that plays every role with scripted answers and records what it was asked to show.
#include "core/host/user_host.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace galerion::test {

// Thrown by TScriptedHost::ExitProgram so that a test can see the exit code.
struct TProgramExit {
    int code;
};

class TScriptedHost : public TUserHost {
public:
    std::vector<std::string> errors, warnings, infos, confirms, questions, statuses;
    std::deque<bool> confirmAnswers;               // empty: Yes
    std::deque<TExistingAlbumReply> albumAnswers;  // empty: Cancel
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

}  // namespace galerion::test
