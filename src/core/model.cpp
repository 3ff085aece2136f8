#include "core/model.h"

#include <stdexcept>

namespace galerion {

TVisualPictureItem* TPictureList::TileAt(int index) const {
    const TPictureItem* picture = PictureAt(index);
    return picture ? picture->Tile.get() : nullptr;
}

int TPictureList::IncludedCount() const {
    int count = 0;
    for (int i = 0; i < Count(); ++i)
        if (const TPictureItem* p = PictureAt(i); p && !p->IsDeleted) ++count;
    return count;
}

TVisualPictureItem* TPictureList::FirstIncludedTile() const {
    for (int i = 0; i < Count(); ++i)
        if (const TPictureItem* p = PictureAt(i); p && !p->IsDeleted) return p->Tile.get();
    return nullptr;
}

void TAlbumItem::SetTile(int index, std::unique_ptr<TVisualPictureItem> tile) {
    TPictureItem* picture = PictureAt(index);
    if (!picture) throw std::out_of_range("SetTile: no picture at index " + std::to_string(index));
    picture->Tile = std::move(tile);
}

void TAlbumItem::ReleaseTiles() {
    for (int i = 0; i < PictureCount(); ++i)
        if (TPictureItem* p = PictureAt(i)) p->Tile.reset();
}

int TAlbumList::PreparedCount() const {
    int count = 0;
    for (int i = 0; i < Count(); ++i)
        if (const TAlbumItem* a = AlbumAt(i); a && a->Prepared) ++count;
    return count;
}

}  // namespace galerion
