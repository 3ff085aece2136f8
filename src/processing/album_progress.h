#pragma once
// One album's place in the processing run: its status prefix, the position of the progress
// bars, and the stop check between two steps of the work.
#include "core/host/busy_display.h"

#include <string>

namespace galerion {

class TBusyState;

class TAlbumProgress {
public:
    // Sets the bars' maximum for `pictureCount` pictures and reports the album's start.
    TAlbumProgress(TBusyDisplay& display, TBusyState& busy, const TRunProgress& where);

    // "Photos: N. ", the start of every status line of the album.
    const std::string& Prefix() const { return prefix_; }

    // Tells a host with its own progress display that picture `number` (from 1) begins.
    void BeginPicture(int number);

    // Shows the status, moves the bars on by `steps`, lets the window run and asks whether the
    // user pressed Stop (and confirmed it). True: stop now.
    bool StopRequestedAfter(const std::string& status, int steps);

private:
    TBusyDisplay& display_;
    TBusyState& busy_;
    TRunProgress where_;
    std::string prefix_;
    int position_ = 0;
};

}  // namespace galerion
