#include "image/orientation.h"

#include "image/turns.h"

#include <cstdlib>
#include <utility>

namespace galerion {

void ApplyOrientation(TBitmap32& bitmap, int code) {
    switch (std::abs(code)) {
        case 2: RotateClockwise(bitmap); break;
        case 3: RotateHalfTurn(bitmap); break;
        case 4: RotateCounterClockwise(bitmap); break;
        default: break;
    }
    if (code < 0) FlipHorizontal(bitmap);
}

namespace {

int ShownCode(int code) {
    if (code >= 1 && code <= 4) return code;
    if (code >= -4 && code <= -1) return code;
    return code < 0 ? -1 : 1;
}

}  // namespace

int NextOrientation(int code, TTurnAction action) {
    const int c = ShownCode(code);
    // A turn of a mirrored picture turns the other way in terms of the unmirrored photo.
    // (C++'s % keeps the sign of the dividend, as these formulas expect.)
    switch (action) {
        case TTurnAction::Clockwise: return c > 0 ? 4 - ((7 - c) % 4) : ((c + 5) % 4) - 4;
        case TTurnAction::CounterClockwise: return c > 0 ? 4 - ((5 - c) % 4) : ((c + 7) % 4) - 4;
        case TTurnAction::HalfTurn: return c > 0 ? 4 - ((6 - c) % 4) : ((c + 6) % 4) - 4;
        case TTurnAction::Flip: return -c;
    }
    return c;
}

void ApplyTurnAction(TBitmap32& bitmap, TTurnAction action) {
    switch (action) {
        case TTurnAction::Clockwise: RotateClockwise(bitmap); break;
        case TTurnAction::CounterClockwise: RotateCounterClockwise(bitmap); break;
        case TTurnAction::HalfTurn: RotateHalfTurn(bitmap); break;
        case TTurnAction::Flip: FlipHorizontal(bitmap); break;
    }
}

void CropFollowTurn(TPictureItem& p, TTurnAction action) {
    if (p.CropX1 == -1 || p.CropY1 == -1 || p.CropX2 == -1 || p.CropY2 == -1) return;
    if (p.PixelWidth == -1 || p.PixelWidth == 0 || p.PixelHeight == -1 || p.PixelHeight == 0) {
        p.CropX1 = p.CropY1 = p.CropX2 = p.CropY2 = -1;
        return;
    }
    const int x1 = p.CropX1, y1 = p.CropY1, x2 = p.CropX2, y2 = p.CropY2;
    const int w = p.PixelWidth, h = p.PixelHeight;
    switch (action) {
        case TTurnAction::Clockwise:
            p.CropX1 = h - y2, p.CropY1 = x1, p.CropX2 = h - y1, p.CropY2 = x2;
            std::swap(p.PixelWidth, p.PixelHeight);
            break;
        case TTurnAction::CounterClockwise:
            p.CropX1 = y1, p.CropY1 = w - x2, p.CropX2 = y2, p.CropY2 = w - x1;
            std::swap(p.PixelWidth, p.PixelHeight);
            break;
        case TTurnAction::HalfTurn:
            p.CropX1 = w - x2, p.CropY1 = h - y2, p.CropX2 = w - x1, p.CropY2 = h - y1;
            break;
        case TTurnAction::Flip:
            p.CropX1 = w - x2, p.CropY1 = y1, p.CropX2 = w - x1, p.CropY2 = y2;
            break;
    }
}

}  // namespace galerion
