// What the pixel work costs next to the JPEG codec on a 24-megapixel photo (6000 x 4000,
// baseline): decoding, the large encode, the whole per-picture pipeline (decode, quarter turn,
// Lanczos into 800 x 768 and 150 x 100, three encodes), each filter's reductions, a quarter
// turn, and the pipeline's peak memory (measured in a fresh child process).
#include "core/processing_log.h"
#include "image/bitmap32.h"
#include "image/jpeg_codec.h"
#include "image/mapping_table.h"
#include "image/resample_kernels.h"
#include "image/resize.h"
#include "image/turns.h"

#include "support/photos.h"
#include "support/temp_folder.h"

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace galerion {
namespace {

constexpr int kPhotoWidth = 6000;
constexpr int kPhotoHeight = 4000;
constexpr double kPhotoMegapixels = kPhotoWidth * double(kPhotoHeight) / 1e6;
constexpr int kQuality = 90;

using test::TTempFolder;

struct TFixture {
    TTempFolder folder;
    std::string photoPath = folder.File("photo.jpg");
    TBitmap32 photo = test::TexturedPhoto(kPhotoWidth, kPhotoHeight);
    TFixture() { SaveJpeg(photo, kQuality, photoPath); }
};

TFixture& Fixture() {
    static TFixture fixture;
    return fixture;
}

// Shown with an SI prefix: "3.2m" is 3.2 ms per source megapixel.
void PerSourceMegapixel(benchmark::State& state) {
    state.counters["s_per_MP"] =
        benchmark::Counter(kPhotoMegapixels, benchmark::Counter::kIsIterationInvariantRate |
                                                 benchmark::Counter::kInvert);
}

void BM_Decode(benchmark::State& state) {
    const std::string& photo = Fixture().photoPath;
    TBitmap32 raster;
    LoadPicture(raster, photo);  // the raster is reused from picture to picture
    for (auto _ : state) LoadPicture(raster, photo);
    PerSourceMegapixel(state);
}
BENCHMARK(BM_Decode)->Unit(benchmark::kMillisecond);

void BM_EncodeLarge(benchmark::State& state) {
    const TFixture& fixture = Fixture();
    const std::string out = fixture.folder.File("large.jpg");
    for (auto _ : state) SaveJpeg(fixture.photo, kQuality, out);
    PerSourceMegapixel(state);
}
BENCHMARK(BM_EncodeLarge)->Unit(benchmark::kMillisecond);

// The rasters one processing run keeps from picture to picture.
struct TPipeline {
    TBitmap32 master, medium, thumb;
    TProcessingLog log;

    void Run(const std::string& photo, const TTempFolder& folder) {
        LoadPicture(master, photo);
        RotateClockwise(master);
        SaveJpeg(master, kQuality, folder.File("l_photo.jpg"));
        ResizeIntoBox(photo, master, medium, 800, 768, false, sfLanczos, log);
        SaveJpeg(medium, kQuality, folder.File("m_photo.jpg"));
        ResizeIntoBox(photo, master, thumb, 150, 100, false, sfLanczos, log);
        SaveJpeg(thumb, kQuality, folder.File("t_photo.jpg"));
    }
};

void BM_Pipeline(benchmark::State& state) {
    const TFixture& fixture = Fixture();
    TPipeline pipeline;
    pipeline.Run(fixture.photoPath, fixture.folder);  // first picture: the buffers are made
    for (auto _ : state) pipeline.Run(fixture.photoPath, fixture.folder);
    PerSourceMegapixel(state);
}
BENCHMARK(BM_Pipeline)->Unit(benchmark::kMillisecond)->UseRealTime();

// The codec's share of the pipeline alone: the decode and the three encodes.
void BM_CodecFloor(benchmark::State& state) {
    const TFixture& fixture = Fixture();
    TPipeline pipeline;
    pipeline.Run(fixture.photoPath, fixture.folder);
    for (auto _ : state) {
        LoadPicture(pipeline.master, fixture.photoPath);
        SaveJpeg(pipeline.master, kQuality, fixture.folder.File("l_photo.jpg"));
        SaveJpeg(pipeline.medium, kQuality, fixture.folder.File("m_photo.jpg"));
        SaveJpeg(pipeline.thumb, kQuality, fixture.folder.File("t_photo.jpg"));
    }
    PerSourceMegapixel(state);
}
BENCHMARK(BM_CodecFloor)->Unit(benchmark::kMillisecond);

void BM_Reduce(benchmark::State& state) {
    const auto filter = static_cast<TStretchFilter>(state.range(0));
    const int boxWidth = static_cast<int>(state.range(1));
    const int boxHeight = static_cast<int>(state.range(2));
    TBitmap32& source = Fixture().photo;
    TBitmap32 target;
    TProcessingLog log;
    for (auto _ : state)
        ResizeIntoBox("photo", source, target, boxWidth, boxHeight, false, filter, log);
    source.StretchFilter = sfNearest;
    PerSourceMegapixel(state);
}
BENCHMARK(BM_Reduce)
    ->ArgNames({"filter", "bw", "bh"})
    ->ArgsProduct({{0, 1, 2, 3, 4}, {800}, {768}})
    ->ArgsProduct({{0, 1, 2, 3, 4}, {150}, {100}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();  // the rows of one reduction may be shared by several cores

// The two passes of a Lanczos reduction of the photo into 800 x 533 with the plain loops (0)
// and with the AVX2 ones (1): the same integers, at different speeds.
void BM_LanczosPasses(benchmark::State& state) {
    const bool vector = state.range(0) == 1;
    if (vector && !detail::ProcessorHasAvx2()) {
        state.SkipWithError("no AVX2");
        return;
    }
    const detail::TResampleKernels kernels =
        vector ? detail::Avx2Kernels() : detail::PortableKernels();
    const TBitmap32& photo = Fixture().photo;
    const TMappingTable columns = BuildMappingTable(kPhotoWidth, 800, sfLanczos);
    const TMappingTable rows = BuildMappingTable(kPhotoHeight, 533, sfLanczos);
    std::vector<int> starts{0}, positions;
    std::vector<std::int32_t> weights;
    for (const TCluster& cluster : columns) {
        for (const TClusterEntry& e : cluster)
            positions.push_back(e.Position), weights.push_back(e.Weight);
        starts.push_back(static_cast<int>(positions.size()));
    }
    std::vector<std::int32_t> line(4 * kPhotoWidth);
    std::vector<TColor32> out(800);
    std::vector<const TColor32*> sourceRows;
    std::vector<std::int32_t> rowWeights;
    for (auto _ : state) {
        for (const TCluster& cluster : rows) {
            sourceRows.clear();
            rowWeights.clear();
            for (const TClusterEntry& e : cluster)
                sourceRows.push_back(photo.ScanLine(e.Position)), rowWeights.push_back(e.Weight);
            kernels.verticalPass(sourceRows.data(), rowWeights.data(),
                                 static_cast<int>(sourceRows.size()), kPhotoWidth, line.data());
            kernels.horizontalPass(line.data(), starts.data(), positions.data(), weights.data(),
                                   800, true, out.data());
            benchmark::DoNotOptimize(out.data());
        }
    }
    PerSourceMegapixel(state);
}
BENCHMARK(BM_LanczosPasses)->ArgName("avx2")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_QuarterTurn(benchmark::State& state) {
    TBitmap32 raster = Fixture().photo;
    RotateClockwise(raster);  // makes the spare buffer the turns then swap with
    for (auto _ : state) RotateClockwise(raster);
    PerSourceMegapixel(state);
}
BENCHMARK(BM_QuarterTurn)->Unit(benchmark::kMillisecond);

// Peak resident memory of a process that only runs the pipeline (three pictures in a row),
// against the size of one 24-megapixel raster. The child reports its own high-water mark
// (VmHWM), which, unlike the rusage of a spawned child, does not include the parent's memory.
void BM_PipelinePeakMemory(benchmark::State& state) {
    const TFixture& fixture = Fixture();
    const std::string report = fixture.folder.File("peak.txt");
    long peakKiB = 0;
    for (auto _ : state) {
        std::string self = "/proc/self/exe", flag = "--pipeline-child", photo = fixture.photoPath,
                    out = report;
        char* argv[] = {self.data(), flag.data(), photo.data(), out.data(), nullptr};
        pid_t child = 0;
        if (posix_spawn(&child, "/proc/self/exe", nullptr, nullptr, argv, environ) != 0) {
            state.SkipWithError("cannot start the child process");
            return;
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        std::ifstream in(report);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !(in >> peakKiB)) {
            state.SkipWithError("the child process failed");
            return;
        }
    }
    const double rasterMiB = kPhotoMegapixels * 1e6 * 4 / (1024.0 * 1024.0);
    state.counters["peak_MiB"] = peakKiB / 1024.0;
    state.counters["peak_per_raster"] = peakKiB / 1024.0 / rasterMiB;
}
BENCHMARK(BM_PipelinePeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

long HighWaterMarkKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

int RunPipelineChild(const std::string& photo, const std::string& report) {
    {
        TTempFolder folder;
        TPipeline pipeline;
        for (int picture = 0; picture < 3; ++picture) pipeline.Run(photo, folder);
    }
    std::ofstream(report) << HighWaterMarkKiB() << "\n";
    return 0;
}

}  // namespace
}  // namespace galerion

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--pipeline-child") == 0)
        return galerion::RunPipelineChild(argv[2], argv[3]);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
