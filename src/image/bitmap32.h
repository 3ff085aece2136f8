#pragma once
// The raster every picture lives in while it is worked on: 32-bit pixels, rows contiguous, top
// row first, so a toolkit image of the same layout can wrap the pixels without a copy.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>

namespace galerion {

// Alpha in bits 24-31, red 16-23, green 8-15, blue 0-7.
using TColor32 = std::uint32_t;

// Numbered as the ResizeMode setting.
enum TStretchFilter : int {
    sfNearest = 0,
    sfLinear = 1,
    sfSpline = 2,
    sfLanczos = 3,
    sfMitchell = 4
};
enum TDrawMode : int { dmOpaque, dmBlend };

// Pixel-edge rectangle: columns Left .. Right - 1, rows Top .. Bottom - 1.
struct TRect {
    int Left, Top, Right, Bottom;
};

constexpr TColor32 Color32(int r, int g, int b, int a = 255) {
    return (static_cast<TColor32>(a & 0xFF) << 24) | (static_cast<TColor32>(r & 0xFF) << 16) |
           (static_cast<TColor32>(g & 0xFF) << 8) | static_cast<TColor32>(b & 0xFF);
}
constexpr int AlphaOf(TColor32 c) { return static_cast<int>(c >> 24); }
constexpr int RedOf(TColor32 c) { return static_cast<int>((c >> 16) & 0xFF); }
constexpr int GreenOf(TColor32 c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(TColor32 c) { return static_cast<int>(c & 0xFF); }

// A pixel array that keeps its capacity, so rasters can be reused from picture to picture
// without fresh allocations (and their page faults). Photo-sized arrays are mapped on huge
// pages where the system offers them: a few hundred page faults instead of tens of thousands.
class TPixelBuffer {
public:
    TPixelBuffer() = default;
    ~TPixelBuffer() { Release(); }
    TPixelBuffer(const TPixelBuffer&) = delete;
    TPixelBuffer& operator=(const TPixelBuffer&) = delete;
    TPixelBuffer(TPixelBuffer&& other) noexcept { Swap(other); }
    TPixelBuffer& operator=(TPixelBuffer&& other) noexcept {
        if (this != &other) {
            Release();
            Swap(other);
        }
        return *this;
    }

    // At least `count` pixels; contents unspecified after growth. Raises ImageError when the
    // memory cannot be had.
    TColor32* Reserve(std::size_t count);
    TColor32* Data() { return data_; }
    const TColor32* Data() const { return data_; }
    std::size_t Capacity() const { return capacity_; }
    void Release() noexcept;
    void Swap(TPixelBuffer& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(capacity_, other.capacity_);
        std::swap(block_, other.block_);
        std::swap(mappedBytes_, other.mappedBytes_);
    }

private:
    TColor32* data_ = nullptr;
    std::size_t capacity_ = 0;
    void* block_ = nullptr;        // what was allocated or mapped
    std::size_t mappedBytes_ = 0;  // 0: block_ came from operator new
};

class TBitmap32 {
public:
    TBitmap32() = default;
    TBitmap32(const TBitmap32& other);
    TBitmap32& operator=(const TBitmap32& other);
    TBitmap32(TBitmap32&& other) noexcept;
    TBitmap32& operator=(TBitmap32&& other) noexcept;

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0; }
    std::size_t PixelCount() const { return static_cast<std::size_t>(width_) * height_; }

    // A new size gives all pixels 0, the same size keeps them, a side below 1 gives 0 x 0.
    void SetSize(int width, int height);
    // For code that writes every pixel itself: like SetSize but the pixels are unspecified.
    void SetSizeForOverwrite(int width, int height);

    TColor32* Bits() { return pixels_.Data(); }
    const TColor32* Bits() const { return pixels_.Data(); }
    TColor32* ScanLine(int y) { return Bits() + static_cast<std::size_t>(y) * width_; }
    const TColor32* ScanLine(int y) const { return Bits() + static_cast<std::size_t>(y) * width_; }
    TColor32 Pixel(int x, int y) const { return ScanLine(y)[x]; }
    void SetPixel(int x, int y, TColor32 c) { ScanLine(y)[x] = c; }
    // The pixel, or OuterColor for a position outside the raster.
    TColor32 PixelOrOuter(int x, int y) const;

    // Building a raster of another shape beside the current one (a quarter turn, a crop):
    // BeginReplace hands out a spare buffer of width x height unspecified pixels, CommitReplace
    // swaps it in. The old pixels become the spare for next time; attributes stay.
    TColor32* BeginReplace(int width, int height);
    void CommitReplace();
    void ReleaseSpare() { spare_.Release(); }

    // Gives back all memory; the raster becomes 0 x 0.
    void Release();

    TDrawMode DrawMode = dmOpaque;
    int MasterAlpha = 255;
    TStretchFilter StretchFilter = sfNearest;
    TColor32 OuterColor = 0;

private:
    // Checked size arithmetic: throws ImageError for a size no raster can hold.
    static std::size_t CountFor(int width, int height);
    void CopyAttributes(const TBitmap32& other);

    int width_ = 0;
    int height_ = 0;
    TPixelBuffer pixels_;
    TPixelBuffer spare_;
    int spareWidth_ = 0;
    int spareHeight_ = 0;
};

}  // namespace galerion
