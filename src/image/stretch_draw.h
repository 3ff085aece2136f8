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

// How a drawing in pieces reads its source rectangle: as it is, or mirrored left to right
// and/or top to bottom, without making the mirrored copy.
struct TSourceReading {
    bool ReversedColumns = false;
    bool ReversedRows = false;
};

// The same drawing made in pieces, for a caller that gets the source's rows one after another:
// the tables are built once, then DrawRows draws rows [first, end) of the destination rectangle
// (counted from its top, cut to the destination raster) on the calling thread, with exactly the
// pixels StretchDraw puts there (of the mirrored source, when read so). Once built, the
// separable path draws without allocating. The rasters must outlive it, keep their sizes, and
// be two different rasters (RangeError).
class TStretchDrawing {
public:
    TStretchDrawing(const TBitmap32& source, TBitmap32& destination, TRect destinationRect,
                    TRect sourceRect, TSourceReading reading = {});
    ~TStretchDrawing();
    TStretchDrawing(const TStretchDrawing&) = delete;
    TStretchDrawing& operator=(const TStretchDrawing&) = delete;

    void DrawRows(int first, int end);
    // The last source raster row that destination row `row` reads.
    int LastSourceRowRead(int row) const;
    // Whether drawing a transposed source into a transposed rectangle gives the transposed
    // pixels: so for every path but the bilinear enlargement, which rounds between its two
    // directions (the others sum exactly and round once).
    bool TransposesExactly() const;

private:
    std::unique_ptr<detail::TStretchPlan> plan_;
    std::unique_ptr<detail::TStretchScratch> scratch_;
};

// The source position that a nearest-pixel draw of sourceExtent positions onto destExtent
// positions reads for destination position i.
int NearestSourcePosition(int i, int sourceExtent, int destExtent);

}  // namespace galerion
