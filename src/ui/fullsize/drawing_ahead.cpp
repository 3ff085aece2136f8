#include "ui/fullsize/drawing_ahead.h"

#include "image/decode_alongside.h"
#include "image/jpeg_codec.h"
#include "image/orientation.h"
#include "image/oriented_load.h"
#include "image/stretch_draw.h"
#include "ui/fullsize/view_drawing.h"

#include <algorithm>
#include <climits>
#include <optional>

namespace galerion::ui {
namespace {

// Rows waited for at a time: few, so that little is left to draw when the last rows arrive.
constexpr int kBandRows = 16;
constexpr int kTransposeTile = 32;

// How the turned picture's drawing is made from the photo as decoded: a quarter turn is the
// photo transposed (drawn transposed, then the small drawing transposed back), every turn and
// mirror reads rows or columns backwards. The separable sums are exact and rounded once, so
// this gives the pixels of drawing the turned raster.
struct TTurnedReading {
    bool Transposed;
    TSourceReading Reading;
};

TTurnedReading ReadingFor(int code) {
    const bool mirror = code < 0;
    switch (TurnOf(code)) {
        case 2: return {true, {false, !mirror}};
        case 3: return {false, {!mirror, true}};
        case 4: return {true, {true, mirror}};
        default: return {false, {mirror, false}};
    }
}

// The rows of a drawing in the order their source rows arrive (backwards when the source is
// read backwards), drawn as soon as all they read is decoded.
class TRowsInArrivalOrder {
public:
    TRowsInArrivalOrder(TStretchDrawing& drawing, int rows)
        : drawing_(drawing),
          rows_(rows),
          backwards_(rows > 1 &&
                     drawing.LastSourceRowRead(0) > drawing.LastSourceRowRead(rows - 1)) {}

    bool Done() const { return drawn_ >= rows_; }
    // Enough for the whole next band, so that waiting for it always lets it be drawn.
    int NextRowsNeeded() const {
        int last = 0;
        for (int k = drawn_; k < std::min(rows_, drawn_ + kBandRows); ++k)
            last = std::max(last, drawing_.LastSourceRowRead(RowAt(k)));
        return last + 1;
    }
    void DrawUpTo(int decoded) {
        int end = drawn_;
        while (end < rows_ && drawing_.LastSourceRowRead(RowAt(end)) < decoded) ++end;
        if (end == drawn_) return;
        if (backwards_)
            drawing_.DrawRows(rows_ - end, rows_ - drawn_);
        else
            drawing_.DrawRows(drawn_, end);
        drawn_ = end;
    }

private:
    int RowAt(int k) const { return backwards_ ? rows_ - 1 - k : k; }

    TStretchDrawing& drawing_;
    int rows_;
    bool backwards_;
    int drawn_ = 0;
};

// Turns the decoded rows and draws `drawnRows` rows of the drawing, each once the rows it reads
// have arrived; called once the decoder has published rows. False when the decoder stopped
// early or the photo is not the header's size: the turn then finishes after the load.
bool TurnAndDrawAsDecoded(const TBitmap32& picture, TJpegSize size, TOrientedRows& turned,
                          TStretchDrawing& stretch, int drawnRows, const TDecodedRows& rows) {
    const bool drawable = picture.Width() == size.Width && picture.Height() == size.Height;
    std::optional<TRowsInArrivalOrder> drawing;
    if (drawable) drawing.emplace(stretch, drawnRows);
    auto drawingDone = [&] { return !drawing || drawing->Done(); };
    while (!turned.Done() || !drawingDone()) {
        const int need = std::min(turned.Done() ? INT_MAX : turned.NextRowsNeeded(),
                                  drawingDone() ? INT_MAX : drawing->NextRowsNeeded());
        const int decoded = rows.WaitFor(need);
        if (decoded < need) return false;
        turned.MapUpTo(decoded);
        if (drawing) drawing->DrawUpTo(decoded);
    }
    return drawable;
}

// `drawn` (rect's height x width) into `view` at `rect`, rows becoming columns.
void TransposeInto(const TBitmap32& drawn, TBitmap32& view, TRect rect) {
    const int width = rect.Right - rect.Left, height = rect.Bottom - rect.Top;
    for (int y0 = 0; y0 < height; y0 += kTransposeTile)
        for (int x0 = 0; x0 < width; x0 += kTransposeTile)
            for (int y = y0; y < std::min(height, y0 + kTransposeTile); ++y) {
                TColor32* out = view.ScanLine(rect.Top + y) + rect.Left;
                for (int x = x0; x < std::min(width, x0 + kTransposeTile); ++x)
                    out[x] = drawn.Pixel(y, x);
            }
}

}  // namespace

void LoadPictureDrawingFitted(TBitmap32& picture, const std::string& path, int orientation,
                              TFittedDrawing& drawing) {
    if (drawing.ViewWidth < 1 || drawing.ViewHeight < 1) {
        LoadPictureOriented(picture, path, orientation, drawing.Colour);
        drawing.View.Release();
        return;
    }
    const TJpegSize size = ReadJpegSize(path);
    const TTurnedReading how = ReadingFor(orientation);
    const int turnedWidth = how.Transposed ? size.Height : size.Width;
    const int turnedHeight = how.Transposed ? size.Width : size.Height;
    const TRect rect =
        FittedPictureRect(drawing.ViewWidth - 1, drawing.ViewHeight - 1, turnedWidth, turnedHeight);
    drawing.PictureRect = rect;
    drawing.View.SetSizeForOverwrite(drawing.ViewWidth, drawing.ViewHeight);
    std::fill(drawing.View.Bits(), drawing.View.Bits() + drawing.View.PixelCount(),
              drawing.Background);
    // A transposed drawing is made apart and copied in afterwards.
    TBitmap32 transposed;
    TBitmap32& target = how.Transposed ? transposed : drawing.View;
    const int width = rect.Right - rect.Left, height = rect.Bottom - rect.Top;
    const TRect targetRect = how.Transposed ? TRect{0, 0, height, width} : rect;
    if (how.Transposed) transposed.SetSizeForOverwrite(height, width);

    TOrientedRows turned(picture, orientation, size.Width, size.Height);
    bool complete = false;
    LoadPictureAlongside(
        picture, path,
        [&](const TDecodedRows& rows) {
            if (rows.WaitFor(1) < 1) return;
            TStretchDrawing stretch(picture, target, targetRect, {0, 0, size.Width, size.Height},
                                    how.Reading);
            // A drawing that does not transpose exactly is made after the load; the turn goes on.
            const bool exact = !how.Transposed || stretch.TransposesExactly();
            const int drawnRows = exact ? targetRect.Bottom - targetRect.Top : 0;
            complete =
                TurnAndDrawAsDecoded(picture, size, turned, stretch, drawnRows, rows) && exact;
        },
        drawing.Colour);
    turned.Finish();
    if (complete && how.Transposed) TransposeInto(transposed, drawing.View, rect);
    // Not drawn ahead: drawn now from the turned picture.
    if (!complete) {
        drawing.PictureRect = FittedPictureRect(drawing.ViewWidth - 1, drawing.ViewHeight - 1,
                                                picture.Width(), picture.Height());
        DrawPictureView(picture, drawing.View, drawing.PictureRect, drawing.Background);
    }
}

}  // namespace galerion::ui
