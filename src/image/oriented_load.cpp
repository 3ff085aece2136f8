#include "image/oriented_load.h"

#include "image/decode_alongside.h"
#include "image/jpeg_codec.h"
#include "image/orientation.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace galerion {
namespace {

// Source rows taken at a time, and the columns of one tile of a quarter turn: a tile's strided
// reads stay in the first-level cache and each result row gets a whole cache line.
constexpr int kBlockRows = 16;
constexpr int kTileColumns = 32;

// Where source pixel (x, y) lands in the result: at Base + x * Dx + y * Dy.
struct TPixelMap {
    std::ptrdiff_t Base, Dx, Dy;
    int ResultWidth, ResultHeight;
};

// The turn first, then the mirror, as ApplyOrientation does them.
TPixelMap MapOf(int code, int w, int h) {
    // Result column x' = ax x + ay y + a0 and row y' = bx x + by y + b0.
    std::ptrdiff_t ax = 1, ay = 0, a0 = 0, bx = 0, by = 1, b0 = 0;
    int rw = w, rh = h;
    switch (TurnOf(code)) {
        case 2: ax = 0, ay = -1, a0 = h - 1, bx = 1, by = 0, b0 = 0, rw = h, rh = w; break;
        case 3: ax = -1, a0 = w - 1, by = -1, b0 = h - 1; break;
        case 4: ax = 0, ay = 1, a0 = 0, bx = -1, by = 0, b0 = w - 1, rw = h, rh = w; break;
        default: break;
    }
    if (code < 0) ax = -ax, ay = -ay, a0 = rw - 1 - a0;
    return {a0 + b0 * rw, ax + bx * rw, ay + by * rw, rw, rh};
}

bool ChangesPixels(const TPixelMap& map) { return map.Base != 0 || map.Dx != 1; }

void MapRows(const TColor32* source, int w, int y0, int y1, const TPixelMap& map,
             TColor32* result) {
    const auto at = [&](int x, int y) { return map.Base + x * map.Dx + y * map.Dy; };
    if (map.Dx == 1 || map.Dx == -1) {  // rows stay rows
        for (int y = y0; y < y1; ++y) {
            const TColor32* in = source + static_cast<std::size_t>(y) * w;
            TColor32* out = result + at(0, y);
            if (map.Dx == 1)
                std::copy(in, in + w, out);
            else
                std::reverse_copy(in, in + w, out - (w - 1));
        }
        return;
    }
    for (int x0 = 0; x0 < w; x0 += kTileColumns)
        for (int x = x0; x < std::min(w, x0 + kTileColumns); ++x)
            for (int y = y0; y < y1; ++y)
                result[at(x, y)] = source[static_cast<std::size_t>(y) * w + x];
}

// Maps the decoded rows into `result` block by block as they arrive. False when the decoder
// stopped early or the raster is not the size the header gave.
bool MapAsDecoded(const TBitmap32& bitmap, int w, int h, const TPixelMap& map, TColor32* result,
                  const TDecodedRows& rows) {
    if (rows.WaitFor(1) < 1 || bitmap.Width() != w || bitmap.Height() != h) return false;
    for (int y0 = 0; y0 < h; y0 += kBlockRows) {
        const int y1 = std::min(h, y0 + kBlockRows);
        if (rows.WaitFor(y1) < y1) return false;
        MapRows(bitmap.Bits(), w, y0, y1, map, result);
    }
    return true;
}

}  // namespace

void LoadPictureOriented(TBitmap32& bitmap, const std::string& path, int code) {
    const TJpegSize size = ReadJpegSize(path);
    const TPixelMap map = MapOf(code, size.Width, size.Height);
    if (!ChangesPixels(map)) {
        LoadPicture(bitmap, path);
        return;
    }
    TColor32* result = bitmap.BeginReplace(map.ResultWidth, map.ResultHeight);
    bool complete = false;
    LoadPictureAlongside(bitmap, path, [&](const TDecodedRows& rows) {
        complete = MapAsDecoded(bitmap, size.Width, size.Height, map, result, rows);
    });
    if (complete)
        bitmap.CommitReplace();
    else
        ApplyOrientation(bitmap, code);  // a file that changed since its header was read
}

}  // namespace galerion
