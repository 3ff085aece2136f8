#include "ui/fullsize/drawing_ahead.h"

#include "image/jpeg_codec.h"
#include "image/mapping_table.h"
#include "image/stretch_draw.h"
#include "ui/fullsize/view_drawing.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <exception>
#include <thread>

namespace galerion::ui {
namespace {

// Each band builds the filter's tables afresh, so bands are few: at least this many rows, or
// all that the decoded rows allow when more.
constexpr int kMinimumBandRows = 96;

// Waits until `rows` rows are decoded or the decoder is finished or gave up; the rows
// decoded by then.
int WaitForRows(const std::atomic<int>& done, const std::atomic<bool>& finished, int rows) {
    for (;;) {
        const int now = done.load(std::memory_order_acquire);
        if (now >= rows) return now;
        // The last count was published before `finished`: read it again.
        if (finished.load(std::memory_order_acquire)) return done.load(std::memory_order_acquire);
        done.wait(now, std::memory_order_acquire);
    }
}

// Destination rows (from the picture's top) that the decoded source rows allow.
int DrawableRows(int decoded, int sourceHeight, int pictureHeight, TStretchFilter filter) {
    if (decoded >= sourceHeight) return pictureHeight;
    int rows = 0;
    while (rows < pictureHeight &&
           LastSourceRowNeeded(rows, sourceHeight, pictureHeight, filter) < decoded)
        ++rows;
    return rows;
}

void DrawRows(const TBitmap32& picture, int width, int height, TFittedDrawing& drawing, int first,
              int end, TBitmap32& band) {
    const TRect rect = drawing.PictureRect;
    const int top = rect.Top + first, rows = end - first;
    band.SetSizeForOverwrite(drawing.ViewWidth, rows);
    std::fill(band.Bits(), band.Bits() + band.PixelCount(), drawing.Background);
    StretchDraw(picture, band, {rect.Left, rect.Top - top, rect.Right, rect.Bottom - top},
                {0, 0, width, height});
    std::memcpy(drawing.View.ScanLine(top), band.Bits(), band.PixelCount() * sizeof(TColor32));
}

// Draws the picture part of `drawing` in bands as the rows it reads arrive. Rows are
// independent in every drawing path, so a band drawn alone has the pixels of the whole drawing.
// False when the decoder stopped before the rows it needed.
bool DrawBands(const TBitmap32& picture, int width, int height, TFittedDrawing& drawing,
               const std::atomic<int>& done, const std::atomic<bool>& finished) {
    const TRect rect = drawing.PictureRect;
    const int pictureHeight = rect.Bottom - rect.Top;
    const TStretchFilter filter = picture.StretchFilter;
    TBitmap32 band;
    band.StretchFilter = filter;
    int drawn = 0;
    while (drawn < pictureHeight) {
        const int want = std::min(pictureHeight, drawn + kMinimumBandRows);
        const int decoded = WaitForRows(
            done, finished, LastSourceRowNeeded(want - 1, height, pictureHeight, filter) + 1);
        const int end = std::max(want, DrawableRows(decoded, height, pictureHeight, filter));
        if (LastSourceRowNeeded(end - 1, height, pictureHeight, filter) >= decoded) return false;
        DrawRows(picture, width, height, drawing, drawn, end, band);
        drawn = end;
    }
    return true;
}

}  // namespace

int LastSourceRowNeeded(int row, int sourceExtent, int destinationExtent, TStretchFilter filter) {
    if (destinationExtent < 2 || sourceExtent < 2) return sourceExtent - 1;
    const double centre = static_cast<double>(row) * (sourceExtent - 1) / (destinationExtent - 1);
    const double stretch = std::max(1.0, static_cast<double>(sourceExtent) / destinationExtent);
    const double reach = (FilterRadius(filter) + 1) * stretch;
    return std::min(sourceExtent - 1, static_cast<int>(std::ceil(centre + reach)) + 1);
}

void LoadPictureDrawingFitted(TBitmap32& picture, const std::string& path,
                              TFittedDrawing& drawing) {
    if (drawing.ViewWidth < 1 || drawing.ViewHeight < 1) {
        LoadPicture(picture, path);
        drawing.View.Release();
        return;
    }
    const TJpegSize size = ReadJpegSize(path);
    drawing.PictureRect =
        FittedPictureRect(drawing.ViewWidth - 1, drawing.ViewHeight - 1, size.Width, size.Height);
    drawing.View.SetSizeForOverwrite(drawing.ViewWidth, drawing.ViewHeight);
    std::fill(drawing.View.Bits(), drawing.View.Bits() + drawing.View.PixelCount(),
              drawing.Background);
    std::atomic<int> done{0};
    std::atomic<bool> finished{false};
    std::exception_ptr drawError;
    bool complete = false;
    std::thread drawer([&] {
        try {
            complete = WaitForRows(done, finished, 1) > 0 &&
                       DrawBands(picture, size.Width, size.Height, drawing, done, finished);
        } catch (...) {
            drawError = std::current_exception();
        }
    });
    // The drawer is told that nothing more will come, whether the decoder ended or failed.
    auto finish = [&] {
        finished.store(true, std::memory_order_release);
        done.notify_all();
        drawer.join();
    };
    try {
        LoadPicture(picture, path, &done);
    } catch (...) {
        finish();
        throw;
    }
    finish();
    if (drawError) std::rethrow_exception(drawError);
    // A photo whose size changed between the header and the decode: drawn afterwards instead.
    if (!complete || picture.Width() != size.Width || picture.Height() != size.Height) {
        drawing.PictureRect = FittedPictureRect(drawing.ViewWidth - 1, drawing.ViewHeight - 1,
                                                picture.Width(), picture.Height());
        DrawPictureView(picture, drawing.View, drawing.PictureRect, drawing.Background);
    }
}

}  // namespace galerion::ui
