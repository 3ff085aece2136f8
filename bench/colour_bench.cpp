// What colour conversion and HEIC cost in a photo's whole job (decode, Lanczos into 800 x 768
// and 150 x 100, the large, medium and thumbnail encodes) on a 12-megapixel photo, in
// processor time of the whole process: the same photo unprofiled, with an sRGB profile and
// converted from Adobe RGB (on the tables and, for comparison, on the colour management's own
// transform); and a HEIC photo's job next to the library's decode of it alone.
#include "core/processing_log.h"
#include "image/colour_profile.h"
#include "image/heif_codec.h"
#include "image/jpeg_codec.h"
#include "image/resize.h"

#include "support/photos.h"
#include "support/temp_folder.h"

#include <benchmark/benchmark.h>

#include <string>

namespace galerion {
namespace {

constexpr int kPhotoWidth = 4000;
constexpr int kPhotoHeight = 3000;
constexpr int kQuality = 90;

struct TFixture {
    test::TTempFolder folder;
    std::string plain = folder.File("plain.jpg");
    std::string srgb = folder.File("srgb.jpg");
    std::string adobe = folder.File("adobe.jpg");
    std::string heic = folder.File("photo.heic");
    TFixture() {
        TBitmap32 photo = test::TexturedPhoto(kPhotoWidth, kPhotoHeight);
        SaveJpeg(photo, kQuality, plain);
        SaveJpeg(photo, kQuality, srgb, {}, IccProfileSegments(SrgbProfile()));
        WriteHeifFixture(photo, heic, {.Orientation = 1, .Exif = {}, .Icc = {}, .Quality = 80});
        ConvertFromSrgb(photo, AdobeRgbProfile());
        SaveJpeg(photo, kQuality, adobe, {}, IccProfileSegments(AdobeRgbProfile()));
    }
};

TFixture& Fixture() {
    static TFixture fixture;
    return fixture;
}

struct TJob {
    TBitmap32 master, medium, thumb;
    TSrgbConversion conversion;  // kept from photo to photo, as the run keeps it
    TProcessingLog log;

    explicit TJob(TConversionEngine engine) : conversion(engine) {}

    void Run(const std::string& path, const test::TTempFolder& folder) {
        LoadPicture(master, path, {TColourProfiles::ToSrgb, &conversion});
        SaveJpeg(master, kQuality, folder.File("l.jpg"));
        ResizeIntoBox(path, master, medium, 800, 768, false, sfLanczos, log);
        SaveJpeg(medium, kQuality, folder.File("m.jpg"));
        ResizeIntoBox(path, master, thumb, 150, 100, false, sfLanczos, log);
        SaveJpeg(thumb, kQuality, folder.File("t.jpg"));
    }
};

void Job(benchmark::State& state, const std::string& path,
         TConversionEngine engine = TConversionEngine::Tables) {
    TJob job(engine);
    job.Run(path, Fixture().folder);  // buffers and the transform are made once
    for (auto _ : state) job.Run(path, Fixture().folder);
}

void BM_JobUnprofiled(benchmark::State& state) { Job(state, Fixture().plain); }
void BM_JobSrgbProfile(benchmark::State& state) { Job(state, Fixture().srgb); }
void BM_JobAdobeRgb(benchmark::State& state) { Job(state, Fixture().adobe); }
void BM_JobAdobeRgbTransformOnly(benchmark::State& state) {
    Job(state, Fixture().adobe, TConversionEngine::TransformOnly);
}
void BM_JobHeic(benchmark::State& state) { Job(state, Fixture().heic); }

void BM_HeifDecodeAlone(benchmark::State& state) {
    TBitmap32 raster;
    for (auto _ : state) LoadHeif(raster, Fixture().heic);
}

// The conversion alone, on the decoded Adobe RGB pixels.
void Convert(benchmark::State& state, TConversionEngine engine) {
    TBitmap32 raster;
    LoadPicture(raster, Fixture().adobe, {TColourProfiles::Keep, nullptr});
    TSrgbConversion conversion(engine);
    std::string problem;
    conversion.Prepare(AdobeRgbProfile(), TSourcePixels::Bgra, problem);
    for (auto _ : state)
        for (int y = 0; y < raster.Height(); ++y)
            conversion.Convert(raster.ScanLine(y), raster.ScanLine(y), raster.Width());
    state.counters["ns_per_pixel"] = benchmark::Counter(
        static_cast<double>(raster.PixelCount()) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_ConvertAdobeRgb(benchmark::State& state) { Convert(state, TConversionEngine::Tables); }
void BM_ConvertAdobeRgbTransformOnly(benchmark::State& state) {
    Convert(state, TConversionEngine::TransformOnly);
}

BENCHMARK(BM_JobUnprofiled)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_JobSrgbProfile)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_JobAdobeRgb)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_JobAdobeRgbTransformOnly)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_ConvertAdobeRgb)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_ConvertAdobeRgbTransformOnly)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_JobHeic)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_HeifDecodeAlone)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace
}  // namespace galerion

BENCHMARK_MAIN();
