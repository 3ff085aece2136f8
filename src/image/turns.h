#pragma once
// Quarter turns, half turn and left-right mirror of a raster, in place. Attributes stay.
#include "image/bitmap32.h"

namespace galerion {

// Source pixel (x, y) of a W x H raster goes to (H - 1 - y, x); the result is H x W.
void RotateClockwise(TBitmap32& bitmap);
// Source pixel (x, y) goes to (y, W - 1 - x); the result is H x W.
void RotateCounterClockwise(TBitmap32& bitmap);
// Source pixel (x, y) goes to (W - 1 - x, H - 1 - y).
void RotateHalfTurn(TBitmap32& bitmap);
// Source pixel (x, y) goes to (W - 1 - x, y).
void FlipHorizontal(TBitmap32& bitmap);

}  // namespace galerion
