#include "image/stretch_draw.h"

#include "core/numbers.h"
#include "image/mapping_table.h"
#include "image/resample_kernels.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <future>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace galerion {

namespace {

struct TGeometry {
    int sourceLeft, sourceTop, sourceWidth, sourceHeight;
    int destLeft, destTop, destWidth, destHeight;
    // Destination positions (from the rectangle's edges) that lie inside the destination raster.
    int firstColumn, endColumn, firstRow, endRow;

    int VisibleColumns() const { return endColumn - firstColumn; }
};

std::optional<TGeometry> GeometryOf(const TBitmap32& source, const TBitmap32& destination,
                                    TRect dest, TRect src) {
    TGeometry g{};
    g.sourceLeft = std::max(src.Left, 0);
    g.sourceTop = std::max(src.Top, 0);
    g.sourceWidth = std::min(src.Right, source.Width()) - g.sourceLeft;
    g.sourceHeight = std::min(src.Bottom, source.Height()) - g.sourceTop;
    g.destLeft = dest.Left;
    g.destTop = dest.Top;
    g.destWidth = dest.Right - dest.Left;
    g.destHeight = dest.Bottom - dest.Top;
    if (g.sourceWidth < 1 || g.sourceHeight < 1 || g.destWidth < 1 || g.destHeight < 1)
        return std::nullopt;
    g.firstColumn = std::max(0, -dest.Left);
    g.endColumn = std::min(g.destWidth, destination.Width() - dest.Left);
    g.firstRow = std::max(0, -dest.Top);
    g.endRow = std::min(g.destHeight, destination.Height() - dest.Top);
    if (g.firstColumn >= g.endColumn || g.firstRow >= g.endRow) return std::nullopt;
    return g;
}

int BlendChannel(int s, int d, int alpha) { return (s * alpha + d * (255 - alpha) + 127) / 255; }

TColor32 BlendOver(TColor32 s, TColor32 d, int masterAlpha) {
    const int alpha = (AlphaOf(s) * masterAlpha + 127) / 255;
    if (alpha == 0) return d;
    const int outAlpha = alpha + (AlphaOf(d) * (255 - alpha) + 127) / 255;
    return Color32(BlendChannel(RedOf(s), RedOf(d), alpha),
                   BlendChannel(GreenOf(s), GreenOf(d), alpha),
                   BlendChannel(BlueOf(s), BlueOf(d), alpha), outAlpha);
}

// Hands each path the place to put a finished destination row and writes it by the draw mode:
// opaque rows are produced straight into the destination, blended rows into a staging row.
class TRowWriter {
public:
    TRowWriter(const TBitmap32& source, TBitmap32& destination, const TGeometry& g)
        : destination_(destination),
          g_(g),
          blend_(source.DrawMode == dmBlend),
          masterAlpha_(std::clamp(source.MasterAlpha, 0, 255)) {
        if (blend_) staging_.resize(static_cast<std::size_t>(g.VisibleColumns()));
    }

    TColor32* Row(int j) { return blend_ ? staging_.data() : Target(j); }

    void Commit(int j) {
        if (!blend_) return;
        TColor32* target = Target(j);
        for (std::size_t k = 0; k < staging_.size(); ++k)
            target[k] = BlendOver(staging_[k], target[k], masterAlpha_);
    }

private:
    TColor32* Target(int j) {
        return destination_.ScanLine(g_.destTop + j) + g_.destLeft + g_.firstColumn;
    }

    TBitmap32& destination_;
    const TGeometry& g_;
    bool blend_;
    int masterAlpha_;
    std::vector<TColor32> staging_;
};

const TColor32* SourceRow(const TBitmap32& source, const TGeometry& g, int y) {
    return source.ScanLine(g.sourceTop + y) + g.sourceLeft;
}

void DrawCopy(const TBitmap32& source, const TGeometry& g, TRowWriter& writer) {
    const std::size_t bytes = static_cast<std::size_t>(g.VisibleColumns()) * sizeof(TColor32);
    for (int j = g.firstRow; j < g.endRow; ++j) {
        std::memcpy(writer.Row(j), SourceRow(source, g, j) + g.firstColumn, bytes);
        writer.Commit(j);
    }
}

int NearestSource(int i, int sourceExtent, int destExtent) {
    return NearestSourcePosition(i, sourceExtent, destExtent);
}

void DrawNearest(const TBitmap32& source, const TGeometry& g, TRowWriter& writer) {
    std::vector<int> columns;
    columns.reserve(static_cast<std::size_t>(g.VisibleColumns()));
    for (int i = g.firstColumn; i < g.endColumn; ++i)
        columns.push_back(NearestSource(i, g.sourceWidth, g.destWidth));
    int previousSource = -1;
    const TColor32* previousOut = nullptr;
    for (int j = g.firstRow; j < g.endRow; ++j) {
        const int y = NearestSource(j, g.sourceHeight, g.destHeight);
        TColor32* out = writer.Row(j);
        if (y == previousSource) {
            // A run of rows on the same source row: copies of the previous destination row.
            if (out != previousOut)
                std::memcpy(out, previousOut, columns.size() * sizeof(TColor32));
        } else {
            const TColor32* row = SourceRow(source, g, y);
            for (std::size_t k = 0; k < columns.size(); ++k) out[k] = row[columns[k]];
        }
        writer.Commit(j);
        previousSource = y;
        previousOut = out;
    }
}

// One destination position of the bilinear enlargement: the two source positions and the
// weight (of 256) of the first.
struct TLinearStep {
    int first, second, weight;
};

TLinearStep LinearStep(int i, int sourceExtent, int destExtent) {
    if (sourceExtent == 1) return {0, 0, 256};
    const float q = static_cast<float>(sourceExtent - 1) / static_cast<float>(destExtent - 1);
    const float u = static_cast<float>(i) * q;
    const float whole = std::floor(u);
    int p = static_cast<int>(whole);
    int a = 256 - static_cast<int>(Round((u - whole) * 256.0f));
    if (p + 1 >= sourceExtent) {
        // The last position takes the last source pixel with full weight.
        p = sourceExtent - 2;
        a = 0;
    }
    return {p, p + 1, a};
}

TColor32 Bilinear(TColor32 p00, TColor32 p01, TColor32 p10, TColor32 p11, int a, int b) {
    // pXY: X the column (0 = p, 1 = p + 1), Y the row (0 = r, 1 = r + 1).
    TColor32 result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int c00 = static_cast<int>((p00 >> shift) & 0xFF),
                  c01 = static_cast<int>((p01 >> shift) & 0xFF);
        const int c10 = static_cast<int>((p10 >> shift) & 0xFF),
                  c11 = static_cast<int>((p11 >> shift) & 0xFF);
        const int left = (c00 * b + c01 * (256 - b)) >> 8;
        const int right = (c10 * b + c11 * (256 - b)) >> 8;
        result |= static_cast<TColor32>((left * a + right * (256 - a)) >> 8) << shift;
    }
    return result;
}

void DrawBilinear(const TBitmap32& source, const TGeometry& g, TRowWriter& writer) {
    std::vector<TLinearStep> columns;
    columns.reserve(static_cast<std::size_t>(g.VisibleColumns()));
    for (int i = g.firstColumn; i < g.endColumn; ++i)
        columns.push_back(LinearStep(i, g.sourceWidth, g.destWidth));
    for (int j = g.firstRow; j < g.endRow; ++j) {
        const TLinearStep row = LinearStep(j, g.sourceHeight, g.destHeight);
        const TColor32* upper = SourceRow(source, g, row.first);
        const TColor32* lower = SourceRow(source, g, row.second);
        TColor32* out = writer.Row(j);
        for (std::size_t k = 0; k < columns.size(); ++k) {
            const TLinearStep& c = columns[k];
            out[k] = Bilinear(upper[c.first], lower[c.first], upper[c.second], lower[c.second],
                              c.weight, row.weight);
        }
        writer.Commit(j);
    }
}

// The column clusters of the visible columns, flattened, with positions relative to the first
// source column the line buffer holds.
struct TFlatColumns {
    int firstSource = 0;
    int sourceCount = 0;
    std::vector<int> starts, positions;
    std::vector<std::int32_t> weights;
};

TFlatColumns FlattenColumns(const TMappingTable& table, const TGeometry& g) {
    TFlatColumns flat;
    int lowest = g.sourceWidth, highest = 0;
    for (int i = g.firstColumn; i < g.endColumn; ++i)
        for (const TClusterEntry& e : table[static_cast<std::size_t>(i)]) {
            lowest = std::min(lowest, e.Position);
            highest = std::max(highest, e.Position);
        }
    flat.firstSource = lowest;
    flat.sourceCount = highest - lowest + 1;
    flat.starts.push_back(0);
    for (int i = g.firstColumn; i < g.endColumn; ++i) {
        for (const TClusterEntry& e : table[static_cast<std::size_t>(i)]) {
            flat.positions.push_back(e.Position - lowest);
            flat.weights.push_back(e.Weight);
        }
        flat.starts.push_back(static_cast<int>(flat.positions.size()));
    }
    return flat;
}

// What every row of a separable draw shares: the tables, built once per draw.
struct TSeparablePlan {
    TMappingTable rowTable;
    TFlatColumns columns;
    bool clamp;
    detail::TResampleKernels kernels;
};

// Per destination row one vertical pass fills the line buffer and one horizontal pass per
// destination pixel reads it. Rows are independent, so any split of them gives the same pixels.
void ResampleRows(const TBitmap32& source, const TGeometry& g, const TSeparablePlan& plan,
                  int firstRow, int endRow, TRowWriter& writer) {
    const TFlatColumns& columns = plan.columns;
    std::vector<std::int32_t> line(static_cast<std::size_t>(columns.sourceCount) * 4);
    std::vector<const TColor32*> rows;
    std::vector<std::int32_t> rowWeights;
    for (int j = firstRow; j < endRow; ++j) {
        rows.clear();
        rowWeights.clear();
        for (const TClusterEntry& e : plan.rowTable[static_cast<std::size_t>(j)]) {
            rows.push_back(SourceRow(source, g, e.Position) + columns.firstSource);
            rowWeights.push_back(e.Weight);
        }
        plan.kernels.verticalPass(rows.data(), rowWeights.data(), static_cast<int>(rows.size()),
                                  columns.sourceCount, line.data());
        plan.kernels.horizontalPass(line.data(), columns.starts.data(), columns.positions.data(),
                                    columns.weights.data(), g.VisibleColumns(), plan.clamp,
                                    writer.Row(j));
        writer.Commit(j);
    }
}

// Pixel multiply-adds of the vertical pass below which another thread costs more than it saves.
constexpr long long kWorkPerThread = 4'000'000;
constexpr unsigned kMaxThreads = 4;

int ThreadCount(const TGeometry& g, const TSeparablePlan& plan) {
    long long taps = 0;
    for (int j = g.firstRow; j < g.endRow; ++j)
        taps += static_cast<long long>(plan.rowTable[static_cast<std::size_t>(j)].size());
    const long long work = taps * plan.columns.sourceCount;
    const unsigned cores = std::max(1u, std::min(std::thread::hardware_concurrency(), kMaxThreads));
    return static_cast<int>(std::clamp<long long>(work / kWorkPerThread, 1, cores));
}

void DrawSeparable(const TBitmap32& source, TBitmap32& destination, const TGeometry& g,
                   TStretchFilter filter) {
    // Kernels with negative lobes can overshoot and are clamped; the others never leave 0-255.
    const TSeparablePlan plan{
        BuildMappingTable(g.sourceHeight, g.destHeight, filter),
        FlattenColumns(BuildMappingTable(g.sourceWidth, g.destWidth, filter), g),
        filter == sfLanczos || filter == sfMitchell, detail::BestKernels()};
    const int threads = ThreadCount(g, plan);
    const int rows = g.endRow - g.firstRow;
    auto chunk = [&](int k) {
        TRowWriter writer(source, destination, g);  // each its own staging row
        ResampleRows(source, g, plan, g.firstRow + rows * k / threads,
                     g.firstRow + rows * (k + 1) / threads, writer);
    };
    std::vector<std::future<void>> helpers;
    for (int k = 1; k < threads; ++k) {
        try {
            helpers.push_back(std::async(std::launch::async, chunk, k));
        } catch (const std::system_error&) {
            chunk(k);  // no thread to be had: the same rows, here
        }
    }
    chunk(0);
    for (std::future<void>& helper : helpers) helper.get();
}

enum class TDrawPath { Copy, Nearest, Bilinear, Separable };

// The first case that applies.
TDrawPath ChoosePath(const TGeometry& g, TStretchFilter filter) {
    if (g.destWidth == g.sourceWidth && g.destHeight == g.sourceHeight) return TDrawPath::Copy;
    if (filter == sfNearest) return TDrawPath::Nearest;
    if (filter == sfLinear && g.destWidth > g.sourceWidth && g.destHeight > g.sourceHeight)
        return TDrawPath::Bilinear;
    return TDrawPath::Separable;
}

}  // namespace

// Nearest-pixel mapping: first and last destination positions on the first and last source ones.
int NearestSourcePosition(int i, int sourceExtent, int destExtent) {
    if (destExtent < 2) return (sourceExtent - 1) / 2;
    const float q = static_cast<float>(sourceExtent - 1) / static_cast<float>(destExtent - 1);
    const float u = static_cast<float>(i) * q;
    return std::clamp(static_cast<int>(Round(u)), 0, sourceExtent - 1);
}

void StretchDraw(const TBitmap32& source, TBitmap32& destination, TRect destinationRect,
                 TRect sourceRect) {
    if (&source == &destination) {
        // Drawing a raster into itself would read pixels already overwritten.
        const TBitmap32 copy = source;
        StretchDraw(copy, destination, destinationRect, sourceRect);
        return;
    }
    const std::optional<TGeometry> geometry =
        GeometryOf(source, destination, destinationRect, sourceRect);
    if (!geometry) return;
    const TGeometry& g = *geometry;
    const TStretchFilter filter = source.StretchFilter;
    if (ChoosePath(g, filter) == TDrawPath::Separable) {
        DrawSeparable(source, destination, g, filter);
        return;
    }
    TRowWriter writer(source, destination, g);
    switch (ChoosePath(g, filter)) {
        case TDrawPath::Copy: DrawCopy(source, g, writer); break;
        case TDrawPath::Nearest: DrawNearest(source, g, writer); break;
        case TDrawPath::Bilinear: DrawBilinear(source, g, writer); break;
        case TDrawPath::Separable: break;
    }
}

}  // namespace galerion
