#pragma once
// The pixels of the full-size view: where the picture lies in the view (fitted or scaled),
// drawing only the part of it the view shows, and the crop frame's raised bevel. Works on
// rasters only, so the window paints the result one to one.
#include "image/bitmap32.h"
#include "ui/fullsize/crop_rule.h"

namespace galerion::ui {

// Fitted into a control of controlWidth x controlHeight, proportions kept, centred.
TRect FittedPictureRect(int controlWidth, int controlHeight, int pictureWidth, int pictureHeight);
// At `scale` from the top-left corner, shifted by the scroll position.
TRect ScaledPictureRect(int pictureWidth, int pictureHeight, double scale, int scrollX,
                        int scrollY);
// Round(extent * scale), never below 1 for a picture that has pixels.
int ScaledExtent(int extent, double scale);

// Maps picture pixel coordinates to view pixels and back for a picture drawn into pictureRect.
class TPictureMapping {
public:
    TPictureMapping(TRect pictureRect, int pictureWidth, int pictureHeight);

    float ToViewX(float x) const { return originX_ + x * zoomX_; }
    float ToViewY(float y) const { return originY_ + y * zoomY_; }
    float ToPictureDx(float dx) const { return dx / zoomX_; }
    float ToPictureDy(float dy) const { return dy / zoomY_; }
    bool Valid() const { return zoomX_ > 0 && zoomY_ > 0; }
    // The location on the view, each edge rounded half to even.
    TRect ViewRect(const TCropLocation& location) const;

private:
    float originX_, originY_, zoomX_ = 0, zoomY_ = 0;
};

// Fills `view` with `background` and draws the picture into pictureRect with the picture's
// StretchFilter. Only the view's pixels are computed: a rectangle far larger than the view
// costs the view's size, and each pixel equals the one a whole drawing would put there.
void DrawPictureView(const TBitmap32& picture, TBitmap32& view, TRect pictureRect,
                     TColor32 background);

// Five one-pixel rings just inside `rect`, outermost first with contrast 35, 27, 19, 11, 3: top
// and left lines blend in white, bottom and right lines black (each ring's far corners are
// black), so the frame looks raised at any zoom.
void DrawRaisedBevel(TBitmap32& target, TRect rect);

// The alphas of one ring of the bevel.
int BevelWhiteAlpha(int contrast);
int BevelBlackAlpha(int contrast);

}  // namespace galerion::ui
