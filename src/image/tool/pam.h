#pragma once
// Portable arbitrary maps (P7) with the RGB_ALPHA tuple type: a lossless way in and out of the
// image tool for scripts that compare pixels.
#include "image/bitmap32.h"

#include <string>

namespace galerion {

// True when the file starts with the P7 signature.
bool IsPamFile(const std::string& path);
// Reads RGB_ALPHA (or RGB, alpha 255) at MAXVAL 255; anything else raises ImageError.
void LoadPam(TBitmap32& bitmap, const std::string& path);
// Writes RGB_ALPHA; the file appears complete or not at all.
void SavePam(const TBitmap32& bitmap, const std::string& path);

}  // namespace galerion
