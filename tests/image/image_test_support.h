#pragma once
// Small helpers for the image tests: a fresh temporary folder and rasters built from tables.
#include "image/bitmap32.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace galerion::test {

// The names of the files in a folder, in no particular order.
inline std::vector<std::string> NamesIn(const TTempFolder& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        names.push_back(entry.path().filename());
    return names;
}

// A raster whose rows are given as pixel lists.
inline TBitmap32 BitmapOf(std::initializer_list<std::vector<TColor32>> rows) {
    TBitmap32 bitmap;
    const int height = static_cast<int>(rows.size());
    const int width = height == 0 ? 0 : static_cast<int>(rows.begin()->size());
    bitmap.SetSize(width, height);
    int y = 0;
    for (const std::vector<TColor32>& row : rows) {
        for (int x = 0; x < width; ++x) bitmap.SetPixel(x, y, row[static_cast<std::size_t>(x)]);
        ++y;
    }
    return bitmap;
}

inline std::vector<std::vector<TColor32>> RowsOf(const TBitmap32& bitmap) {
    std::vector<std::vector<TColor32>> rows;
    for (int y = 0; y < bitmap.Height(); ++y)
        rows.emplace_back(bitmap.ScanLine(y), bitmap.ScanLine(y) + bitmap.Width());
    return rows;
}

inline TColor32 Grey(int value) { return Color32(value, value, value); }

// A deterministic photo-like raster: smooth gradients with a little texture.
inline TBitmap32 PatternBitmap(int width, int height, unsigned seed = 1) {
    TBitmap32 bitmap;
    bitmap.SetSize(width, height);
    unsigned state = seed * 2654435761u + 12345u;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            const int noise = static_cast<int>((state >> 16) & 31);
            bitmap.SetPixel(x, y,
                            Color32((x * 255 / std::max(width - 1, 1) + noise) & 0xFF,
                                    (y * 255 / std::max(height - 1, 1) + noise) & 0xFF,
                                    ((x + y) * 7 + noise) & 0xFF, 200 + noise));
        }
    return bitmap;
}

}  // namespace galerion::test
