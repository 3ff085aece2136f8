#pragma once
// Resampling filters and the per-axis tables of the separable resampler: for every destination
// column (or row) the source positions it reads and their weights.
#include "image/bitmap32.h"

#include <vector>

namespace galerion {

// Weights are 8.8 fixed point: 256 stands for 1. A pixel channel (8 bits) times a weight fits
// in 16 bits, a line-buffer sum in 24, and a horizontal sum of the buffer in 32 bits with room
// for the overshoot of negative lobes.
inline constexpr int kWeightOne = 256;

struct TClusterEntry {
    int Position;
    int Weight;
};
using TCluster = std::vector<TClusterEntry>;
using TMappingTable = std::vector<TCluster>;

// The kernel radius (0 for sfNearest, which has no kernel).
int FilterRadius(TStretchFilter filter);
// The kernel at x, in single precision.
float FilterKernel(TStretchFilter filter, float x);

// The table for a source extent n and destination extent m (both at least 1). The first and last
// destination positions fall on the first and last source positions; reductions stretch the
// kernel; every cluster's weights sum to exactly 256.
TMappingTable BuildMappingTable(int sourceExtent, int destinationExtent, TStretchFilter filter);

}  // namespace galerion
