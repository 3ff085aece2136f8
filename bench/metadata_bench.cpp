// What reading a photo's metadata costs next to decoding it: a 24-megapixel photo (6000 x 4000)
// with EXIF, XMP and IPTC blocks as a camera and a cataloguing program leave them. The reader,
// its decoding of blocks already in memory, and the reader against one LoadPicture of the same
// file in the same run (goal: at most 2 % of the decode).
#include "image/bitmap32.h"
#include "image/jpeg_codec.h"
#include "image/photo_metadata.h"

#include "support/photos.h"
#include "support/temp_folder.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

namespace galerion {
namespace {

constexpr int kPhotoWidth = 6000, kPhotoHeight = 4000;
constexpr int kKeywords = 25;

TMetadataEdits CameraAndCatalogueTags() {
    TMetadataEdits edits;
    edits.exif = {{"Exif.Image.Make", "Example Camera Works"},
                  {"Exif.Image.Model", "EC-24"},
                  {"Exif.Image.Orientation", "6"},
                  {"Exif.Image.ImageDescription", "OLYMPUS DIGITAL CAMERA"},
                  {"Exif.Image.Artist", "Ann Example"},
                  {"Exif.Image.Copyright", "(c) 2024 Ann Example"},
                  {"Exif.Photo.DateTimeOriginal", "2024:06:01 12:34:56"},
                  {"Exif.Photo.DateTimeDigitized", "2024:06:01 12:34:56"},
                  {"Exif.Photo.ExposureTime", "1/250"},
                  {"Exif.Photo.FNumber", "8/1"},
                  {"Exif.Photo.ISOSpeedRatings", "200"},
                  {"Exif.Photo.FocalLength", "35/1"},
                  {"Exif.GPSInfo.GPSLatitudeRef", "N"},
                  {"Exif.GPSInfo.GPSLatitude", "47/1 22/1 0/1"},
                  {"Exif.GPSInfo.GPSLongitudeRef", "E"},
                  {"Exif.GPSInfo.GPSLongitude", "8/1 32/1 0/1"}};
    edits.xmp = {{"Xmp.dc.title", "lang=\"x-default\" Harbour at noon"},
                 {"Xmp.dc.title", "lang=\"de-DE\" Hafen am Mittag"},
                 {"Xmp.dc.description", "lang=\"x-default\" Boats in the old harbour"},
                 {"Xmp.dc.creator", "Ann Example"},
                 {"Xmp.dc.rights", "lang=\"x-default\" All rights reserved"},
                 {"Xmp.photoshop.DateCreated", "2024-06-01T12:34:56+02:00"}};
    edits.iptc = {{"Iptc.Application2.ObjectName", "Harbour"},
                  {"Iptc.Application2.Caption", "Boats in the old harbour"},
                  {"Iptc.Application2.DateCreated", "2024-06-01"},
                  {"Iptc.Application2.TimeCreated", "12:34:56+02:00"}};
    for (int i = 0; i < kKeywords; ++i) {
        const std::string keyword = "keyword " + std::to_string(i);
        edits.xmp.emplace_back("Xmp.dc.subject", keyword);
        edits.xmp.emplace_back("Xmp.lr.hierarchicalSubject", "Places|Lake|" + keyword);
        edits.iptc.emplace_back("Iptc.Application2.Keywords", keyword);
    }
    return edits;
}

struct TFixture {
    test::TTempFolder folder{"galerion-metadata-bench-"};
    std::string photoPath = folder.File("photo.jpg");
    TFixture() {
        test::WritePhoto(photoPath, kPhotoWidth, kPhotoHeight, 3);
        WriteMetadataTags(photoPath, CameraAndCatalogueTags());
    }
};

const TFixture& Fixture() {
    static const TFixture fixture;
    return fixture;
}

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

void BM_ReadPhotoMetadata(benchmark::State& state) {
    const std::string& path = Fixture().photoPath;
    ReadPhotoMetadata(path);  // the library's one-time set-up
    for (auto _ : state) benchmark::DoNotOptimize(ReadPhotoMetadata(path));
}
BENCHMARK(BM_ReadPhotoMetadata)->Unit(benchmark::kMicrosecond);

void BM_DecodeMetadataBlocks(benchmark::State& state) {
    const TMetadataBlocks blocks = JpegMetadataBlocks(Fixture().photoPath);
    for (auto _ : state) benchmark::DoNotOptimize(DecodeMetadata(blocks));
}
BENCHMARK(BM_DecodeMetadataBlocks)->Unit(benchmark::kMicrosecond);

// Each iteration decodes the photo once and reads its metadata kReads times; the counters give
// both times per photo and the reader's share of the decode in percent.
void BM_MetadataAgainstDecode(benchmark::State& state) {
    constexpr int kReads = 50;
    const std::string& path = Fixture().photoPath;
    TBitmap32 raster;
    LoadPicture(raster, path);
    ReadPhotoMetadata(path);
    double decodeTotal = 0, readTotal = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        LoadPicture(raster, path);
        const auto decoded = std::chrono::steady_clock::now();
        for (int i = 0; i < kReads; ++i) benchmark::DoNotOptimize(ReadPhotoMetadata(path));
        const auto read = std::chrono::steady_clock::now();
        decodeTotal += Seconds(decoded - start);
        readTotal += Seconds(read - decoded) / kReads;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["decode_ms"] = decodeTotal / n * 1000;
    state.counters["metadata_us"] = readTotal / n * 1e6;
    state.counters["metadata_percent_of_decode"] = readTotal / decodeTotal * 100;
}
BENCHMARK(BM_MetadataAgainstDecode)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace galerion

BENCHMARK_MAIN();
