#pragma once
// The busy display role: status panel 0, the two progress bars, letting pending window events
// run at each stop check, the busy look of the window and the stop question.
#include <string>

namespace galerion {

// Where the processing run stands, for a host that shows its own progress display.
struct TRunProgress {
    std::string album;    // the album's folder path
    int albumNumber = 0;  // from 1
    int albumCount = 0;
    int picture = 0;  // from 1; 0 at the start of the album
    int pictureCount = 0;
};

inline constexpr const char* kStopQuestion = "Are you sure you want to stop process?";

class TBusyDisplay {
public:
    virtual ~TBusyDisplay() = default;

    virtual void SetStatusText(const std::string& /*text*/) {}
    virtual void SetProgressMax(int /*max*/) {}
    virtual void SetProgressPosition(int /*position*/) {}
    virtual void PumpMessages() {}
    virtual void ReportProgress(const TRunProgress& /*progress*/) {}

    // Busy cursor, page control disabled, processing panel with its Stop button shown (and
    // hidden again).
    virtual void ShowBusy(bool /*busy*/) {}
    virtual void HideProcessingPanel() {}

    // Asked when Stop was pressed: "Are you sure you want to stop process?". True: stop.
    virtual bool ConfirmStop() = 0;
};

}  // namespace galerion
