#pragma once
// The album's working folder ("tmp"), which holds the working thumbnails of preparation.
#include <string>

namespace galerion {

class TAlbumItem;

// Removes the working thumbnails written for the album's pictures, then the folder itself when
// nothing else is left in it: a user's own files there stay. A "tmp" that is a link, or no
// folder at all, is never entered.
void RemoveWorkingThumbnails(const std::string& albumFolder, const TAlbumItem& album);

}  // namespace galerion
