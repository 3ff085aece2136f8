#include "image/resize.h"

#include "core/log_messages.h"
#include "core/numbers.h"
#include "image/jpeg_codec.h"
#include "image/stretch_draw.h"
#include "platform/errors.h"

#include <algorithm>
#include <vector>

namespace galerion {

namespace {

// FitScale after the upscale rule; `smaller` tells whether the picture was smaller than the box.
double BoxScale(int width, int height, int boxWidth, int boxHeight, bool keepSmaller,
                bool& smaller) {
    double scale = FitScale(width, height, boxWidth, boxHeight);
    smaller = scale > 1.0;
    if (smaller && keepSmaller) scale = 1.0;
    return scale;
}

int FittedSide(int side, double scale) {
    const long long fitted =
        Round(static_cast<long double>(side) * static_cast<long double>(scale));
    return static_cast<int>(std::max(fitted, 1LL));
}

void DrawFitted(TBitmap32& source, TBitmap32& target, double scale) {
    const TFittedSize size = FittedSize(source.Width(), source.Height(), scale);
    target.SetSize(size.Width, size.Height);
    StretchDraw(source, target, TRect{0, 0, size.Width, size.Height},
                TRect{0, 0, source.Width(), source.Height()});
}

// Nearest-pixel scaling reads one photo row per thumbnail row: only those rows are decoded, into
// a raster of the thumbnail's height, which then maps row for row. The pixels are the same as
// from the whole photo.
void MakeNearestThumbnail(const std::string& sourcePath, const std::string& targetPath,
                          int boxWidth, int boxHeight, bool keepSmaller, TProcessingLog& log,
                          TThumbnailRasters& rasters) {
    TBitmap32& rows = rasters.Picture;
    bool smaller = false;
    TFittedSize fitted{0, 0};
    int photoWidth = 0;
    LoadPictureRows(rows, sourcePath,
                    [&](int width, int height) {
                        const double scale =
                            BoxScale(width, height, boxWidth, boxHeight, keepSmaller, smaller);
                        fitted = FittedSize(width, height, scale);
                        photoWidth = width;
                        std::vector<int> chosen(static_cast<std::size_t>(fitted.Height));
                        for (int j = 0; j < fitted.Height; ++j)
                            chosen[static_cast<std::size_t>(j)] =
                                NearestSourcePosition(j, height, fitted.Height);
                        return chosen;
                    },
                    {rasters.Mode, &rasters.Colour});
    rows.StretchFilter = sfNearest;
    if (smaller)
        log.AddLogLine(msg::SmallerThanBox(keepSmaller, sourcePath, targetPath),
                       msg::kLevelWarning);
    TBitmap32& thumbnail = rasters.Thumbnail;
    thumbnail.StretchFilter = sfNearest;
    thumbnail.SetSize(fitted.Width, fitted.Height);
    StretchDraw(rows, thumbnail, TRect{0, 0, fitted.Width, fitted.Height},
                TRect{0, 0, photoWidth, fitted.Height});
    SaveJpeg(thumbnail, kDefaultJpegQuality, targetPath);
}

}  // namespace

double FitScale(int width, int height, int boxWidth, int boxHeight) {
    if (width < 1 || height < 1 || boxWidth < 1 || boxHeight < 1)
        throw RangeError("Cannot fit a " + std::to_string(width) + " x " + std::to_string(height) +
                         " picture into a " + std::to_string(boxWidth) + " x " +
                         std::to_string(boxHeight) + " box");
    const long double boxRatio = static_cast<long double>(boxWidth) / boxHeight;
    const long double pictureRatio = static_cast<long double>(width) / height;
    const long double scale = boxRatio > pictureRatio ? static_cast<long double>(boxHeight) / height
                                                      : static_cast<long double>(boxWidth) / width;
    return static_cast<double>(scale);
}

TFittedSize FittedSize(int width, int height, double scale) {
    return TFittedSize{FittedSide(width, scale), FittedSide(height, scale)};
}

void ResizeIntoBox(const std::string& nameForMessages, TBitmap32& source, TBitmap32& target,
                   int boxWidth, int boxHeight, bool keepSmaller, TStretchFilter filter,
                   TProcessingLog& log) {
    bool smaller = false;
    const double scale =
        BoxScale(source.Width(), source.Height(), boxWidth, boxHeight, keepSmaller, smaller);
    if (smaller)
        log.AddLogLine(msg::SmallerThanBox(keepSmaller, nameForMessages), msg::kLevelWarning);
    source.StretchFilter = filter;
    target.StretchFilter = filter;
    DrawFitted(source, target, scale);
}

void MakeWorkingThumbnail(const std::string& sourcePath, const std::string& targetPath,
                          int boxWidth, int boxHeight, bool keepSmaller, TStretchFilter filter,
                          TProcessingLog& log, TThumbnailRasters& rasters) {
    if (filter == sfNearest) {
        MakeNearestThumbnail(sourcePath, targetPath, boxWidth, boxHeight, keepSmaller, log,
                             rasters);
        return;
    }
    TBitmap32& picture = rasters.Picture;
    LoadPicture(picture, sourcePath, {rasters.Mode, &rasters.Colour});
    picture.StretchFilter = filter;
    bool smaller = false;
    const double scale =
        BoxScale(picture.Width(), picture.Height(), boxWidth, boxHeight, keepSmaller, smaller);
    if (smaller)
        log.AddLogLine(msg::SmallerThanBox(keepSmaller, sourcePath, targetPath),
                       msg::kLevelWarning);
    rasters.Thumbnail.StretchFilter = filter;
    DrawFitted(picture, rasters.Thumbnail, scale);
    SaveJpeg(rasters.Thumbnail, kDefaultJpegQuality, targetPath);
}

void MakeWorkingThumbnail(const std::string& sourcePath, const std::string& targetPath,
                          int boxWidth, int boxHeight, bool keepSmaller, TStretchFilter filter,
                          TProcessingLog& log) {
    TThumbnailRasters rasters;
    MakeWorkingThumbnail(sourcePath, targetPath, boxWidth, boxHeight, keepSmaller, filter, log,
                         rasters);
}

}  // namespace galerion
