#pragma once
// The database phase of one processed album: the album row, every picture row (excluded ones
// too), the face picture and the picture-to-category rows.
#include <string>

namespace galerion {

class TAlbumItem;
class TAlbumProgress;
struct TWizardContext;

enum class TAlbumDbOutcome {
    Written,  // the rows are stored
    Skipped,  // the album is stored and was left alone
    Stopped,  // the user stopped the run as the phase began; nothing was written
    Failed,   // a database error, shown to the user, ended this album's phase
};

// Runs after the album's file phase.
TAlbumDbOutcome WriteAlbumToDatabase(TWizardContext& context, const std::string& folder,
                                     TAlbumItem& album, TAlbumProgress& progress);

}  // namespace galerion
