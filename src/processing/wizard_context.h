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

// What a processing run did, album by album and picture by picture; albums and pictures whose
// files failed are the failures.
struct TRunTally {
    int albumsWritten = 0;      // rows stored
    int albumsSkipped = 0;      // never prepared, or stored and left alone
    int picturesWritten = 0;    // at least one output file written
    int picturesUnchanged = 0;  // every output file kept as it was
    // Albums whose rows the database refused; its message was shown as it happened.
    std::vector<std::string> databaseFailures;
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
    // False when there is no database yet and none may be made (a dry run before the first
    // run): preparation restores nothing.
    bool readDatabase = true;
    // Links in an album lead only to files within the main directory; with this set (the
    // command line naming its albums), only to files within the album's own folder.
    bool linksStayInAlbum = false;
    // False for a dry run: the categories that keywords would create are only listed, in
    // categoriesToCreate.
    bool createCategories = true;
    std::vector<std::string> categoriesToCreate = {};
    // Every photo that could not be used, in the order it was met; emptied as a run begins.
    std::vector<TPictureFailure> failures = {};

    bool HasFailed(const TPictureItem& picture) const {
        for (const TPictureFailure& failure : failures)
            if (failure.picture == &picture) return true;
        return false;
    }

    // False (the window): an album whose files cannot be written ends the run with the error.
    // True (a batch run): that album is logged and listed as failed, its rows are not written,
    // and the run goes on with the next album.
    bool continueAfterAlbumFailure = false;
    // False for a caller that lists the failures in its own summary: the log then does not
    // list them again at the end of the run.
    bool listFailuresAtEnd = true;
    TRunTally tally = {};
};

}  // namespace galerion
