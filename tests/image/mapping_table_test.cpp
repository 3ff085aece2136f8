#include "image/mapping_table.h"

#include <gtest/gtest.h>

#include <vector>

namespace galerion {
namespace {

std::vector<std::vector<int>> Flat(const TMappingTable& table) {
    std::vector<std::vector<int>> flat;
    for (const TCluster& cluster : table) {
        std::vector<int> entries;
        for (const TClusterEntry& e : cluster)
            entries.insert(entries.end(), {e.Position, e.Weight});
        flat.push_back(entries);
    }
    return flat;
}

TEST(MappingTableTest, HandWorkedTables) {
    const struct {
        int n, m;
        TStretchFilter filter;
        std::vector<std::vector<int>> expected;  // per destination: position, weight, ...
    } cases[] = {
        // Enlarging 2 -> 3 with the tent: the middle sits halfway.
        {2, 3, sfLinear, {{0, 256}, {0, 128, 1, 128}, {1, 256}}},
        // Reducing 3 -> 2: the tent is stretched to twice its width, edge pixels repeat.
        {3, 2, sfLinear, {{0, 64, 0, 128, 1, 64}, {1, 64, 2, 128, 2, 64}}},
        // Enlarging 2 -> 4: centres at 1/3 and 2/3 (weights 171/85 after rounding).
        {2, 4, sfLinear, {{0, 256}, {0, 171, 1, 85}, {0, 85, 1, 171}, {1, 256}}},
        // One source position, or one destination position (n div 2).
        {1, 3, sfLanczos, {{0, 256}, {0, 256}, {0, 256}}},
        {4, 1, sfLanczos, {{2, 256}}},
        {5, 1, sfSpline, {{2, 256}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Flat(BuildMappingTable(c.n, c.m, c.filter)), c.expected)
            << c.n << " -> " << c.m << " filter " << c.filter;
}

TEST(MappingTableTest, SameSizeSplineSpreadsOverNeighbours) {
    // g = 1 keeps the kernel unstretched: B-spline weights 1/6, 2/3, 1/6 of 256 = 43, 171, 43,
    // which sum to 257, so the middle entry gives one back.
    const TMappingTable table = BuildMappingTable(5, 5, sfSpline);
    EXPECT_EQ(Flat(table)[2], (std::vector<int>{1, 43, 2, 170, 3, 43}));
}

TEST(MappingTableTest, EveryClusterSumsToExactly256) {
    for (TStretchFilter filter : {sfLinear, sfSpline, sfLanczos, sfMitchell})
        for (int n : {1, 2, 3, 7, 64, 333, 3000})
            for (int m : {1, 2, 5, 100, 150, 533, 800, 4001}) {
                const TMappingTable table = BuildMappingTable(n, m, filter);
                ASSERT_EQ(static_cast<int>(table.size()), m);
                for (const TCluster& cluster : table) {
                    int sum = 0;
                    for (const TClusterEntry& e : cluster) {
                        sum += e.Weight;
                        ASSERT_GE(e.Position, 0);
                        ASSERT_LT(e.Position, n);
                    }
                    ASSERT_EQ(sum, 256) << n << " -> " << m << " filter " << filter;
                }
            }
}

TEST(MappingTableTest, KernelShapes) {
    const struct {
        TStretchFilter filter;
        float x, value;
    } cases[] = {
        {sfLinear, 0.25f, 0.75f},
        {sfLinear, -1.0f, 0.0f},
        {sfSpline, 0.0f, 2.0f / 3.0f},
        {sfSpline, 1.0f, 1.0f / 6.0f},
        {sfSpline, 2.0f, 0.0f},
        {sfLanczos, 0.0f, 1.0f},
        {sfLanczos, 1.0f, 0.0f},
        {sfLanczos, 3.5f, 0.0f},
        {sfMitchell, 0.0f, 16.0f / 18.0f},
        {sfMitchell, 1.0f, 1.0f / 18.0f},
        {sfMitchell, -2.0f, 0.0f},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(FilterKernel(c.filter, c.x), c.value, 1e-6f) << c.filter << " " << c.x;
    EXPECT_LT(FilterKernel(sfLanczos, 1.5f), 0.0f) << "negative lobe";
    EXPECT_EQ(FilterRadius(sfLanczos), 3);
    EXPECT_EQ(FilterRadius(sfMitchell), 2);
}

}  // namespace
}  // namespace galerion
