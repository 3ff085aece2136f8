#include "image/stretch_draw.h"

#include "core/numbers.h"
#include "image/mapping_table.h"
#include "image/resample_kernels.h"
#include "platform/errors.h"

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
    // The source read mirrored: position x of the source rectangle is read at width - 1 - x.
    bool reversedColumns, reversedRows;

    int VisibleColumns() const { return endColumn - firstColumn; }
    int Column(int x) const { return reversedColumns ? sourceWidth - 1 - x : x; }
    int Row(int y) const { return reversedRows ? sourceHeight - 1 - y : y; }
};

std::optional<TGeometry> GeometryOf(const TBitmap32& source, const TBitmap32& destination,
                                    TRect dest, TRect src, TSourceReading reading) {
    TGeometry g{};
    g.reversedColumns = reading.ReversedColumns;
    g.reversedRows = reading.ReversedRows;
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
    TRowWriter(const TBitmap32& source, TBitmap32& destination, const TGeometry& g,
               std::vector<TColor32>& staging)
        : destination_(destination),
          g_(g),
          blend_(source.DrawMode == dmBlend),
          masterAlpha_(std::clamp(source.MasterAlpha, 0, 255)),
          staging_(staging) {
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
    std::vector<TColor32>& staging_;
};

const TColor32* SourceRow(const TBitmap32& source, const TGeometry& g, int y) {
    return source.ScanLine(g.sourceTop + g.Row(y)) + g.sourceLeft;
}

// Each path draws destination rows [first, end), a part of the visible rows.
void DrawCopy(const TBitmap32& source, const TGeometry& g, int first, int end, TRowWriter& writer) {
    const std::size_t bytes = static_cast<std::size_t>(g.VisibleColumns()) * sizeof(TColor32);
    for (int j = first; j < end; ++j) {
        const TColor32* row = SourceRow(source, g, j);
        TColor32* out = writer.Row(j);
        if (g.reversedColumns) {
            for (int i = g.firstColumn; i < g.endColumn; ++i) *out++ = row[g.Column(i)];
        } else {
            std::memcpy(out, row + g.firstColumn, bytes);
        }
        writer.Commit(j);
    }
}

int NearestSource(int i, int sourceExtent, int destExtent) {
    return NearestSourcePosition(i, sourceExtent, destExtent);
}

void DrawNearest(const TBitmap32& source, const TGeometry& g, int first, int end,
                 TRowWriter& writer) {
    std::vector<int> columns;
    columns.reserve(static_cast<std::size_t>(g.VisibleColumns()));
    for (int i = g.firstColumn; i < g.endColumn; ++i)
        columns.push_back(g.Column(NearestSource(i, g.sourceWidth, g.destWidth)));
    int previousSource = -1;
    const TColor32* previousOut = nullptr;
    for (int j = first; j < end; ++j) {
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

void DrawBilinear(const TBitmap32& source, const TGeometry& g, int first, int end,
                  TRowWriter& writer) {
    std::vector<TLinearStep> columns;
    columns.reserve(static_cast<std::size_t>(g.VisibleColumns()));
    for (int i = g.firstColumn; i < g.endColumn; ++i) {
        const TLinearStep step = LinearStep(i, g.sourceWidth, g.destWidth);
        columns.push_back({g.Column(step.first), g.Column(step.second), step.weight});
    }
    for (int j = first; j < end; ++j) {
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
            lowest = std::min(lowest, g.Column(e.Position));
            highest = std::max(highest, g.Column(e.Position));
        }
    flat.firstSource = lowest;
    flat.sourceCount = highest - lowest + 1;
    flat.starts.push_back(0);
    for (int i = g.firstColumn; i < g.endColumn; ++i) {
        for (const TClusterEntry& e : table[static_cast<std::size_t>(i)]) {
            flat.positions.push_back(g.Column(e.Position) - lowest);
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
    std::size_t widestCluster;
};

TSeparablePlan MakeSeparablePlan(const TGeometry& g, TStretchFilter filter) {
    TSeparablePlan plan{BuildMappingTable(g.sourceHeight, g.destHeight, filter),
                        FlattenColumns(BuildMappingTable(g.sourceWidth, g.destWidth, filter), g),
                        // Kernels with negative lobes can overshoot and are clamped; the others
                        // never leave 0-255.
                        filter == sfLanczos || filter == sfMitchell, detail::BestKernels(), 0};
    for (const TCluster& cluster : plan.rowTable)
        plan.widestCluster = std::max(plan.widestCluster, cluster.size());
    return plan;
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

namespace detail {

// The working memory of one thread drawing rows.
struct TStretchScratch {
    std::vector<std::int32_t> line;  // the line buffer of the separable path
    std::vector<const TColor32*> rows;
    std::vector<std::int32_t> rowWeights;
    std::vector<TColor32> staging;  // one blended row
};

// Everything the pieces and threads of one drawing share.
class TStretchPlan {
public:
    TStretchPlan(const TBitmap32& source, TBitmap32& destination, TRect destinationRect,
                 TRect sourceRect, TSourceReading reading = {})
        : source_(source),
          destination_(destination),
          geometry_(GeometryOf(source, destination, destinationRect, sourceRect, reading)) {
        if (!geometry_) return;
        path_ = ChoosePath(*geometry_, source.StretchFilter);
        if (path_ == TDrawPath::Separable)
            separable_ = MakeSeparablePlan(*geometry_, source.StretchFilter);
    }

    TStretchScratch NewScratch() const {
        TStretchScratch scratch;
        if (separable_) {
            scratch.line.resize(static_cast<std::size_t>(separable_->columns.sourceCount) * 4);
            scratch.rows.reserve(separable_->widestCluster);
            scratch.rowWeights.reserve(separable_->widestCluster);
        }
        return scratch;
    }

    // Rows [first, end) of the destination rectangle, cut to the visible ones.
    void Draw(TStretchScratch& scratch, int first, int end) const {
        if (!geometry_) return;
        const TGeometry& g = *geometry_;
        first = std::max(first, g.firstRow);
        end = std::min(end, g.endRow);
        if (first >= end) return;
        TRowWriter writer(source_, destination_, g, scratch.staging);
        switch (path_) {
            case TDrawPath::Copy: DrawCopy(source_, g, first, end, writer); break;
            case TDrawPath::Nearest: DrawNearest(source_, g, first, end, writer); break;
            case TDrawPath::Bilinear: DrawBilinear(source_, g, first, end, writer); break;
            case TDrawPath::Separable: Resample(scratch, first, end, writer); break;
        }
    }

    // How many threads the whole drawing is worth.
    int ThreadCount() const;
    int LastSourceRowRead(int row) const;
    bool TransposesExactly() const { return path_ != TDrawPath::Bilinear; }

    int FirstRow() const { return geometry_ ? geometry_->firstRow : 0; }
    int EndRow() const { return geometry_ ? geometry_->endRow : 0; }

private:
    void Resample(TStretchScratch& scratch, int first, int end, TRowWriter& writer) const;

    const TBitmap32& source_;
    TBitmap32& destination_;
    std::optional<TGeometry> geometry_;
    TDrawPath path_ = TDrawPath::Copy;
    std::optional<TSeparablePlan> separable_;
};

// Per destination row one vertical pass fills the line buffer and one horizontal pass per
// destination pixel reads it. Rows are independent, so any split of them gives the same pixels.
void TStretchPlan::Resample(TStretchScratch& scratch, int first, int end,
                            TRowWriter& writer) const {
    const TGeometry& g = *geometry_;
    const TSeparablePlan& plan = *separable_;
    const TFlatColumns& columns = plan.columns;
    for (int j = first; j < end; ++j) {
        scratch.rows.clear();
        scratch.rowWeights.clear();
        for (const TClusterEntry& e : plan.rowTable[static_cast<std::size_t>(j)]) {
            scratch.rows.push_back(SourceRow(source_, g, e.Position) + columns.firstSource);
            scratch.rowWeights.push_back(e.Weight);
        }
        plan.kernels.verticalPass(scratch.rows.data(), scratch.rowWeights.data(),
                                  static_cast<int>(scratch.rows.size()), columns.sourceCount,
                                  scratch.line.data());
        plan.kernels.horizontalPass(scratch.line.data(), columns.starts.data(),
                                    columns.positions.data(), columns.weights.data(),
                                    g.VisibleColumns(), plan.clamp, writer.Row(j));
        writer.Commit(j);
    }
}

namespace {

// Pixel multiply-adds of the vertical pass below which another thread costs more than it saves.
constexpr long long kWorkPerThread = 4'000'000;
constexpr unsigned kMaxThreads = 4;

}  // namespace

int TStretchPlan::ThreadCount() const {
    if (!separable_) return 1;
    const TGeometry& g = *geometry_;
    long long taps = 0;
    for (int j = g.firstRow; j < g.endRow; ++j)
        taps += static_cast<long long>(separable_->rowTable[static_cast<std::size_t>(j)].size());
    const long long work = taps * separable_->columns.sourceCount;
    const unsigned cores = std::max(1u, std::min(std::thread::hardware_concurrency(), kMaxThreads));
    return static_cast<int>(std::clamp<long long>(work / kWorkPerThread, 1, cores));
}

int TStretchPlan::LastSourceRowRead(int j) const {
    if (!geometry_) return -1;
    const TGeometry& g = *geometry_;
    int last = 0;
    switch (path_) {
        case TDrawPath::Copy: last = g.Row(j); break;
        case TDrawPath::Nearest:
            last = g.Row(NearestSource(j, g.sourceHeight, g.destHeight));
            break;
        case TDrawPath::Bilinear: {
            const TLinearStep step = LinearStep(j, g.sourceHeight, g.destHeight);
            last = std::max(g.Row(step.first), g.Row(step.second));
            break;
        }
        case TDrawPath::Separable:
            for (const TClusterEntry& e : separable_->rowTable[static_cast<std::size_t>(j)])
                last = std::max(last, g.Row(e.Position));
            break;
    }
    return g.sourceTop + last;
}

}  // namespace detail

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
    const detail::TStretchPlan plan(source, destination, destinationRect, sourceRect);
    const int threads = plan.ThreadCount();
    const int first = plan.FirstRow(), rows = plan.EndRow() - first;
    auto chunk = [&](int k) {
        detail::TStretchScratch scratch = plan.NewScratch();  // each thread its own
        plan.Draw(scratch, first + rows * k / threads, first + rows * (k + 1) / threads);
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

TStretchDrawing::TStretchDrawing(const TBitmap32& source, TBitmap32& destination,
                                 TRect destinationRect, TRect sourceRect, TSourceReading reading) {
    if (&source == &destination)
        throw RangeError("A drawing in pieces needs a source apart from its destination");
    plan_ = std::make_unique<detail::TStretchPlan>(source, destination, destinationRect, sourceRect,
                                                   reading);
    scratch_ = std::make_unique<detail::TStretchScratch>(plan_->NewScratch());
}

TStretchDrawing::~TStretchDrawing() = default;

void TStretchDrawing::DrawRows(int first, int end) { plan_->Draw(*scratch_, first, end); }

int TStretchDrawing::LastSourceRowRead(int row) const { return plan_->LastSourceRowRead(row); }

bool TStretchDrawing::TransposesExactly() const { return plan_->TransposesExactly(); }

}  // namespace galerion
