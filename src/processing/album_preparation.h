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
class TProcessingLog;
struct TWizardContext;

// Appends every regular file matching mask (folder + "/*.*"); with filter, only those whose
// extension (from the last period) is one of `extensions`, letter case ignored. A link is taken
// only when its target lies within `linkRoot` (empty: the mask's folder); any other is skipped
// and logged (level 4) when there is a log.
void CollectPictureFiles(const std::string& mask, TPictureList& list, bool filter,
                         const std::vector<std::string>& extensions,
                         const std::string& linkRoot = {}, TProcessingLog* log = nullptr);

// Where the links of an album may lead: the main directory when the album lies within it,
// else (or with linksStayInAlbum) the album's own folder.
std::string LinkRootFor(const TWizardContext& context, const std::string& albumFolder);

// Copies the stored album, its pictures and their categories back into the model.
void RestoreAlbumFromDatabase(TWizardContext& context, TAlbumItem& album);

// Prepares album `current` of the context's list (nothing for -1). Runs inside the busy state.
void PrepareAlbum(TWizardContext& context, int current);

// Grid position of tile `index` in a scroll box `areaWidth` pixels wide.
TTilePlacement TilePosition(int index, int boxWidth, int boxHeight, int areaWidth);

// "Process album (0) >", "Process album (1 of 1) >", "Process albums (k of n) >".
std::string ProcessButtonCaption(const TAlbumList& albums);

}  // namespace galerion
