#pragma once
// The processing run: every prepared album's pictures written as large, medium and thumbnail
// JPEG files, then the album, picture and category rows.
#include <string>

namespace galerion {

struct TWizardContext;

inline constexpr const char* kNotAllAlbumsQuestion =
    "Not all of selected albums will be processed. Continue?\r\n"
    "You have not looked at all the albums that you have selected. If you press \"Yes\" only "
    "albums that you have already looked at will be processed.";

enum class TRunOutcome { NotStarted, Stopped, Finished };

// The "Process" button: the question when some albums were never looked at, then the run
// inside the busy state. Errors of the file phase propagate to the caller (after EndBusy).
TRunOutcome StartProcessing(TWizardContext& context);

// The run itself; call inside the busy state.
void ProcessAlbums(TWizardContext& context);

}  // namespace galerion
