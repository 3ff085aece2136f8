// Whole-album throughput: 50 photos of 12 megapixels, large + medium + thumbnail, Lanczos,
// quality 90, with the database phase, against the codec floor (decode + the three encodes
// alone, measured in the same run). Then a second run with the recreate switches off, and the
// same photos in Adobe RGB (with their profile, converted to sRGB by the run) against them.
//
//   processing_bench [photos] [width] [height]
#include "core/model.h"
#include "core/processing_log.h"
#include "core/settings.h"
#include "image/bitmap32.h"
#include "image/colour_profile.h"
#include "image/jpeg_codec.h"
#include "image/resize.h"
#include "processing/album_preparation.h"
#include "processing/busy_state.h"
#include "processing/processing_run.h"
#include "processing/wizard_context.h"
#include "support/photos.h"
#include "support/scripted_host.h"
#include "support/temp_folder.h"
#include "support/test_database.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

namespace {

using namespace galerion;

struct TClock {
    double wall, cpu;
    static TClock Now() {
        timespec w{}, c{};
        clock_gettime(CLOCK_MONOTONIC, &w);
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &c);
        return {w.tv_sec + w.tv_nsec * 1e-9, c.tv_sec + c.tv_nsec * 1e-9};
    }
    TClock operator-(const TClock& o) const { return {wall - o.wall, cpu - o.cpu}; }
};

// Decode + large encode + the medium and thumbnail encodes at their output sizes.
TClock CodecFloor(const TAlbumItem& album, const std::string& scratch) {
    TBitmap32 master, medium, thumb;
    const TClock start = TClock::Now();
    for (int i = 0; i < album.PictureCount(); ++i) {
        LoadPicture(master, album.PictureAt(i)->OriginalFile);
        SaveJpeg(master, 90, scratch + "/large.jpg");
        const double s = FitScale(master.Width(), master.Height(), 800, 768);
        medium.SetSize(static_cast<int>(std::nearbyint(master.Width() * s)),
                       static_cast<int>(std::nearbyint(master.Height() * s)));
        SaveJpeg(medium, 90, scratch + "/medium.jpg");
        const double t = FitScale(master.Width(), master.Height(), 150, 100);
        thumb.SetSize(static_cast<int>(std::nearbyint(master.Width() * t)),
                      static_cast<int>(std::nearbyint(master.Height() * t)));
        SaveJpeg(thumb, 90, scratch + "/thumb.jpg");
    }
    return TClock::Now() - start;
}

// The album's photos in Adobe RGB colours, each carrying that profile, in a folder of its own.
void WriteAdobeRgbCopies(const TAlbumItem& album, const std::string& folder) {
    std::filesystem::create_directories(folder);
    const TIccProfile adobe = AdobeRgbProfile();
    TBitmap32 photo;
    for (int i = 0; i < album.PictureCount(); ++i) {
        const std::string& source = album.PictureAt(i)->OriginalFile;
        LoadPicture(photo, source);
        ConvertFromSrgb(photo, adobe);
        SaveJpeg(photo, 92, folder + "/" + std::filesystem::path(source).filename().string(), {},
                 IccProfileSegments(adobe));
    }
}

TClock ProcessAlone(TWizardContext& context, const std::string& folder) {
    context.albums.Clear();
    context.albums.AddAlbum(folder);
    {
        TBusyScope scope(context.busy);
        PrepareAlbum(context, 0);
    }
    const TClock start = TClock::Now();
    StartProcessing(context);
    return TClock::Now() - start;
}

}  // namespace

int main(int argc, char** argv) {
    const int photos = argc > 1 ? std::atoi(argv[1]) : 50;
    const int width = argc > 2 ? std::atoi(argv[2]) : 4000;
    const int height = argc > 3 ? std::atoi(argv[3]) : 3000;
    namespace fs = std::filesystem;
    const test::TTempFolder rootFolder("galerion-processing-bench-");
    const fs::path root = rootFolder.Path();
    const std::string folder = (root / "Album").string();
    fs::create_directories(folder);
    std::printf("Writing %d photos of %dx%d (%.1f MP)...\n", photos, width, height,
                width * height / 1e6);
    for (int i = 0; i < photos; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/IMG_%04d.jpg", i);
        test::WritePhoto(folder + name, width, height, i);
    }

    test::TScriptedHost host;
    TProcessingLog log;
    log.ApplyLogSwitches(true, false, false);
    TSettings settings;
    settings.ProcessLarge = true;
    settings.ResizeMode = 3;
    settings.UpdateMode = 2;
    settings.DB = test::CreateDatabase((root / "site.db").string());
    TAlbumList albums;
    TBusyState busy(host);
    TWizardContext context{albums, settings, log, host, busy};
    context.makeWorkingThumbnails = false;
    albums.AddAlbum(folder);
    {
        TBusyScope scope(busy);
        PrepareAlbum(context, 0);
    }

    const TClock floor = CodecFloor(*albums.AlbumAt(0), root.string());
    const TClock first = [&] {
        const TClock start = TClock::Now();
        StartProcessing(context);
        return TClock::Now() - start;
    }();
    settings.RecreateLarge = settings.RecreateMedium = settings.RecreateThumb = false;
    const TClock second = [&] {
        const TClock start = TClock::Now();
        StartProcessing(context);
        return TClock::Now() - start;
    }();

    const std::string adobeFolder = (root / "AdobeRgb").string();
    WriteAdobeRgbCopies(*albums.AlbumAt(0), adobeFolder);
    settings.RecreateLarge = settings.RecreateMedium = settings.RecreateThumb = true;
    const TClock srgbRun = ProcessAlone(context, folder);
    const TClock adobeRun = ProcessAlone(context, adobeFolder);

    std::printf(
        "codec floor (decode + 3 encodes, one core): %.3f s wall, %.3f s CPU, %.2f photos/s\n",
        floor.wall, floor.cpu, photos / floor.wall);
    std::printf("full run:  %.3f s wall, %.3f s CPU, %.2f photos/s\n", first.wall, first.cpu,
                photos / first.wall);
    std::printf("  CPU / codec floor CPU:        %.2f  (goal <= 1.3)\n", first.cpu / floor.cpu);
    std::printf("  wall / single-core floor:     %.2f  (goal < 1)\n", first.wall / floor.wall);
    std::printf("second run, recreate off: %.3f s wall = %.1f %% of the first (goal < 5 %%)\n",
                second.wall, 100.0 * second.wall / first.wall);
    std::printf(
        "Adobe RGB photos converted to sRGB: %.3f s CPU against %.3f s for the same photos "
        "in sRGB = %.2f  (goal <= 1.15)\n",
        adobeRun.cpu, srgbRun.cpu, adobeRun.cpu / srgbRun.cpu);
    for (const std::string& error : host.errors) std::fprintf(stderr, "error: %s\n", error.c_str());
    return host.errors.empty() ? 0 : 1;
}
