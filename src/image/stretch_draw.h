#pragma once
// Drawing a rectangle of one raster into a rectangle of another, scaled with the source's
// StretchFilter and written with the source's DrawMode. The arithmetic is fixed to the last bit:
// the web site's pictures are defined by it.
#include "image/bitmap32.h"

#include <memory>

namespace galerion {

namespace detail {
class TStretchPlan;
struct TStretchScratch;
}  // namespace detail

// The source rectangle is cut to the source raster; destination positions count from the
// destination rectangle's edges, and only pixels inside the destination raster are written.
// Same size: copied one to one. sfNearest: nearest-pixel mapping. sfLinear enlarging in both
// directions: bilinear. Otherwise: separable resampling with the filter's kernel.
// dmOpaque replaces destination pixels; dmBlend blends over them by alpha x MasterAlpha.
// Source and destination may be the same raster.
void StretchDraw(const TBitmap32& source, TBitmap32& destination, TRect destinationRect,
                 TRect sourceRect);

// The same drawing made in pieces, for a caller that gets the source's rows one after another:
// the tables are built once, then DrawRows draws rows [first, end) of the destination rectangle
// (counted from its top, cut to the destination raster) on the calling thread, with exactly the
// pixels StretchDraw puts there. Once built, the separable path draws without allocating. The
// rasters must outlive it, keep their sizes, and be two different rasters (RangeError).
class TStretchDrawing {
public:
    TStretchDrawing(const TBitmap32& source, TBitmap32& destination, TRect destinationRect,
                    TRect sourceRect);
    ~TStretchDrawing();
    TStretchDrawing(const TStretchDrawing&) = delete;
    TStretchDrawing& operator=(const TStretchDrawing&) = delete;

    void DrawRows(int first, int end);

private:
    std::unique_ptr<detail::TStretchPlan> plan_;
    std::unique_ptr<detail::TStretchScratch> scratch_;
};

// The source position that a nearest-pixel draw of sourceExtent positions onto destExtent
// positions reads for destination position i.
int NearestSourcePosition(int i, int sourceExtent, int destExtent);

}  // namespace galerion
