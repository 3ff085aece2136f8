#include "image/crop.h"

#include "platform/errors.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace galerion {

void CropBitmap(TBitmap32& bitmap, int x1, int y1, int x2, int y2, TStretchFilter filter) {
    const int left = std::clamp(std::min(x1, x2), 0, bitmap.Width());
    const int right = std::clamp(std::max(x1, x2), 0, bitmap.Width());
    const int top = std::clamp(std::min(y1, y2), 0, bitmap.Height());
    const int bottom = std::clamp(std::max(y1, y2), 0, bitmap.Height());
    if (right <= left || bottom <= top)
        throw RangeError("Crop rectangle (" + std::to_string(x1) + ", " + std::to_string(y1) +
                         ")-(" + std::to_string(x2) + ", " + std::to_string(y2) +
                         ") leaves nothing of a " + std::to_string(bitmap.Width()) + " x " +
                         std::to_string(bitmap.Height()) + " picture");
    const int width = right - left;
    const int height = bottom - top;
    bitmap.StretchFilter = filter;
    if (width == bitmap.Width() && height == bitmap.Height()) return;
    TColor32* result = bitmap.BeginReplace(width, height);
    for (int y = 0; y < height; ++y)
        std::memcpy(result + static_cast<std::size_t>(y) * width, bitmap.ScanLine(top + y) + left,
                    static_cast<std::size_t>(width) * sizeof(TColor32));
    bitmap.CommitReplace();
}

}  // namespace galerion
