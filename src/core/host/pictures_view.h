#pragma once
// The pictures view role: what album preparation shows on the Pictures page. A host without
// tiles (the CLI) keeps the defaults.
#include "core/model.h"

#include <memory>
#include <string>

namespace galerion {

// Where preparation places a picture's tile in the Pictures page's scroll box.
struct TTilePlacement {
    int left = 0;
    int top = 0;
    int boxWidth = 0;  // the thumbnail box
    int boxHeight = 0;
};

class TPicturesView {
public:
    virtual ~TPicturesView() = default;

    virtual int TileAreaWidth() const { return 0; }
    // A host without tiles returns nullptr.
    virtual std::unique_ptr<TVisualPictureItem> CreateTile(TPictureItem& /*picture*/,
                                                           const TTilePlacement& /*where*/) {
        return nullptr;
    }
    virtual void ClearFacePicture() {}
    virtual void ShowAlbumDetails(const TAlbumItem& /*album*/) {}
    virtual void RepaintAlbumList() {}
    virtual void SetProcessButton(const std::string& /*caption*/, bool /*enabled*/) {}
};

}  // namespace galerion
