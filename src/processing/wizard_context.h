#pragma once
// What preparation and the processing run work on: the model, the settings, the log, the user.
#include <string>
#include <vector>

namespace galerion {

class TAlbumList;
class TPictureItem;
class TBusyState;
class TProcessingLog;
class TUserHost;
struct TSettings;

// A photo (or an album) that could not be used in this run, with the reason. The failure is
// never stored: the user's own exclusion (IsDeleted) stays as it is.
struct TPictureFailure {
    std::string path;
    std::string reason;
    const TPictureItem* picture = nullptr;  // none for an album that failed as a whole
};

struct TWizardContext {
    TAlbumList& albums;
    TSettings& settings;
    TProcessingLog& log;
    TUserHost& host;
    TBusyState& busy;
    // False for a host that shows no tiles (the CLI): preparation then writes no working
    // thumbnails, so a batch run decodes each photo only once.
    bool makeWorkingThumbnails = true;
    // Links in an album lead only to files within the main directory; with this set (the
    // command line naming its albums), only to files within the album's own folder.
    bool linksStayInAlbum = false;
    // Every photo that could not be used, in the order it was met; emptied as a run begins.
    std::vector<TPictureFailure> failures = {};

    bool HasFailed(const TPictureItem& picture) const {
        for (const TPictureFailure& failure : failures)
            if (failure.picture == &picture) return true;
        return false;
    }
};

}  // namespace galerion
