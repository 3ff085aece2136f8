#include "image/resample_kernels.h"

#include <algorithm>
#include <bit>
#include <cstddef>

namespace galerion::detail {

namespace {

void VerticalPassPortable(const TColor32* const* rows, const std::int32_t* weights, int taps,
                          int count, std::int32_t* buffer) {
    const std::ptrdiff_t samples = 4 * static_cast<std::ptrdiff_t>(count);
    std::fill(buffer, buffer + samples, 0);
    for (int t = 0; t < taps; ++t) {
        const std::int32_t w = weights[t];
        if constexpr (std::endian::native == std::endian::little) {
            // The pixel's bytes are its channels from the low one up, the buffer's order: one
            // flat widening multiply-add that the compiler turns into vector code.
            const std::uint8_t* bytes = reinterpret_cast<const std::uint8_t*>(rows[t]);
            for (std::ptrdiff_t k = 0; k < samples; ++k) buffer[k] += bytes[k] * w;
        } else {
            const TColor32* row = rows[t];
            for (int x = 0; x < count; ++x) {
                const TColor32 c = row[x];
                std::int32_t* b = buffer + 4 * x;
                b[0] += static_cast<std::int32_t>(c & 0xFF) * w;
                b[1] += static_cast<std::int32_t>((c >> 8) & 0xFF) * w;
                b[2] += static_cast<std::int32_t>((c >> 16) & 0xFF) * w;
                b[3] += static_cast<std::int32_t>(c >> 24) * w;
            }
        }
    }
}

inline TColor32 ChannelOf(std::int32_t sum, bool clamp) {
    if (clamp) return static_cast<TColor32>(std::clamp<std::int32_t>(sum, 0, 255 * 65536) >> 16);
    return (static_cast<std::uint32_t>(sum) >> 16) & 0xFF;
}

void HorizontalPassPortable(const std::int32_t* buffer, const int* starts, const int* positions,
                            const std::int32_t* weights, int count, bool clamp, TColor32* out) {
    for (int i = 0; i < count; ++i) {
        std::int32_t s0 = 0, s1 = 0, s2 = 0, s3 = 0;
        for (int e = starts[i]; e < starts[i + 1]; ++e) {
            const std::int32_t* b = buffer + 4 * positions[e];
            const std::int32_t w = weights[e];
            s0 += b[0] * w;
            s1 += b[1] * w;
            s2 += b[2] * w;
            s3 += b[3] * w;
        }
        out[i] = ChannelOf(s0, clamp) | (ChannelOf(s1, clamp) << 8) | (ChannelOf(s2, clamp) << 16) |
                 (ChannelOf(s3, clamp) << 24);
    }
}

}  // namespace

TResampleKernels PortableKernels() { return {VerticalPassPortable, HorizontalPassPortable}; }

bool ProcessorHasAvx2() {
#if defined(__x86_64__) || defined(__i386__)
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

TResampleKernels BestKernels() { return ProcessorHasAvx2() ? Avx2Kernels() : PortableKernels(); }

}  // namespace galerion::detail
