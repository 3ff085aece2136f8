#pragma once
// What preparation and the processing run work on: the model, the settings, the log, the user.
#include <string>
#include <vector>

namespace galerion {

class TAlbumList;
class TBusyState;
class TProcessingLog;
class TUserHost;
struct TSettings;

// A photo that was excluded because it could not be used, with the reason.
struct TPictureFailure {
    std::string path;
    std::string reason;
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
    // Every photo excluded because it could not be used, in the order it was met.
    std::vector<TPictureFailure> failures = {};
};

}  // namespace galerion
