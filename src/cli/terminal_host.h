#pragma once
// galerion-cli's user: messages on stderr, questions on the terminal, a progress bar when
// stderr is a terminal and plain log lines otherwise.
#include "core/host/user_host.h"
#include "core/processing_log.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>

namespace galerion {

// The text as written to the file descriptor: control characters escaped when it is a terminal
// (names from the disk or the database may hold any), as it is otherwise.
std::string ForTerminal(const std::string& text, int fd, bool keepLineBreaks = false);

class TBusyState;

class TTerminalHost : public TUserHost, public TLogView {
public:
    TTerminalHost();

    // Ctrl-C presses Stop: the current picture finishes, then the work ends.
    void AttachBusyState(TBusyState* busy) { busy_ = busy; }
    static void InstallInterruptHandler();
    static bool Interrupted();

    void ShowError(const std::string& text) override;
    void ShowWarning(const std::string& text) override;
    void ShowInformation(const std::string& text) override;
    bool Confirm(const std::string& text) override;
    TExistingAlbumReply AskExistingAlbum(const std::string& foundMessage) override;
    void PumpMessages() override;
    void ReportProgress(const TRunProgress& progress) override;
    [[noreturn]] void ExitProgram(int code) override;

    void LineAdded(const TLogLine& line) override;

    // True when a question can be asked (stdin and stderr are terminals).
    bool CanAsk() const { return interactive_; }
    int ErrorsShown() const { return errorsShown_; }
    void FinishProgress();

private:
    void ClearProgressLine();
    void DrawProgress();
    std::string Ask(const std::string& prompt);
    void PassInterruptOn();

    bool interactive_;
    bool progressBar_;
    TBusyState* busy_ = nullptr;
    int errorsShown_ = 0;
    bool progressShown_ = false;
    bool runStarted_ = false;
    TRunProgress progress_;
    int picturesDone_ = 0;
    std::chrono::steady_clock::time_point started_;
};

}  // namespace galerion
