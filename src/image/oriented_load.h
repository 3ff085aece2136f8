#pragma once
// Loading a photo turned and mirrored by its orientation code in one go.
#include "image/bitmap32.h"
#include "image/colour_profile.h"

#include <cstddef>
#include <string>

namespace galerion {

// Turning a photo while its rows are decoded, for work running beside the decoder: made before
// the load (it takes the raster's spare buffer for the result), fed the decoded rows on the
// worker thread, finished after the load.
class TOrientedRows {
public:
    // For a photo of width x height (the header's) and an orientation code.
    TOrientedRows(TBitmap32& bitmap, int code, int width, int height);

    // Whether the code turns or mirrors at all; when not, there is nothing to do.
    bool ChangesPixels() const { return changes_; }
    // Nothing left to map (or nothing can be, the decoded raster not being the header's size).
    bool Done() const { return !changes_ || broken_ || mapped_ >= height_; }
    // The decoded rows the next step waits for.
    int NextRowsNeeded() const;
    // Maps the rows below `decoded` that are not mapped yet, in whole blocks but at the end.
    // Only after the decoder has published rows.
    void MapUpTo(int decoded);
    // After the load: the turned raster is swapped in; when rows were missed, the decoded
    // raster is turned instead.
    void Finish();

private:
    TBitmap32& bitmap_;
    int code_, width_, height_;
    std::ptrdiff_t base_ = 0, dx_ = 1, dy_ = 0;
    TColor32* result_ = nullptr;
    bool changes_ = false, broken_ = false;
    int mapped_ = 0;
};

// The pixels of LoadPicture followed by ApplyOrientation(bitmap, code). A turn or mirror is
// made on a second thread from the rows already decoded, so it costs little more than the
// decode; the raster's spare buffer takes the result, as in ApplyOrientation. Errors are the
// decoder's; `colour` says what is done with the photo's profile.
void LoadPictureOriented(TBitmap32& bitmap, const std::string& path, int code,
                         TColourProfiles colour = TColourProfiles::ToSrgb);

}  // namespace galerion
