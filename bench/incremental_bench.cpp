// A nightly batch run over an unchanged photo tree: galerion-cli processes N generated photos
// (20 albums), then runs again with --incremental, which must find every output up to date from
// its record alone. Prints both times and their ratio, then the time of a run after one photo
// was replaced (its three files written again, nothing else).
//
//   incremental_bench [photos=1000] [width=1600] [height=1200]
#include "image/bitmap32.h"
#include "image/jpeg_codec.h"
#include "platform/program_paths.h"
#include "support/temp_folder.h"

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

namespace {

using namespace galerion;

constexpr int kAlbums = 20;

double Now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// A textured landscape-like raster; each photo differs in a band of rows, so no two files match.
TBitmap32 BasePicture(int width, int height) {
    TBitmap32 bitmap;
    bitmap.SetSize(width, height);
    unsigned noise = 12345;
    for (int y = 0; y < height; ++y) {
        TColor32* row = bitmap.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int n = static_cast<int>((noise >> 16) & 31);
            row[x] = Color32((x * 255 / width + n) & 255, (y * 255 / height + n) & 255,
                             (x + y + n) & 255);
        }
    }
    return bitmap;
}

void WritePhotos(const std::string& root, int photos, int width, int height) {
    TBitmap32 bitmap = BasePicture(width, height);
    for (int i = 0; i < photos; ++i) {
        const std::string album = root + "/album" + std::to_string(i % kAlbums);
        std::filesystem::create_directories(album);
        TColor32* row = bitmap.ScanLine((i * 7) % height);
        for (int x = 0; x < width; ++x) row[x] = Color32(i & 255, (i >> 8) & 255, x & 255);
        SaveJpeg(bitmap, 90, album + "/photo" + std::to_string(i) + ".jpg");
    }
}

// Processor time (user + system) of the finished child processes so far.
double ChildrenCpu() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

struct TTimes {
    double wall, cpu;
};

// Wall time, and the processor time that does not depend on what else the machine runs.
TTimes Run(const std::string& command) {
    const double start = Now(), startCpu = ChildrenCpu();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
    return {Now() - start, ChildrenCpu() - startCpu};
}

}  // namespace

int main(int argc, char** argv) {
    const int photos = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int width = argc > 2 ? std::atoi(argv[2]) : 1600;
    const int height = argc > 3 ? std::atoi(argv[3]) : 1200;
    if (photos < 1 || width < 1 || height < 1) {
        std::fprintf(stderr, "Usage: incremental_bench [photos] [width] [height]\n");
        return 2;
    }
    test::TTempFolder folder("galerion-incremental-");
    const std::string photosFolder = folder / "photos";
    std::printf("Writing %d photos of %dx%d in %d albums below %s ...\n", photos, width, height,
                kAlbums, photosFolder.c_str());
    std::fflush(stdout);
    WritePhotos(photosFolder, photos, width, height);

    const std::string cli = "'" + ProgramFolder() + "galerion-cli' --settings '" +
                            folder / "Galerion.reg" + "' --db '" + folder / "site.db" + "' ";
    Run(cli + "init-db > /dev/null");
    const std::string process =
        cli + "--update-mode update --set 'MainDir=" + photosFolder + "/*.*' process --all";
    const TTimes first = Run(process + " > /dev/null 2>&1");
    const TTimes rerun = Run(process + " --incremental > /dev/null 2>&1");
    WritePhotos(photosFolder, 1, width, height);  // photo0 replaced
    const TTimes oneChanged = Run(process + " --incremental 2>/dev/null | grep '^Pictures:'");
    std::printf("%d photos, medium + thumbnail, Lanczos       wall       cpu\n", photos);
    std::printf("first run                             %8.2f s %8.2f s\n", first.wall, first.cpu);
    std::printf("--incremental rerun                   %8.2f s %8.2f s\n", rerun.wall, rerun.cpu);
    std::printf("rerun / first run                     %8.2f %% %8.2f %%\n",
                100.0 * rerun.wall / first.wall, 100.0 * rerun.cpu / first.cpu);
    std::printf("--incremental, one photo replaced     %8.2f s %8.2f s\n", oneChanged.wall,
                oneChanged.cpu);
    return 0;
}
