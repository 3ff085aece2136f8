#pragma once
// What a picture tile and the Pictures page open in other windows: the full-size view and the
// categories window. The main window, which owns those windows, fills them in; a control whose
// action is empty stays disabled.
#include <functional>

class QAbstractButton;

namespace galerion {
class TPictureItem;
class TPictureList;
}  // namespace galerion

namespace galerion::ui {

struct TPictureActions {
    // Double-click on a tile's picture (never while the picture is excluded).
    std::function<void(TPictureItem& picture)> openFullSize;
    // A tile's "Select categories" button; the button stays pressed while the window is open.
    std::function<void(TPictureItem& picture, QAbstractButton& button)> openPictureCategories;
    // The Pictures page's categories button: every picture of the current album.
    std::function<void(TPictureList& pictures)> openAlbumCategories;
};

}  // namespace galerion::ui
