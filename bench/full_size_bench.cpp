// What the full-size view costs on a 24-megapixel photo (6000 x 4000): opening it as the window
// does (decode with the first fitted drawing made alongside, Lanczos into a 1280 x 900 view,
// orientation, crop bevel) against one decode of the same photo, the fitted drawing alone,
// redrawing the fitted view with sfNearest while a crop corner is dragged, and the peak memory of
// showing it at scale 4 (in a fresh child process).
#include "image/bitmap32.h"
#include "image/jpeg_codec.h"
#include "image/orientation.h"
#include "ui/fullsize/crop_rule.h"
#include "ui/fullsize/drawing_ahead.h"
#include "ui/fullsize/view_drawing.h"

#include "support/photos.h"
#include "support/temp_folder.h"

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>

extern char** environ;

namespace galerion {
namespace {

constexpr int kPhotoWidth = 6000, kPhotoHeight = 4000;
constexpr int kViewWidth = 1280, kViewHeight = 900;
constexpr TColor32 kBackground = 0xFFF0F0F0;

struct TFixture {
    test::TTempFolder folder{"galerion-fullsize-bench-"};
    std::string photoPath = folder.File("photo.jpg");
    TFixture() { SaveJpeg(test::TexturedPhoto(kPhotoWidth, kPhotoHeight), 90, photoPath); }
};

const TFixture& Fixture() {
    static const TFixture fixture;
    return fixture;
}

// The window's first paint: the picture fitted into the control one pixel inside the view,
// drawn into the picture layer, copied into the back buffer with the crop bevel on top.
void PaintFitted(const TBitmap32& picture, TBitmap32& layer, TBitmap32& back) {
    layer.SetSizeForOverwrite(kViewWidth, kViewHeight);
    const TRect rect =
        ui::FittedPictureRect(kViewWidth - 1, kViewHeight - 1, picture.Width(), picture.Height());
    ui::DrawPictureView(picture, layer, rect, kBackground);
    back = layer;
    const ui::TPictureMapping mapping(rect, picture.Width(), picture.Height());
    ui::DrawRaisedBevel(
        back, mapping.ViewRect(ui::DefaultCropLocation(picture.Width(), picture.Height())));
}

// Opening as the window does it: the photo is turned and the fitted drawing made while it is
// decoded, then the back buffer gets the picture layer and the crop bevel.
void OpenAsTheWindowDoes(TBitmap32& picture, const std::string& path, int orientation,
                         TBitmap32& back) {
    ui::TFittedDrawing drawing;
    drawing.ViewWidth = kViewWidth;
    drawing.ViewHeight = kViewHeight;
    drawing.Background = kBackground;
    ui::LoadPictureDrawingFitted(picture, path, orientation, drawing);
    back = drawing.View;
    const ui::TPictureMapping mapping(drawing.PictureRect, picture.Width(), picture.Height());
    ui::DrawRaisedBevel(
        back, mapping.ViewRect(ui::DefaultCropLocation(picture.Width(), picture.Height())));
}

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// CPU time of the whole process (every thread), so a loaded machine shows the work done.
double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Each iteration decodes once alone, then opens the view (decode, orientation, first drawing)
// for a picture with the orientation code of the argument (1 unturned, 2 a quarter turn);
// the counters give both times and their ratio. The window keeps its picture raster between
// openings, so the timed iterations reuse both rasters; the first pair, which also faults in two
// fresh 96 MB rasters (at times ten times slower on a virtual machine, whoever allocates), is
// reported apart as "cold".
void BM_OpenAgainstDecode(benchmark::State& state) {
    const std::string& path = Fixture().photoPath;
    const int orientation = static_cast<int>(state.range(0));
    TBitmap32 decoded, picture, back;
    picture.StretchFilter = sfLanczos;
    const auto coldStart = std::chrono::steady_clock::now();
    LoadPicture(decoded, path);
    const auto coldDecoded = std::chrono::steady_clock::now();
    OpenAsTheWindowDoes(picture, path, orientation, back);
    const auto coldOpened = std::chrono::steady_clock::now();
    state.counters["cold_decode_ms"] = Seconds(coldDecoded - coldStart) * 1000;
    state.counters["cold_open_ms"] = Seconds(coldOpened - coldDecoded) * 1000;
    double decodeTotal = 0, openTotal = 0, decodeCpu = 0, openCpu = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const double c0 = ProcessCpuSeconds();
        LoadPicture(decoded, path);
        const auto t1 = std::chrono::steady_clock::now();
        const double c1 = ProcessCpuSeconds();
        OpenAsTheWindowDoes(picture, path, orientation, back);
        const auto t2 = std::chrono::steady_clock::now();
        const double c2 = ProcessCpuSeconds();
        decodeTotal += Seconds(t1 - t0);
        openTotal += Seconds(t2 - t1);
        decodeCpu += c1 - c0;
        openCpu += c2 - c1;
        benchmark::DoNotOptimize(back.Bits());
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["decode_ms"] = decodeTotal / n * 1000;
    state.counters["open_ms"] = openTotal / n * 1000;
    state.counters["open_per_decode"] = openTotal / decodeTotal;
    state.counters["decode_cpu_ms"] = decodeCpu / n * 1000;
    state.counters["open_cpu_ms"] = openCpu / n * 1000;
    state.counters["open_per_decode_cpu"] = openCpu / decodeCpu;
}
BENCHMARK(BM_OpenAgainstDecode)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(5);

// The first fitted drawing alone (Lanczos, the default ResizeMode), on a decoded photo.
void BM_FirstFittedDrawing(benchmark::State& state) {
    TBitmap32 picture;
    LoadPicture(picture, Fixture().photoPath);
    picture.StretchFilter = sfLanczos;
    TBitmap32 layer, back;
    for (auto _ : state) {
        PaintFitted(picture, layer, back);
        benchmark::DoNotOptimize(back.Bits());
    }
}
BENCHMARK(BM_FirstFittedDrawing)->Unit(benchmark::kMillisecond);

// A crop corner dragged: every mouse move redraws the fitted view with sfNearest.
void BM_RedrawFittedNearest(benchmark::State& state) {
    TBitmap32 picture;
    LoadPicture(picture, Fixture().photoPath);
    picture.StretchFilter = sfNearest;
    TBitmap32 layer, back;
    for (auto _ : state) {
        PaintFitted(picture, layer, back);
        benchmark::DoNotOptimize(back.Bits());
    }
    state.counters["frames_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RedrawFittedNearest)->Unit(benchmark::kMillisecond);

long StatusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t length = std::strlen(field);
    while (std::getline(status, line))
        if (line.compare(0, length, field) == 0) return std::stol(line.substr(length));
    return -1;
}

// The child: open the photo and show it at scale 4 scrolled to a few places, with Lanczos.
int RunScale4Child(const std::string& photo, const std::string& report) {
    const long before = StatusKilobytes("VmRSS:");
    TBitmap32 picture, layer, back;
    picture.StretchFilter = sfLanczos;
    LoadPicture(picture, photo);
    ApplyOrientation(picture, 1);
    for (int step = 0; step < 4; ++step) {
        const TRect rect =
            ui::ScaledPictureRect(picture.Width(), picture.Height(), 4.0, step * 5000, step * 3500);
        layer.SetSizeForOverwrite(kViewWidth, kViewHeight);
        ui::DrawPictureView(picture, layer, rect, kBackground);
        back = layer;
    }
    std::ofstream(report) << StatusKilobytes("VmHWM:") << ' ' << before << '\n';
    return 0;
}

void BM_Scale4PeakMemory(benchmark::State& state) {
    const TFixture& fixture = Fixture();
    const std::string report = fixture.folder.File("peak.txt");
    long peak = 0, start = 0;
    for (auto _ : state) {
        std::string flag = "--scale4-child", photo = fixture.photoPath, out = report;
        char* argv[] = {flag.data(), flag.data(), photo.data(), out.data(), nullptr};
        pid_t child = 0;
        if (posix_spawn(&child, "/proc/self/exe", nullptr, nullptr, argv, environ) != 0) {
            state.SkipWithError("cannot start the child process");
            return;
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        std::ifstream(report) >> peak >> start;
    }
    const double raster = double(kPhotoWidth) * kPhotoHeight * 4 / 1024;  // KiB
    state.counters["raster_MiB"] = raster / 1024;
    state.counters["peak_MiB"] = double(peak) / 1024;
    state.counters["peak_above_start_MiB"] = double(peak - start) / 1024;
    state.counters["peak_per_raster"] = double(peak) / raster;
    state.counters["added_per_raster"] = double(peak - start) / raster;
}
BENCHMARK(BM_Scale4PeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace galerion

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--scale4-child") == 0)
        return galerion::RunScale4Child(argv[2], argv[3]);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
