// Built with AVX2 enabled; reached only through BestKernels on processors that have it.
#include "image/resample_kernels.h"

#if defined(__AVX2__)
#include <immintrin.h>

#include <vector>

namespace galerion::detail {

namespace {

// Two source rows at a time: their bytes are interleaved and widened to 16 bits, so one
// multiply-add per channel pair gives row0 * w0 + row1 * w1 exactly in 32 bits.
struct TTapPair {
    const TColor32* first;
    const TColor32* second;
    __m256i weights;
};

inline void AddFourPixels(const TTapPair& pair, int x, __m256i& low, __m256i& high) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pair.first + x));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pair.second + x));
    low = _mm256_add_epi32(
        low, _mm256_madd_epi16(_mm256_cvtepu8_epi16(_mm_unpacklo_epi8(a, b)), pair.weights));
    high = _mm256_add_epi32(
        high, _mm256_madd_epi16(_mm256_cvtepu8_epi16(_mm_unpackhi_epi8(a, b)), pair.weights));
}

void ScalarPixel(const TColor32* const* rows, const std::int32_t* weights, int taps, int x,
                 std::int32_t* b) {
    std::int32_t s0 = 0, s1 = 0, s2 = 0, s3 = 0;
    for (int t = 0; t < taps; ++t) {
        const TColor32 c = rows[t][x];
        s0 += static_cast<std::int32_t>(c & 0xFF) * weights[t];
        s1 += static_cast<std::int32_t>((c >> 8) & 0xFF) * weights[t];
        s2 += static_cast<std::int32_t>((c >> 16) & 0xFF) * weights[t];
        s3 += static_cast<std::int32_t>(c >> 24) * weights[t];
    }
    b[0] = s0, b[1] = s1, b[2] = s2, b[3] = s3;
}

void VerticalPassAvx2(const TColor32* const* rows, const std::int32_t* weights, int taps, int count,
                      std::int32_t* buffer) {
    std::vector<TTapPair> pairs;
    pairs.reserve(static_cast<std::size_t>(taps + 1) / 2);
    for (int t = 0; t < taps; t += 2) {
        const bool odd = t + 1 == taps;  // the last row pairs with itself at weight 0
        const std::uint32_t w0 = static_cast<std::uint16_t>(weights[t]);
        const std::uint32_t w1 = odd ? 0u : static_cast<std::uint16_t>(weights[t + 1]);
        pairs.push_back({rows[t], odd ? rows[t] : rows[t + 1],
                         _mm256_set1_epi32(static_cast<int>(w0 | (w1 << 16)))});
    }
    int x = 0;
    for (; x + 8 <= count; x += 8) {
        __m256i a0 = _mm256_setzero_si256(), a1 = a0, a2 = a0, a3 = a0;
        for (const TTapPair& pair : pairs) {
            AddFourPixels(pair, x, a0, a1);
            AddFourPixels(pair, x + 4, a2, a3);
        }
        __m256i* out = reinterpret_cast<__m256i*>(buffer + 4 * x);
        _mm256_storeu_si256(out, a0);
        _mm256_storeu_si256(out + 1, a1);
        _mm256_storeu_si256(out + 2, a2);
        _mm256_storeu_si256(out + 3, a3);
    }
    for (; x + 4 <= count; x += 4) {
        __m256i a0 = _mm256_setzero_si256(), a1 = a0;
        for (const TTapPair& pair : pairs) AddFourPixels(pair, x, a0, a1);
        __m256i* out = reinterpret_cast<__m256i*>(buffer + 4 * x);
        _mm256_storeu_si256(out, a0);
        _mm256_storeu_si256(out + 1, a1);
    }
    for (; x < count; ++x) ScalarPixel(rows, weights, taps, x, buffer + 4 * x);
}

inline __m128i LoadChannels(const std::int32_t* buffer, int position) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(buffer + 4 * position));
}

void HorizontalPassAvx2(const std::int32_t* buffer, const int* starts, const int* positions,
                        const std::int32_t* weights, int count, bool clamp, TColor32* out) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i top = _mm_set1_epi32(255 * 65536);
    const __m128i byteMask = _mm_set1_epi32(0xFF);
    for (int i = 0; i < count; ++i) {
        int e = starts[i];
        const int end = starts[i + 1];
        __m256i acc = _mm256_setzero_si256();
        for (; e + 2 <= end; e += 2) {
            const __m256i values =
                _mm256_inserti128_si256(_mm256_castsi128_si256(LoadChannels(buffer, positions[e])),
                                        LoadChannels(buffer, positions[e + 1]), 1);
            const __m256i w =
                _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_set1_epi32(weights[e])),
                                        _mm_set1_epi32(weights[e + 1]), 1);
            acc = _mm256_add_epi32(acc, _mm256_mullo_epi32(values, w));
        }
        __m128i sum = _mm_add_epi32(_mm256_castsi256_si128(acc), _mm256_extracti128_si256(acc, 1));
        if (e < end)
            sum = _mm_add_epi32(sum, _mm_mullo_epi32(LoadChannels(buffer, positions[e]),
                                                     _mm_set1_epi32(weights[e])));
        __m128i channels;
        if (clamp)
            channels = _mm_srli_epi32(_mm_min_epi32(_mm_max_epi32(sum, zero), top), 16);
        else
            channels = _mm_and_si128(_mm_srli_epi32(sum, 16), byteMask);
        const __m128i bytes = _mm_packus_epi16(_mm_packus_epi32(channels, zero), zero);
        out[i] = static_cast<TColor32>(_mm_cvtsi128_si32(bytes));
    }
}

}  // namespace

TResampleKernels Avx2Kernels() { return {VerticalPassAvx2, HorizontalPassAvx2}; }

}  // namespace galerion::detail

#else

namespace galerion::detail {
TResampleKernels Avx2Kernels() { return PortableKernels(); }
}  // namespace galerion::detail

#endif
