#include "ui/fullsize/drawing_ahead.h"

#include "image/jpeg_codec.h"
#include "image/mapping_table.h"
#include "image/stretch_draw.h"
#include "ui/fullsize/view_drawing.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <thread>

namespace galerion::ui {
namespace {

// Rows drawn at a time: small, so that little is left to draw when the last rows arrive.
constexpr int kBandRows = 16;

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

// Draws the picture part of `drawing` band by band as the rows it reads arrive. The tables are
// built once and nothing is allocated while the decoder fills the fresh raster beside it.
// False when the decoder stopped before the rows it needed or the raster is not the size the
// header gave.
bool DrawBands(const TBitmap32& picture, int width, int height, TFittedDrawing& drawing,
               const std::atomic<int>& done, const std::atomic<bool>& finished) {
    if (picture.Width() != width || picture.Height() != height) return false;
    const TRect rect = drawing.PictureRect;
    const int pictureHeight = rect.Bottom - rect.Top;
    const TStretchFilter filter = picture.StretchFilter;
    auto drawable = [&](int row, int decoded) {
        return LastSourceRowNeeded(row, height, pictureHeight, filter) < decoded;
    };
    TStretchDrawing stretch(picture, drawing.View, rect, {0, 0, width, height});
    int drawn = 0;
    while (drawn < pictureHeight) {
        const int want = std::min(pictureHeight, drawn + kBandRows);
        const int decoded = WaitForRows(
            done, finished, LastSourceRowNeeded(want - 1, height, pictureHeight, filter) + 1);
        int end = drawn;
        while (end < pictureHeight && drawable(end, decoded)) ++end;
        if (end < want) return false;
        stretch.DrawRows(drawn, end);
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
