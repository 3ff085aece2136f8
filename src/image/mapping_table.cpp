#include "image/mapping_table.h"

#include <algorithm>
#include <cmath>

namespace galerion {

namespace {

// Every step below is single precision, as the output files are defined by it: each
// intermediate is a float before the next operation sees it.
constexpr float kPi = 3.14159265358979323846f;

float Sinc(float u) {
    if (u == 0.0f) return 1.0f;
    const float x = kPi * u;
    return std::sin(x) / x;
}

float Linear(float t) { return t < 1.0f ? 1.0f - t : 0.0f; }

float Spline(float t) {
    if (t < 1.0f) {
        const float t2 = t * t;
        const float t3 = t2 * t;
        return t3 / 2.0f - t2 + 2.0f / 3.0f;
    }
    if (t < 2.0f) {
        const float u = 2.0f - t;
        return u * u * u / 6.0f;
    }
    return 0.0f;
}

float Lanczos(float t) { return t < 3.0f ? Sinc(t) * Sinc(t / 3.0f) : 0.0f; }

float Mitchell(float t) {
    const float t2 = t * t;
    const float t3 = t2 * t;
    if (t < 1.0f) return (7.0f * t3 - 12.0f * t2 + 16.0f / 3.0f) / 6.0f;
    if (t < 2.0f) return (-7.0f / 3.0f * t3 + 12.0f * t2 - 20.0f * t + 32.0f / 3.0f) / 6.0f;
    return 0.0f;
}

int RoundToInt(float value) { return static_cast<int>(std::nearbyintf(value)); }

void Normalise(TCluster& cluster) {
    int sum = 0;
    for (const TClusterEntry& e : cluster) sum += e.Weight;
    if (sum != kWeightOne) cluster[(cluster.size() - 1) / 2].Weight -= sum - kWeightOne;
}

TCluster ClusterAt(int i, float g, float reciprocal, int n, TStretchFilter filter) {
    const float c = static_cast<float>(i) * reciprocal;
    const float radius = static_cast<float>(FilterRadius(filter));
    const bool enlarging = g >= 1.0f;
    const float reach = enlarging ? radius : radius / g;
    const int first = static_cast<int>(std::floor(c - reach));
    const int last = static_cast<int>(std::ceil(c + reach));
    TCluster cluster;
    for (int k = first; k <= last; ++k) {
        const float distance = c - static_cast<float>(k);
        const int weight = enlarging ? RoundToInt(256.0f * FilterKernel(filter, distance))
                                     : RoundToInt(g * FilterKernel(filter, g * distance) * 256.0f);
        if (weight != 0) cluster.push_back({std::clamp(k, 0, n - 1), weight});
    }
    if (cluster.empty())
        cluster.push_back({std::clamp(static_cast<int>(std::floor(c)), 0, n - 1), kWeightOne});
    Normalise(cluster);
    return cluster;
}

}  // namespace

int FilterRadius(TStretchFilter filter) {
    switch (filter) {
        case sfNearest: return 0;
        case sfLinear: return 1;
        case sfSpline: return 2;
        case sfLanczos: return 3;
        case sfMitchell: return 2;
    }
    return 0;
}

float FilterKernel(TStretchFilter filter, float x) {
    const float t = std::fabs(x);
    switch (filter) {
        case sfNearest: return 0.0f;
        case sfLinear: return Linear(t);
        case sfSpline: return Spline(t);
        case sfLanczos: return Lanczos(t);
        case sfMitchell: return Mitchell(t);
    }
    return 0.0f;
}

TMappingTable BuildMappingTable(int n, int m, TStretchFilter filter) {
    TMappingTable table(static_cast<std::size_t>(std::max(m, 0)));
    if (m < 1 || n < 1) return table;
    if (n == 1) {
        for (TCluster& cluster : table) cluster = {{0, kWeightOne}};
        return table;
    }
    const float g = static_cast<float>(m - 1) / static_cast<float>(n - 1);
    if (g == 0.0f) {
        table[0] = {{n / 2, kWeightOne}};
        return table;
    }
    const float reciprocal = 1.0f / g;
    for (int i = 0; i < m; ++i)
        table[static_cast<std::size_t>(i)] = ClusterAt(i, g, reciprocal, n, filter);
    return table;
}

}  // namespace galerion
