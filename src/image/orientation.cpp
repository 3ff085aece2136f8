#include "image/orientation.h"

#include "image/turns.h"

#include <cstdint>
#include <limits>
#include <utility>

namespace galerion {

int TurnOf(int code) {
    // A stored code may be anything, INT_MIN included, whose negation does not exist.
    return code == std::numeric_limits<int>::min() ? 0 : code < 0 ? -code : code;
}

void ApplyOrientation(TBitmap32& bitmap, int code) {
    switch (TurnOf(code)) {
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
    // In 64 bits: stored corners may lie anywhere, and a difference of two 32-bit values
    // need not fit in 32 bits.
    const std::int64_t x1 = p.CropX1, y1 = p.CropY1, x2 = p.CropX2, y2 = p.CropY2;
    const std::int64_t w = p.PixelWidth, h = p.PixelHeight;
    std::int64_t c[4] = {x1, y1, x2, y2};
    bool swapSize = false;
    switch (action) {
        case TTurnAction::Clockwise:
            c[0] = h - y2, c[1] = x1, c[2] = h - y1, c[3] = x2;
            swapSize = true;
            break;
        case TTurnAction::CounterClockwise:
            c[0] = y1, c[1] = w - x2, c[2] = y2, c[3] = w - x1;
            swapSize = true;
            break;
        case TTurnAction::HalfTurn:
            c[0] = w - x2, c[1] = h - y2, c[2] = w - x1, c[3] = h - y1;
            break;
        case TTurnAction::Flip: c[0] = w - x2, c[1] = y1, c[2] = w - x1, c[3] = y2; break;
    }
    if (swapSize) std::swap(p.PixelWidth, p.PixelHeight);
    // A crop whose turned corners leave the 32-bit range was no crop of this picture.
    const auto fits = [](std::int64_t v) {
        return v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max();
    };
    if (!fits(c[0]) || !fits(c[1]) || !fits(c[2]) || !fits(c[3])) {
        p.CropX1 = p.CropY1 = p.CropX2 = p.CropY2 = -1;
        return;
    }
    p.CropX1 = static_cast<int>(c[0]), p.CropY1 = static_cast<int>(c[1]);
    p.CropX2 = static_cast<int>(c[2]), p.CropY2 = static_cast<int>(c[3]);
}

}  // namespace galerion
