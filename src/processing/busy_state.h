#pragma once
// The busy state shared by preparation and the processing run, with its stop request.
#include <atomic>

namespace galerion {

class TBusyDisplay;

inline constexpr const char* kOperationCancelled = "Operation was cancelled.";

class TBusyState {
public:
    explicit TBusyState(TBusyDisplay& host) : host_(host) {}

    void BeginBusy();
    void EndBusy();
    // Lets pending events run; when Stop was pressed, asks whether to stop. True: stop now.
    bool StopRequested();

    // The Stop button (or Ctrl-C). Safe to call from a signal handler.
    void RequestStop() { stopRequest_.store(true); }
    bool StopFlag() const { return stopRequest_.load(); }
    bool Busy() const { return busy_; }

private:
    TBusyDisplay& host_;
    bool busy_ = false;
    std::atomic<bool> stopRequest_{false};
};

// BeginBusy on construction, EndBusy on every way out.
class TBusyScope {
public:
    explicit TBusyScope(TBusyState& state) : state_(state) { state_.BeginBusy(); }
    ~TBusyScope() { state_.EndBusy(); }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

private:
    TBusyState& state_;
};

}  // namespace galerion
