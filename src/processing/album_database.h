#pragma once
// The database phase of one processed album: the album row, every picture row (excluded ones
// too), the face picture and the picture-to-category rows.
#include <string>

namespace galerion {

class TAlbumItem;
struct TWizardContext;

// Runs after the album's file phase. Returns true when a stop was confirmed at its start (the
// run then ends at once). Database errors are shown to the user and end only this album.
bool WriteAlbumToDatabase(TWizardContext& context, const std::string& folder, TAlbumItem& album,
                          const std::string& statusPrefix, int& progress);

}  // namespace galerion
