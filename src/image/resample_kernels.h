#pragma once
// The inner loops of the separable resampler, kept apart so that a vector version can be chosen
// at run time. Every version gives the same integers as the plain loops: the sums are exact
// 32-bit integer sums (no overflow is possible with 8.8 weights), only their grouping differs.
#include "image/bitmap32.h"

#include <cstdint>

namespace galerion::detail {

// The line buffer of one destination row: for each of `count` pixels x and each channel c (the
// bytes of TColor32 from the low one up), buffer[4x + c] = sum over t < taps of
// channel c of rows[t][x] times weights[t].
using TVerticalPass = void (*)(const TColor32* const* rows, const std::int32_t* weights, int taps,
                               int count, std::int32_t* buffer);

// For `count` destination pixels: the sum over entries [starts[i], starts[i+1]) of
// buffer[4 * position + c] * weight per channel, then either clamped to 0 .. 255 * 65536 and
// shifted (filters with negative lobes) or reduced to bits 16-23.
using THorizontalPass = void (*)(const std::int32_t* buffer, const int* starts,
                                 const int* positions, const std::int32_t* weights, int count,
                                 bool clamp, TColor32* out);

struct TResampleKernels {
    TVerticalPass verticalPass;
    THorizontalPass horizontalPass;
};

TResampleKernels PortableKernels();
// The AVX2 versions; only to be called where the processor has AVX2.
TResampleKernels Avx2Kernels();
bool ProcessorHasAvx2();
// The fastest set this processor runs.
TResampleKernels BestKernels();

}  // namespace galerion::detail
