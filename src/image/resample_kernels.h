#pragma once
// The inner loops of the separable resampler, kept apart so that a vector version can be chosen
// at run time. Every version gives the same integers as the plain loops: the sums are exact
// 32-bit integer sums, only their grouping differs.
#include "image/bitmap32.h"

#include <cstdint>

namespace galerion::detail {

// One source row's contribution to the line buffer: for each of `count` pixels and each of the
// four channels (byte order of TColor32 from the low byte up), buffer += channel * weight.
using TAccumulateRow = void (*)(const TColor32* row, int count, int weight, std::int32_t* buffer);

// For `count` destination pixels: the sum over entries [starts[i], starts[i+1]) of
// buffer[position] * weight per channel, then either clamped to 0 .. 255 * 65536 and shifted
// (filters with negative lobes) or reduced to bits 16-23.
using THorizontalPass = void (*)(const std::int32_t* buffer, const int* starts, const int* positions,
                                 const int* weights, int count, bool clamp, TColor32* out);

struct TResampleKernels {
    TAccumulateRow accumulateRow;
    THorizontalPass horizontalPass;
};

TResampleKernels PortableKernels();
// The fastest set this processor runs (AVX2 when present).
TResampleKernels BestKernels();

}  // namespace galerion::detail
