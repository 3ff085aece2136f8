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

// The column of the first text the album's row would store with a NUL character in it (the
// database cannot take one); empty when there is none.
std::string AlbumColumnWithNul(const TAlbumItem& album, const std::string& folder);

}  // namespace galerion
