#pragma once
// The orientation code of a picture (|code| 1 none, 2 clockwise, 3 half turn, 4 counter-clockwise;
// negative adds a left-right mirror after the turn) and the crop rectangle that follows turns.
#include "core/model.h"
#include "image/bitmap32.h"

namespace galerion {

enum class TTurnAction { Clockwise, CounterClockwise, HalfTurn, Flip };

// Applies the code's turn, then its mirror, to a raster just loaded from the photo file. A code
// outside the eight values turns nothing (and mirrors when negative).
// The quarter turns of an orientation code: its absolute value (0 for INT_MIN, which has none).
int TurnOf(int code);

void ApplyOrientation(TBitmap32& bitmap, int code);

// The code after the user's action. A code outside the eight values is first read as the code
// that ApplyOrientation shows for it (1, or -1 when negative), so the step matches the tile.
int NextOrientation(int code, TTurnAction action);

// The same action applied to a raster (as the tile does with its thumbnail).
void ApplyTurnAction(TBitmap32& bitmap, TTurnAction action);

// Rewrites the picture's crop rectangle and reference size so that the crop keeps covering the
// same part of the picture after the action. Without a crop nothing changes; a crop without a
// reference size is dropped.
void CropFollowTurn(TPictureItem& picture, TTurnAction action);

}  // namespace galerion
