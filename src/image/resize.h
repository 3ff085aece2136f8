#pragma once
// Fitting a picture into a target box without changing its proportions.
#include "core/processing_log.h"
#include "image/bitmap32.h"
#include "image/colour_profile.h"

#include <string>

namespace galerion {

// The factor that fits width x height into the box: box height / height when the box is
// relatively wider than the picture, box width / width otherwise. Ratios in extended precision.
// A side below 1 raises RangeError.
double FitScale(int width, int height, int boxWidth, int boxHeight);

struct TFittedSize {
    int Width, Height;
};
// Round(width * scale) x Round(height * scale), products in extended precision, halves to even;
// a side that rounds to 0 becomes 1.
TFittedSize FittedSize(int width, int height, double scale);

// Sets the target to the fitted size and fills it from the whole source with `filter` (which
// both rasters keep). A picture smaller than the box keeps its size when `keepSmaller` (the
// Upscale setting) is set, and is enlarged otherwise; either way a warning names
// `nameForMessages`.
void ResizeIntoBox(const std::string& nameForMessages, TBitmap32& source, TBitmap32& target,
                   int boxWidth, int boxHeight, bool keepSmaller, TStretchFilter filter,
                   TProcessingLog& log);

// Loads the photo, fits it into the box and writes it as a JPEG of the default quality. Both
// rasters are released at the end.
void MakeWorkingThumbnail(const std::string& sourcePath, const std::string& targetPath,
                          int boxWidth, int boxHeight, bool keepSmaller, TStretchFilter filter,
                          TProcessingLog& log);

// The rasters of working thumbnails, kept by a caller that makes many of them: a photo-sized
// raster made afresh for every picture costs more in page faults than the scaling itself.
struct TThumbnailRasters {
    TBitmap32 Picture;
    TBitmap32 Thumbnail;
    TSrgbConversion Colour;
    // What is done with a photo's profile: thumbnails are shown in sRGB unless profiles are
    // ignored.
    TColourProfiles Mode = TColourProfiles::ToSrgb;
};
// The same, in the caller's rasters, which keep their memory for the next picture.
void MakeWorkingThumbnail(const std::string& sourcePath, const std::string& targetPath,
                          int boxWidth, int boxHeight, bool keepSmaller, TStretchFilter filter,
                          TProcessingLog& log, TThumbnailRasters& rasters);

}  // namespace galerion
