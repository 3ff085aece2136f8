#include "support/files.h"

#include "image/bitmap32.h"
#include "image/jpeg_codec.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace galerion::test {

void WriteJpeg(const std::string& path, int width, int height) {
    TBitmap32 bitmap;
    bitmap.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.SetPixel(
                x, y,
                Color32(x * 255 / std::max(width - 1, 1), y * 255 / std::max(height - 1, 1), 128));
    SaveJpeg(bitmap, 90, path);
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void MakeFolder(const std::string& path) { std::filesystem::create_directories(path); }

std::string BuiltFile(const std::string& name) {
    const char* bin = std::getenv("GALERION_TEST_BIN");
    if (bin && *bin) return std::string(bin) + "/" + name;
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / name).string();
}

}  // namespace galerion::test
