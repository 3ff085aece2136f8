#include "image/bitmap32.h"

#include "platform/errors.h"

#include <sys/mman.h>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <string>

namespace galerion {

namespace {

// Arrays from this size on are mapped directly and aligned for huge pages.
constexpr std::size_t kMapFrom = std::size_t{8} << 20;
constexpr std::size_t kHugePage = std::size_t{2} << 20;

[[noreturn]] void OutOfMemory(std::size_t count) {
    throw ImageError("Out of memory for a raster of " + std::to_string(count) + " pixels");
}

}  // namespace

TColor32* TPixelBuffer::Reserve(std::size_t count) {
    if (count <= capacity_) return data_;
    Release();
    if (count > std::numeric_limits<std::size_t>::max() / sizeof(TColor32) - kHugePage)
        OutOfMemory(count);
    const std::size_t bytes = count * sizeof(TColor32);
    if (bytes < kMapFrom) {
        block_ = ::operator new(bytes, std::nothrow);
        if (block_ == nullptr) OutOfMemory(count);
        data_ = static_cast<TColor32*>(block_);
    } else {
        const std::size_t length = bytes + kHugePage;
        void* block =
            ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (block == MAP_FAILED) OutOfMemory(count);
        block_ = block;
        mappedBytes_ = length;
        const std::uintptr_t start =
            (reinterpret_cast<std::uintptr_t>(block) + kHugePage - 1) & ~(kHugePage - 1);
        data_ = reinterpret_cast<TColor32*>(start);
#ifdef MADV_HUGEPAGE
        ::madvise(block, length, MADV_HUGEPAGE);  // a hint; without it the pages are small
#endif
    }
    capacity_ = count;
    return data_;
}

void TPixelBuffer::Release() noexcept {
    if (mappedBytes_ != 0)
        ::munmap(block_, mappedBytes_);
    else
        ::operator delete(block_);
    data_ = nullptr;
    block_ = nullptr;
    capacity_ = 0;
    mappedBytes_ = 0;
}

TBitmap32::TBitmap32(const TBitmap32& other) { *this = other; }

TBitmap32& TBitmap32::operator=(const TBitmap32& other) {
    if (this == &other) return *this;
    SetSizeForOverwrite(other.width_, other.height_);
    if (!other.Empty()) std::memcpy(Bits(), other.Bits(), PixelCount() * sizeof(TColor32));
    CopyAttributes(other);
    return *this;
}

TBitmap32::TBitmap32(TBitmap32&& other) noexcept { *this = std::move(other); }

TBitmap32& TBitmap32::operator=(TBitmap32&& other) noexcept {
    if (this == &other) return *this;
    pixels_ = std::move(other.pixels_);
    spare_ = std::move(other.spare_);
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
    spareWidth_ = std::exchange(other.spareWidth_, 0);
    spareHeight_ = std::exchange(other.spareHeight_, 0);
    CopyAttributes(other);
    return *this;
}

void TBitmap32::CopyAttributes(const TBitmap32& other) {
    DrawMode = other.DrawMode;
    MasterAlpha = other.MasterAlpha;
    StretchFilter = other.StretchFilter;
    OuterColor = other.OuterColor;
}

std::size_t TBitmap32::CountFor(int width, int height) {
    const std::size_t limit = std::numeric_limits<std::size_t>::max() / sizeof(TColor32);
    const std::size_t w = static_cast<std::size_t>(width);
    const std::size_t h = static_cast<std::size_t>(height);
    if (h != 0 && w > limit / h)
        throw ImageError("Raster too large: " + std::to_string(width) + " x " +
                         std::to_string(height));
    return w * h;
}

void TBitmap32::SetSizeForOverwrite(int width, int height) {
    if (width < 1 || height < 1) width = height = 0;
    if (width == width_ && height == height_) return;
    const std::size_t count = CountFor(width, height);
    // Growing gives the old memory back first; if the new block cannot be had, the raster is
    // left empty rather than pointing at nothing.
    width_ = height_ = 0;
    pixels_.Reserve(count);
    width_ = width;
    height_ = height;
}

void TBitmap32::SetSize(int width, int height) {
    if (width < 1 || height < 1) width = height = 0;
    if (width == width_ && height == height_) return;
    SetSizeForOverwrite(width, height);
    if (!Empty()) std::memset(Bits(), 0, PixelCount() * sizeof(TColor32));
}

TColor32 TBitmap32::PixelOrOuter(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return OuterColor;
    return Pixel(x, y);
}

TColor32* TBitmap32::BeginReplace(int width, int height) {
    if (width < 1 || height < 1) width = height = 0;
    TColor32* data = spare_.Reserve(CountFor(width, height));
    spareWidth_ = width;
    spareHeight_ = height;
    return data;
}

void TBitmap32::CommitReplace() {
    pixels_.Swap(spare_);
    width_ = spareWidth_;
    height_ = spareHeight_;
}

void TBitmap32::Release() {
    pixels_.Release();
    spare_.Release();
    width_ = height_ = spareWidth_ = spareHeight_ = 0;
}

}  // namespace galerion
