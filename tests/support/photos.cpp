#include "support/photos.h"

#include "image/jpeg_codec.h"

#include <algorithm>
#include <cmath>

namespace galerion::test {

void WritePhoto(const std::string& path, int width, int height, int seed) {
    TBitmap32 bitmap;
    bitmap.SetSize(width, height);
    unsigned noise = 12345u + static_cast<unsigned>(seed) * 7919u;
    for (int y = 0; y < height; ++y) {
        TColor32* row = bitmap.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int n = static_cast<int>((noise >> 16) & 31) - 16;
            const double u = static_cast<double>(x) / width, v = static_cast<double>(y) / height;
            const int r = static_cast<int>(120 + 90 * std::sin(u * 7 + seed) * v) + n;
            const int g = static_cast<int>(110 + 80 * std::cos(v * 5 - u * 3)) + n;
            const int b = static_cast<int>(140 + 70 * std::sin((u + v) * 11 + seed)) + n;
            auto clamp = [](int c) { return c < 0 ? 0 : c > 255 ? 255 : c; };
            row[x] = Color32(clamp(r), clamp(g), clamp(b));
        }
    }
    SaveJpeg(bitmap, 92, path);
}

TBitmap32 SmoothGradient(int width, int height, int blue) {
    TBitmap32 bitmap;
    bitmap.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.SetPixel(x, y, Color32(40 + x * 160 / width, 60 + y * 150 / height, blue));
    return bitmap;
}

TBitmap32 TexturedPhoto(int width, int height) {
    TBitmap32 photo;
    photo.SetSize(width, height);
    unsigned state = 12345;
    for (int y = 0; y < height; ++y) {
        TColor32* row = photo.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            const int noise = static_cast<int>((state >> 16) & 15) - 8;
            const int texture = ((x / 7 + y / 5) % 9) * 3;
            const int r = 60 + x * 150 / width + texture + noise;
            const int g = 40 + y * 170 / height + noise;
            const int b = 120 + ((x * 3 + y * 2) / 97) % 60 - texture + noise;
            row[x] = Color32(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
        }
    }
    return photo;
}

}  // namespace galerion::test
