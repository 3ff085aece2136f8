#pragma once
// Album preparation: collect an album's photos, name their outputs, restore what the database
// holds, make the working thumbnails and the tiles.
#include "core/host/user_host.h"

#include <string>
#include <vector>

namespace galerion {

class TAlbumItem;
class TAlbumList;
class TPictureList;
struct TWizardContext;

// Appends every regular file matching mask (folder + "/*.*"); with filter, only those whose
// extension (from the last period) is one of `extensions`, letter case ignored.
void CollectPictureFiles(const std::string& mask, TPictureList& list, bool filter,
                         const std::vector<std::string>& extensions);

// Copies the stored album, its pictures and their categories back into the model.
void RestoreAlbumFromDatabase(TWizardContext& context, TAlbumItem& album);

// Prepares album `current` of the context's list (nothing for -1). Runs inside the busy state.
void PrepareAlbum(TWizardContext& context, int current);

// Grid position of tile `index` in a scroll box `areaWidth` pixels wide.
TTilePlacement TilePosition(int index, int boxWidth, int boxHeight, int areaWidth);

// "Process album (0) >", "Process album (1 of 1) >", "Process albums (k of n) >".
std::string ProcessButtonCaption(const TAlbumList& albums);

}  // namespace galerion
