#pragma once
// Loading a photo turned and mirrored by its orientation code in one go.
#include "image/bitmap32.h"

#include <string>

namespace galerion {

// The pixels of LoadPicture followed by ApplyOrientation(bitmap, code). A turn or mirror is
// made on a second thread from the rows already decoded, so it costs little more than the
// decode; the raster's spare buffer takes the result, as in ApplyOrientation. Errors are the
// decoder's.
void LoadPictureOriented(TBitmap32& bitmap, const std::string& path, int code);

}  // namespace galerion
