#include "cli/terminal_host.h"

#include "core/log_messages.h"
#include "platform/text.h"
#include "processing/busy_state.h"
#include "processing/output_names.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <ctime>
#include <iostream>

namespace galerion {
namespace {

// Monotonic time of the first Ctrl-C in nanoseconds, 0 before it. Lock-free, so the signal
// handler may touch it.
std::atomic<long long> firstInterrupt{0};
static_assert(std::atomic<long long>::is_always_lock_free);

constexpr long long kSecond = 1'000'000'000;

extern "C" void OnInterrupt(int) {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);  // async-signal-safe
    const long long at = static_cast<long long>(now.tv_sec) * kSecond + now.tv_nsec + 1;
    long long first = 0;
    if (firstInterrupt.compare_exchange_strong(first, at)) return;
    // A second Ctrl-C ends at once, as users expect of a command that did not stop in time;
    // one within a second of the first is taken as the same impatient press.
    if (at - first >= kSecond) std::_Exit(130);
}

// Message texts carry Windows line breaks; the terminal wants plain ones.
std::string OneLine(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\r') out += c;
    return out;
}

const char* Prefix(int level) {
    if (level == msg::kLevelError) return "error: ";
    if (level >= 1 && level <= 9 && level != 3 && level != 4) return "warning: ";
    return "";
}

}  // namespace

std::string ForTerminal(const std::string& text, int fd, bool keepLineBreaks) {
    return ::isatty(fd) ? EscapeControlCharacters(text, keepLineBreaks) : text;
}

TTerminalHost::TTerminalHost()
    : interactive_(::isatty(STDIN_FILENO) && ::isatty(STDERR_FILENO)),
      progressBar_(::isatty(STDERR_FILENO)),
      started_(std::chrono::steady_clock::now()) {}

void TTerminalHost::InstallInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

bool TTerminalHost::Interrupted() { return firstInterrupt.load() != 0; }

void TTerminalHost::ShowError(const std::string& text) {
    ClearProgressLine();
    ++errorsShown_;
    std::cerr << "error: " << ForTerminal(OneLine(text), STDERR_FILENO, true) << std::endl;
}

void TTerminalHost::ShowWarning(const std::string& text) {
    ClearProgressLine();
    std::cerr << "warning: " << ForTerminal(OneLine(text), STDERR_FILENO, true) << std::endl;
}

void TTerminalHost::ShowInformation(const std::string& text) {
    ClearProgressLine();
    std::cout << ForTerminal(OneLine(text), STDOUT_FILENO, true) << std::endl;
}

std::string TTerminalHost::Ask(const std::string& prompt) {
    ClearProgressLine();
    std::cerr << prompt << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer)) return {};
    return answer;
}

bool TTerminalHost::Confirm(const std::string& text) {
    // Ctrl-C is the Stop button itself: no second question.
    if (text == kStopQuestion) return true;
    if (!interactive_) return false;
    const std::string answer = Ask(OneLine(text) + " [y/N] ");
    return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

TExistingAlbumReply TTerminalHost::AskExistingAlbum(const std::string& foundMessage) {
    TExistingAlbumReply reply;  // Cancel, as Escape and the close box answer
    if (!interactive_) return reply;
    const std::string answer = Ask(
        foundMessage +
        "\n  i - Insert: a new album will be added to the database with all the selected pictures."
        "\n  u - Update: existing records will be updated, new pictures (if any) will be added."
        "\n  c - Cancel: will not cause any changes in the database."
        "\nAdd ! to use the answer for every further album (for example u!). [i/u/C] ");
    if (!answer.empty() && (answer[0] == 'i' || answer[0] == 'I'))
        reply.answer = TExistingAlbumAnswer::Insert;
    else if (!answer.empty() && (answer[0] == 'u' || answer[0] == 'U'))
        reply.answer = TExistingAlbumAnswer::Update;
    reply.always = answer.find('!') != std::string::npos;
    return reply;
}

void TTerminalHost::PassInterruptOn() {
    if (busy_ && Interrupted() && !busy_->StopFlag()) busy_->RequestStop();
}

// During the run Ctrl-C takes effect only between pictures, so that the picture under way gets
// all of its files; before it (preparation) at once.
void TTerminalHost::PumpMessages() {
    if (!runStarted_) PassInterruptOn();
}

void TTerminalHost::ReportProgress(const TRunProgress& progress) {
    runStarted_ = true;
    PassInterruptOn();
    if (progress.picture > 0) ++picturesDone_;
    progress_ = progress;
    DrawProgress();
}

void TTerminalHost::DrawProgress() {
    if (!progressBar_ || progress_.albumCount == 0) return;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    const int width = 24;
    const int filled =
        progress_.pictureCount ? width * progress_.picture / progress_.pictureCount : width;
    char rate[32];
    std::snprintf(rate, sizeof rate, "%.1f", seconds > 0 ? picturesDone_ / seconds : 0.0);
    std::cerr << "\r\033[K[" << std::string(static_cast<size_t>(filled), '#')
              << std::string(static_cast<size_t>(width - filled), '.') << "] album "
              << progress_.albumNumber << "/" << progress_.albumCount << " "
              << ForTerminal(LastPathComponent(progress_.album), STDERR_FILENO) << ": picture "
              << progress_.picture << " of " << progress_.pictureCount << ", " << rate
              << " photos/s" << std::flush;
    progressShown_ = true;
}

void TTerminalHost::ClearProgressLine() {
    if (!progressShown_) return;
    std::cerr << "\r\033[K" << std::flush;
    progressShown_ = false;
}

void TTerminalHost::FinishProgress() { ClearProgressLine(); }

void TTerminalHost::LineAdded(const TLogLine& line) {
    const bool redraw = progressShown_;
    ClearProgressLine();
    // Errors and warnings to standard error, the rest to standard output.
    const char* prefix = Prefix(line.mark.imageIndex);
    const bool toErrors = *prefix != '\0';
    std::ostream& out = toErrors ? std::cerr : std::cout;
    out << prefix << ForTerminal(line.text, toErrors ? STDERR_FILENO : STDOUT_FILENO) << std::endl;
    if (redraw) DrawProgress();
}

void TTerminalHost::ExitProgram(int code) {
    ClearProgressLine();
    std::cout.flush();
    std::exit(code);
}

}  // namespace galerion
