#include "image/resample_kernels.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace galerion::detail {
namespace {

// The vector kernels must give the plain loops' integers bit for bit: random pixels, weights
// with negative lobes, odd tap counts and every tail length of the 8- and 4-pixel blocks.
TEST(ResampleKernelsTest, VectorKernelsMatchThePlainLoops) {
    if (!ProcessorHasAvx2()) GTEST_SKIP() << "no AVX2 on this processor";
    const TResampleKernels plain = PortableKernels();
    const TResampleKernels vector = Avx2Kernels();
    std::mt19937 random(42);
    std::uniform_int_distribution<std::uint32_t> pixel;
    std::uniform_int_distribution<int> weight(-60, 300);
    for (int taps = 1; taps <= 9; ++taps)
        for (int count = 1; count <= 37; ++count) {
            std::vector<std::vector<TColor32>> source(static_cast<std::size_t>(taps),
                                                      std::vector<TColor32>(count));
            std::vector<const TColor32*> rows;
            std::vector<std::int32_t> weights;
            for (auto& row : source) {
                for (TColor32& p : row) p = pixel(random);
                rows.push_back(row.data());
                weights.push_back(weight(random));
            }
            std::vector<std::int32_t> expected(4 * count, -1), actual(4 * count, -2);
            plain.verticalPass(rows.data(), weights.data(), taps, count, expected.data());
            vector.verticalPass(rows.data(), weights.data(), taps, count, actual.data());
            ASSERT_EQ(actual, expected) << taps << " taps, " << count << " pixels";

            // The horizontal pass over that buffer: clusters of 1 to 7 entries.
            std::vector<int> starts{0}, positions;
            std::vector<std::int32_t> columnWeights;
            std::uniform_int_distribution<int> position(0, count - 1), size(1, 7);
            const int outputs = 11;
            for (int i = 0; i < outputs; ++i) {
                const int entries = size(random);
                for (int e = 0; e < entries; ++e) {
                    positions.push_back(position(random));
                    columnWeights.push_back(weight(random) / 4);
                }
                starts.push_back(static_cast<int>(positions.size()));
            }
            for (bool clamp : {true, false}) {
                std::vector<TColor32> plainOut(outputs), vectorOut(outputs);
                plain.horizontalPass(expected.data(), starts.data(), positions.data(),
                                     columnWeights.data(), outputs, clamp, plainOut.data());
                vector.horizontalPass(expected.data(), starts.data(), positions.data(),
                                      columnWeights.data(), outputs, clamp, vectorOut.data());
                ASSERT_EQ(vectorOut, plainOut) << taps << " taps, clamp " << clamp;
            }
        }
}

}  // namespace
}  // namespace galerion::detail
