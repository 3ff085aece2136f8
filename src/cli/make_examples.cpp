// galerion-make-examples DIR: writes a small folder tree of example photos (landscapes drawn in
// code) to try Galerion on without any photos of one's own.
#include "image/bitmap32.h"
#include "image/jpeg_codec.h"
#include "image/orientation.h"
#include "image/photo_metadata.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace galerion;

struct TScene {
    int width, height;
    double sunX, sunY, hills, hue;
};

int Clamp(double v) { return v < 0 ? 0 : v > 255 ? 255 : static_cast<int>(v); }

TColor32 SceneColor(const TScene& s, int x, int y) {
    const double u = static_cast<double>(x) / s.width, v = static_cast<double>(y) / s.height;
    const double ridge =
        0.62 + 0.08 * std::sin(u * s.hills * 6.28 + s.hue) + 0.04 * std::sin(u * s.hills * 17.0);
    if (v > ridge) {  // hills, darker towards the bottom
        const double shade = 1.0 - 0.5 * (v - ridge) / (1.0 - ridge);
        return Color32(Clamp(40 * shade + 30 * s.hue), Clamp(140 * shade), Clamp(60 * shade));
    }
    const double dx = u - s.sunX, dy = (v - s.sunY) * s.height / s.width;
    const double sun = std::exp(-(dx * dx + dy * dy) * 400.0);
    return Color32(Clamp(90 + 120 * v + 160 * sun), Clamp(150 + 70 * v + 140 * sun),
                   Clamp(235 - 60 * v * s.hue + 40 * sun));
}

// As a phone writes it: a portrait is stored lying on its side with the tag that stands it up,
// and each photo carries the date it was taken, a title, a keyword and its artist.
void WriteScene(const TScene& s, const std::string& path, int number, const char* keyword) {
    TBitmap32 bitmap;
    bitmap.SetSize(s.width, s.height);
    for (int y = 0; y < s.height; ++y) {
        TColor32* row = bitmap.ScanLine(y);
        for (int x = 0; x < s.width; ++x) row[x] = SceneColor(s, x, y);
    }
    const bool portrait = s.height > s.width;
    if (portrait) ApplyOrientation(bitmap, 4);
    SaveJpeg(bitmap, 92, path);
    char taken[32];
    std::snprintf(taken, sizeof taken, "2024:07:%02d 10:%02d:00", 1 + number, 5 * number % 60);
    WriteMetadataTags(path, {.exif = {{"Exif.Image.Orientation", portrait ? "6" : "1"},
                                      {"Exif.Photo.DateTimeOriginal", taken},
                                      {"Exif.Image.Artist", "Galerion examples"}},
                             .xmp = {{"Xmp.dc.title", "lang=\"x-default\" " + std::string(keyword) +
                                                          " " + std::to_string(number + 1)},
                                     {"Xmp.dc.subject", keyword}}});
}

struct TAlbumPlan {
    const char* folder;
    int photos;
    const char* keyword;
};

constexpr const char* kUsage =
    "Usage: galerion-make-examples DIR\n"
    "\n"
    "Writes a small tree of example photos (landscapes drawn in code) below DIR, to try\n"
    "galerion and galerion-cli without photos of one's own: Holidays/Coast (4 photos),\n"
    "Holidays/Mountains (3) and Family (3), 1600 x 1200 or 1200 x 1600 pixels each.\n"
    "As a phone writes them, portraits are stored on their side with an EXIF Orientation\n"
    "tag, and every photo carries the date it was taken, a title and a keyword.\n"
    "Existing files of the same names are replaced.\n"
    "\n"
    "Example:\n"
    "  galerion-make-examples /tmp/galerion-examples\n"
    "  galerion-cli --update-mode update --set 'MainDir=/tmp/galerion-examples/*.*' process "
    "--all\n";

}  // namespace

int main(int argc, char** argv) {
    const std::string argument = argc == 2 ? argv[1] : "";
    if (argument == "--help" || argument == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc != 2 || argument.empty() || argument[0] == '-') {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string root = argument;
    const std::vector<TAlbumPlan> albums = {{"Holidays/Coast", 4, "Coast"},
                                            {"Holidays/Mountains", 3, "Mountains"},
                                            {"Family", 3, "Family"}};
    try {
        int n = 0;
        for (const TAlbumPlan& album : albums) {
            const std::string folder = root + "/" + album.folder;
            std::filesystem::create_directories(folder);
            for (int i = 0; i < album.photos; ++i, ++n) {
                const bool portrait = n % 3 == 2;
                const TScene scene{portrait ? 1200 : 1600,
                                   portrait ? 1600 : 1200,
                                   0.2 + 0.15 * (n % 5),
                                   0.15 + 0.05 * (n % 3),
                                   1.0 + n % 4,
                                   0.3 * (n % 4)};
                char name[32];
                std::snprintf(name, sizeof name, "/IMG_%04d.JPG", 1001 + n);
                WriteScene(scene, folder + name, n, album.keyword);
            }
        }
        std::printf("%d example photos written below %s\n", n, root.c_str());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "galerion-make-examples: %s\n", e.what());
        return 1;
    }
}
