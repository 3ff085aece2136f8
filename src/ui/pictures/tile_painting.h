#pragma once
// What a picture tile shows in its picture area: the thumbnail fitted into the box, dimmed when
// excluded or private, framed, with the crop outline. Pure raster work, so every pixel can be
// checked without a window.
#include "core/model.h"
#include "image/bitmap32.h"

#include <algorithm>

namespace galerion::ui {

inline constexpr TColor32 kFaceFrameColor = 0xFFFF0000;
inline constexpr TColor32 kFrameColor = 0xFF000000;
inline constexpr TColor32 kDashBlack = 0xFF000000;
inline constexpr TColor32 kDashGrey = 0xFF7F7F7F;  // half-way between black and white
inline constexpr TColor32 kDashWhite = 0xFFFFFFFF;

// The largest rectangle of the thumbnail's proportions that fits a boxWidth x boxHeight area,
// centred on the free axis (halves rounded to even). A thumbnail smaller than the box is
// enlarged to fit.
TRect FittedThumbRect(int thumbWidth, int thumbHeight, int boxWidth, int boxHeight);

// The crop rectangle of `picture` mapped into the thumbnail rectangle `shown`.
TRect CropOutlineRect(const TPictureItem& picture, TRect shown);

// Calls visit(x, y, n) for the outermost pixels of `rect`, clockwise from its top-left corner,
// each pixel once, n counting from 0.
template <class Visit>
void WalkOutline(TRect rect, Visit visit) {
    const int left = std::min(rect.Left, rect.Right), right = std::max(rect.Left, rect.Right);
    const int top = std::min(rect.Top, rect.Bottom), bottom = std::max(rect.Top, rect.Bottom);
    if (right <= left || bottom <= top) return;
    int n = 0;
    for (int x = left; x < right; ++x) visit(x, top, n++);
    for (int y = top + 1; y < bottom; ++y) visit(right - 1, y, n++);
    if (bottom - 1 > top)
        for (int x = right - 2; x >= left; --x) visit(x, bottom - 1, n++);
    if (right - 1 > left)
        for (int y = bottom - 2; y > top; --y) visit(left, y, n++);
}

// The dash colour of outline pixel n: black, black, black, grey, white, white, white, grey.
TColor32 DashColor(int n);

// Paints the whole tile picture into `buffer` (which keeps its size): button-face fill, the
// thumbnail by its own filter and draw mode, the frame (red for the face picture) and the crop
// outline. An empty thumbnail leaves the fill alone.
void PaintTilePicture(TBitmap32& buffer, const TBitmap32& thumb, const TPictureItem& picture,
                      TColor32 buttonFace);

}  // namespace galerion::ui
