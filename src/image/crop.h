#pragma once
// Cutting a raster down to the user's crop rectangle.
#include "image/bitmap32.h"

namespace galerion {

// Replaces the raster by its columns x1 .. x2 - 1 and rows y1 .. y2 - 1, pixel for pixel (the
// corners may come in either order). A rectangle reaching outside the raster is cut to it; an
// empty result raises RangeError and leaves the raster as it was. Whatever the filter, no pixel
// is resampled; the raster's StretchFilter becomes `filter`.
void CropBitmap(TBitmap32& bitmap, int x1, int y1, int x2, int y2, TStretchFilter filter);

}  // namespace galerion
