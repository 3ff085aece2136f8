#pragma once
// Photo-like pictures for benchmarks: shading, texture and noise, so the codec works about as
// hard as on a camera picture.
#include "image/bitmap32.h"

#include <string>

namespace galerion::test {

// Smooth light and colour with fine noise, varied by `seed`; written at quality 92.
void WritePhoto(const std::string& path, int width, int height, int seed);

// Two smooth gradients over a constant blue, so that lossy encoders keep it close.
TBitmap32 SmoothGradient(int width, int height, int blue);

// Gradients with a texture and sensor-like noise.
TBitmap32 TexturedPhoto(int width, int height);

}  // namespace galerion::test
