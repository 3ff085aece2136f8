#include "ui/fullsize/view_drawing.h"

#include "core/numbers.h"
#include "image/stretch_draw.h"

#include <algorithm>

namespace galerion::ui {
namespace {

constexpr int kBevelContrasts[] = {35, 27, 19, 11, 3};
constexpr TColor32 kWhite = 0xFFFFFFFF;
constexpr TColor32 kBlack = 0xFF000000;

int BlendChannel(int s, int d, int alpha) { return (s * alpha + d * (255 - alpha) + 127) / 255; }

void BlendPixel(TBitmap32& target, int x, int y, TColor32 color, int alpha) {
    if (x < 0 || y < 0 || x >= target.Width() || y >= target.Height()) return;
    const TColor32 d = target.Pixel(x, y);
    target.SetPixel(x, y,
                    Color32(BlendChannel(RedOf(color), RedOf(d), alpha),
                            BlendChannel(GreenOf(color), GreenOf(d), alpha),
                            BlendChannel(BlueOf(color), BlueOf(d), alpha), AlphaOf(d)));
}

// One ring on the outermost pixels of r: white top row and left column, black bottom row and
// right column; every pixel blended once.
void DrawRing(TBitmap32& target, TRect r, int contrast) {
    const int white = BevelWhiteAlpha(contrast), black = BevelBlackAlpha(contrast);
    for (int x = r.Left; x < r.Right - 1; ++x) BlendPixel(target, x, r.Top, kWhite, white);
    for (int y = r.Top + 1; y < r.Bottom - 1; ++y) BlendPixel(target, r.Left, y, kWhite, white);
    for (int x = r.Left; x < r.Right; ++x) BlendPixel(target, x, r.Bottom - 1, kBlack, black);
    for (int y = r.Top; y < r.Bottom - 1; ++y) BlendPixel(target, r.Right - 1, y, kBlack, black);
}

}  // namespace

TRect FittedPictureRect(int cw, int ch, int pictureWidth, int pictureHeight) {
    if (pictureWidth < 1 || pictureHeight < 1 || cw < 1 || ch < 1) return {0, 0, 0, 0};
    const float a = static_cast<float>(cw) / static_cast<float>(pictureWidth);
    const float b = static_cast<float>(ch) / static_cast<float>(pictureHeight);
    int width = cw, height = ch;
    if (a >= b)
        width = static_cast<int>(Round(static_cast<float>(pictureWidth) * b));
    else
        height = static_cast<int>(Round(a * static_cast<float>(pictureHeight)));
    const int left = (cw - width) / 2, top = (ch - height) / 2;
    return {left, top, left + width, top + height};
}

int ScaledExtent(int extent, double scale) {
    if (extent < 1) return 0;
    return static_cast<int>(std::max<long long>(1, Round(static_cast<double>(extent) * scale)));
}

TRect ScaledPictureRect(int pictureWidth, int pictureHeight, double scale, int scrollX,
                        int scrollY) {
    return {-scrollX, -scrollY, -scrollX + ScaledExtent(pictureWidth, scale),
            -scrollY + ScaledExtent(pictureHeight, scale)};
}

TPictureMapping::TPictureMapping(TRect r, int pictureWidth, int pictureHeight)
    : originX_(static_cast<float>(r.Left)), originY_(static_cast<float>(r.Top)) {
    if (pictureWidth < 1 || pictureHeight < 1) return;
    zoomX_ = static_cast<float>(r.Right - r.Left) / static_cast<float>(pictureWidth);
    zoomY_ = static_cast<float>(r.Bottom - r.Top) / static_cast<float>(pictureHeight);
}

TRect TPictureMapping::ViewRect(const TCropLocation& l) const {
    return {static_cast<int>(Round(ToViewX(l.Left))), static_cast<int>(Round(ToViewY(l.Top))),
            static_cast<int>(Round(ToViewX(l.Right))), static_cast<int>(Round(ToViewY(l.Bottom)))};
}

void DrawPictureView(const TBitmap32& picture, TBitmap32& view, TRect pictureRect,
                     TColor32 background) {
    if (view.Empty()) return;
    std::fill(view.Bits(), view.Bits() + view.PixelCount(), background);
    if (picture.Empty()) return;
    // StretchDraw works out only the destination pixels inside the view raster.
    StretchDraw(picture, view, pictureRect, {0, 0, picture.Width(), picture.Height()});
}

int BevelWhiteAlpha(int contrast) { return std::min(255, contrast * 512 / 100); }
int BevelBlackAlpha(int contrast) { return std::min(255, contrast * 255 / 100); }

void DrawRaisedBevel(TBitmap32& target, TRect rect) {
    for (int contrast : kBevelContrasts) {
        if (rect.Right - rect.Left < 1 || rect.Bottom - rect.Top < 1) return;
        DrawRing(target, rect, contrast);
        rect = {rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
    }
}

}  // namespace galerion::ui
