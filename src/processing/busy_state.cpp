#include "processing/busy_state.h"

#include "core/host/busy_display.h"

namespace galerion {

void TBusyState::BeginBusy() {
    host_.ShowBusy(true);
    host_.PumpMessages();
    stopRequest_.store(false);
    busy_ = true;
}

void TBusyState::EndBusy() {
    busy_ = false;
    host_.ShowBusy(false);
    host_.PumpMessages();
    host_.SetProgressPosition(0);
}

bool TBusyState::StopRequested() {
    host_.PumpMessages();
    host_.PumpMessages();
    if (stopRequest_.load()) {
        if (host_.ConfirmStop())
            host_.HideProcessingPanel();
        else
            stopRequest_.store(false);
    }
    return stopRequest_.load();
}

}  // namespace galerion
