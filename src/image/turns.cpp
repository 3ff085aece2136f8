#include "image/turns.h"

#include <algorithm>
#include <cstddef>

namespace galerion {

namespace {

// Tiles of this many pixels square keep the strided reads of one tile in the first-level
// cache; a plain column walk misses on every read.
constexpr int kTile = 32;

// Fills the H x W result row by row, tile by tile. `SourceOf(r, c)` names the source pixel that
// lands in result row r, column c.
template <class SourceIndex>
void QuarterTurn(TBitmap32& bitmap, SourceIndex sourceOf) {
    const int resultWidth = bitmap.Height();
    const int resultHeight = bitmap.Width();
    if (bitmap.Empty()) return;
    const TColor32* source = bitmap.Bits();
    TColor32* result = bitmap.BeginReplace(resultWidth, resultHeight);
    for (int r0 = 0; r0 < resultHeight; r0 += kTile) {
        const int r1 = std::min(r0 + kTile, resultHeight);
        for (int c0 = 0; c0 < resultWidth; c0 += kTile) {
            const int c1 = std::min(c0 + kTile, resultWidth);
            for (int r = r0; r < r1; ++r) {
                TColor32* out = result + static_cast<std::size_t>(r) * resultWidth;
                for (int c = c0; c < c1; ++c) out[c] = source[sourceOf(r, c)];
            }
        }
    }
    bitmap.CommitReplace();
}

}  // namespace

void RotateClockwise(TBitmap32& bitmap) {
    const std::size_t w = static_cast<std::size_t>(bitmap.Width());
    const int h = bitmap.Height();
    // Result (r, c) = source (x = r, y = H - 1 - c).
    QuarterTurn(bitmap,
                [w, h](int r, int c) { return static_cast<std::size_t>(h - 1 - c) * w + r; });
}

void RotateCounterClockwise(TBitmap32& bitmap) {
    const std::size_t w = static_cast<std::size_t>(bitmap.Width());
    const int width = bitmap.Width();
    // Result (r, c) = source (x = W - 1 - r, y = c).
    QuarterTurn(bitmap, [w, width](int r, int c) {
        return static_cast<std::size_t>(c) * w + (width - 1 - r);
    });
}

void RotateHalfTurn(TBitmap32& bitmap) {
    std::reverse(bitmap.Bits(), bitmap.Bits() + bitmap.PixelCount());
}

void FlipHorizontal(TBitmap32& bitmap) {
    for (int y = 0; y < bitmap.Height(); ++y)
        std::reverse(bitmap.ScanLine(y), bitmap.ScanLine(y) + bitmap.Width());
}

}  // namespace galerion
