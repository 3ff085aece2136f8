#pragma once
// The album row: which column holds which album field, on read and on write.
#include <string>

namespace galerion {

class TAlbumItem;
class TQuery;

// The stored fields of the current row of sqlSelectAlbumByPath.
void ReadAlbumRow(TQuery& query, TAlbumItem& album);

// The album's insert and update statements; `folder` is the album's original path.
std::string InsertAlbumStatement(const TAlbumItem& album, const std::string& folder);
std::string UpdateAlbumStatement(const TAlbumItem& album, const std::string& folder);

}  // namespace galerion
