#include "ui/pictures/tile_painting.h"

#include "core/numbers.h"
#include "image/stretch_draw.h"

#include <algorithm>
#include <cmath>

namespace galerion::ui {

namespace {

void PutPixel(TBitmap32& bitmap, int x, int y, TColor32 color) {
    if (x >= 0 && y >= 0 && x < bitmap.Width() && y < bitmap.Height()) bitmap.SetPixel(x, y, color);
}

void Fill(TBitmap32& bitmap, TColor32 color) {
    std::fill(bitmap.Bits(), bitmap.Bits() + bitmap.PixelCount(), color);
}

int RoundScaled(int extent, int value, int reference) {
    return static_cast<int>(Round(static_cast<double>(extent) * value / reference));
}

}  // namespace

TRect FittedThumbRect(int thumbWidth, int thumbHeight, int boxWidth, int boxHeight) {
    const double bw = thumbWidth, bh = thumbHeight, tw = boxWidth, th = boxHeight;
    if (bh / th >= bw / tw) {
        const double k = bh / th;
        const int left = static_cast<int>(Round(std::fabs(tw - bw / k))) / 2;
        return TRect{left, 0, left + static_cast<int>(Round(bw / k)), boxHeight};
    }
    const double k = bw / tw;
    const int top = static_cast<int>(Round(std::fabs(th - bh / k))) / 2;
    return TRect{0, top, boxWidth, top + static_cast<int>(Round(bh / k))};
}

TRect CropOutlineRect(const TPictureItem& p, TRect shown) {
    const int dw = shown.Right - shown.Left, dh = shown.Bottom - shown.Top;
    return TRect{shown.Left + RoundScaled(dw, p.CropX1, p.PixelWidth),
                 shown.Top + RoundScaled(dh, p.CropY1, p.PixelHeight),
                 shown.Left + RoundScaled(dw, p.CropX2, p.PixelWidth),
                 shown.Top + RoundScaled(dh, p.CropY2, p.PixelHeight)};
}

TColor32 DashColor(int n) {
    // Colour sequence black, black, white, white, advancing half an entry per pixel; a pixel
    // between two entries takes their mean.
    static constexpr TColor32 kPattern[8] = {kDashBlack, kDashBlack, kDashBlack, kDashGrey,
                                             kDashWhite, kDashWhite, kDashWhite, kDashGrey};
    return kPattern[n % 8];
}

void PaintTilePicture(TBitmap32& buffer, const TBitmap32& thumb, const TPictureItem& picture,
                      TColor32 buttonFace) {
    Fill(buffer, buttonFace | 0xFF000000);
    if (thumb.Empty() || buffer.Empty()) return;
    const TColor32 frame = picture.IsFace ? kFaceFrameColor : kFrameColor;
    const TRect shown =
        FittedThumbRect(thumb.Width(), thumb.Height(), buffer.Width(), buffer.Height());
    StretchDraw(thumb, buffer, shown, TRect{0, 0, thumb.Width(), thumb.Height()});
    WalkOutline(shown, [&](int x, int y, int) { PutPixel(buffer, x, y, frame); });
    // Every crop that exists carries its reference size; one without it cannot be placed.
    if (picture.HasCrop() && picture.PixelWidth > 0 && picture.PixelHeight > 0)
        WalkOutline(CropOutlineRect(picture, shown),
                    [&](int x, int y, int n) { PutPixel(buffer, x, y, DashColor(n)); });
}

}  // namespace galerion::ui
