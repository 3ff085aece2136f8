#pragma once
// Opening a photo for the fitted view: the decoder fills the picture raster top down while a
// second thread turns the rows already there and draws the fitted view from them, so the
// turned picture and its first drawing are ready moments after the last row is decoded. The
// pixels are those of turning and drawing after the decode. No toolkit in here.
#include "image/bitmap32.h"
#include "image/colour_profile.h"

#include <string>

namespace galerion::ui {

struct TFittedDrawing {
    // In: the view's size and background; the picture is fitted into a control one pixel
    // smaller than the view, as the view does.
    int ViewWidth = 0, ViewHeight = 0;
    TColor32 Background = 0;
    TColourProfiles Colour = TColourProfiles::ToSrgb;  // what is done with the photo's profile
    // Out: the drawn view and where the picture lies in it.
    TBitmap32 View;
    TRect PictureRect{0, 0, 0, 0};
};

// LoadPicture into `picture` (with its StretchFilter) and ApplyOrientation with `orientation`,
// and at the same time the fitted drawing of the turned picture into `drawing`. Errors are the
// decoder's; on error `drawing` is left unspecified.
void LoadPictureDrawingFitted(TBitmap32& picture, const std::string& path, int orientation,
                              TFittedDrawing& drawing);

}  // namespace galerion::ui
