#include "ui/fullsize/drawing_ahead.h"

#include "image/decode_alongside.h"
#include "image/jpeg_codec.h"
#include "image/mapping_table.h"
#include "image/stretch_draw.h"
#include "ui/fullsize/view_drawing.h"

#include <algorithm>
#include <cmath>

namespace galerion::ui {
namespace {

// Rows drawn at a time: small, so that little is left to draw when the last rows arrive.
constexpr int kBandRows = 16;

// Draws the picture part of `drawing` band by band as the rows it reads arrive. The tables are
// built once and nothing is allocated while the decoder fills the fresh raster beside it.
// False when the decoder stopped before the rows it needed or the raster is not the size the
// header gave.
bool DrawBands(const TBitmap32& picture, int width, int height, TFittedDrawing& drawing,
               const TDecodedRows& rows) {
    if (rows.WaitFor(1) < 1 || picture.Width() != width || picture.Height() != height) return false;
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
        const int decoded =
            rows.WaitFor(LastSourceRowNeeded(want - 1, height, pictureHeight, filter) + 1);
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
    bool complete = false;
    LoadPictureAlongside(picture, path, [&](const TDecodedRows& rows) {
        complete = DrawBands(picture, size.Width, size.Height, drawing, rows);
    });
    // A photo whose size changed between the header and the decode: drawn afterwards instead.
    if (!complete || picture.Width() != size.Width || picture.Height() != size.Height) {
        drawing.PictureRect = FittedPictureRect(drawing.ViewWidth - 1, drawing.ViewHeight - 1,
                                                picture.Width(), picture.Height());
        DrawPictureView(picture, drawing.View, drawing.PictureRect, drawing.Background);
    }
}

}  // namespace galerion::ui
