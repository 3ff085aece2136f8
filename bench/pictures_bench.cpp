// The Pictures page under load, in one run:
//  1. preparing an album of 12 MP baseline photos (working thumbnails made, tiles created)
//     against one full decode of the same photos, per photo (goal: at most 0.6 x);
//  2. the longest interval between two stop checks on 24 MP photos, in preparation and in the
//     processing run (the window repaints and Stop answers only at stop checks);
//  3. laying out 1000 tiles after the tile area was resized (goal: under 50 ms).
//
//   QT_QPA_PLATFORM=offscreen pictures_bench [photos=40] [photos of 24 MP=3] [tiles=1000]
#include "core/host/user_host.h"
#include "core/model.h"
#include "core/processing_log.h"
#include "core/settings.h"
#include "image/bitmap32.h"
#include "image/jpeg_codec.h"
#include "processing/album_preparation.h"
#include "processing/busy_state.h"
#include "processing/processing_run.h"
#include "processing/wizard_context.h"
#include "support/photos.h"
#include "support/temp_folder.h"
#include "support/test_database.h"
#include "ui/pictures/picture_tile.h"
#include "ui/pictures/pictures_page.h"

#include <QApplication>
#include <QScrollArea>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace galerion;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Processor time of the whole process (all threads), to tell the work from the waiting on a
// shared machine.
double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Hands the pictures view to the page and times the stop checks, letting events run at each
// as the window does.
class TBenchHost : public TUserHost {
public:
    ui::TPicturesPage* page = nullptr;
    Clock::time_point lastPump{};
    double longestPump = 0;

    void StartTiming() {
        lastPump = Clock::now();
        longestPump = 0;
    }
    void ShowError(const std::string& t) override {
        std::fprintf(stderr, "error: %s\n", t.c_str());
    }
    void ShowWarning(const std::string& t) override {
        std::fprintf(stderr, "warning: %s\n", t.c_str());
    }
    void ShowInformation(const std::string&) override {}
    bool Confirm(const std::string&) override { return true; }
    TExistingAlbumReply AskExistingAlbum(const std::string&) override {
        return {TExistingAlbumAnswer::Update, false};
    }
    [[noreturn]] void ExitProgram(int code) override { std::exit(code); }
    void PumpMessages() override {
        QCoreApplication::processEvents();
        const Clock::time_point now = Clock::now();
        longestPump = std::max(longestPump, Seconds(now - lastPump));
        lastPump = now;
    }
    int TileAreaWidth() const override { return page->TileAreaWidth(); }
    std::unique_ptr<TVisualPictureItem> CreateTile(TPictureItem& p,
                                                   const TTilePlacement& w) override {
        return page->CreateTile(p, w);
    }
    void ClearFacePicture() override { page->ClearFacePicture(); }
    void ShowAlbumDetails(const TAlbumItem& a) override { page->ShowAlbumDetails(a); }
    void RepaintAlbumList() override { page->RepaintAlbumList(); }
    void SetProcessButton(const std::string& c, bool e) override { page->SetProcessButton(c, e); }
};

std::string MakeAlbum(const std::string& folder, int photos, int width, int height) {
    std::filesystem::create_directories(folder);
    for (int i = 0; i < photos; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/IMG_%04d.jpg", i);
        test::WritePhoto(folder + name, width, height, i);
    }
    return folder;
}

// Wall and processor seconds (all threads) of one step.
struct TTimes {
    double wall = 0, cpu = 0;
};

template <class Step>
TTimes Timed(Step step) {
    const double cpu = CpuSeconds();
    const Clock::time_point start = Clock::now();
    step();
    return {Seconds(Clock::now() - start), CpuSeconds() - cpu};
}

TTimes DecodeAll(const TAlbumItem& album) {
    TBitmap32 raster;
    return Timed([&] {
        for (int i = 0; i < album.PictureCount(); ++i)
            LoadPicture(raster, album.PictureAt(i)->OriginalFile);
    });
}

// Only the last row read: what reading and entropy-decoding the file costs, the floor of any
// decode that skips rows. (Skipping to the end would stop reading the file altogether.)
TTimes LastRowOnly(const TAlbumItem& album) {
    TBitmap32 raster;
    return Timed([&] {
        for (int i = 0; i < album.PictureCount(); ++i)
            LoadPictureRows(raster, album.PictureAt(i)->OriginalFile,
                            [](int, int height) { return std::vector<int>{height - 1}; });
    });
}

struct TBench {
    test::TTempFolder root{"galerion_pictures_bench_"};
    TBenchHost host;
    TProcessingLog log;
    TSettings settings;
    TAlbumList albums;
    TBusyState busy{host};
    TWizardContext context{albums, settings, log, host, busy};
    ui::TPicturesPage page{context, host};

    TBench() {
        host.page = &page;
        settings.DB = test::CreateDatabase(root.File("site.db"));
        settings.RecreateTemp = true;
        page.resize(1200, 800);
        page.show();
        QCoreApplication::processEvents();
    }

    // "Pictures >" for one album.
    TTimes Prepare(const std::string& folder) {
        albums.Clear();
        albums.AddAlbum(folder);
        page.StartWithAlbums();
        host.StartTiming();
        return Timed([&] {
            TBusyScope scope(busy);
            PrepareAlbum(context, 0);
        });
    }
};

void PreparationAgainstDecode(TBench& b, int photos) {
    std::printf("Writing %d photos of 4000 x 3000 (12 MP, 4:2:0)...\n", photos);
    const std::string folder = MakeAlbum(b.root.File("Album12"), photos, 4000, 3000);
    b.Prepare(folder);  // collects the album and warms the file cache
    const TTimes decodeBefore = DecodeAll(*b.albums.AlbumAt(0));
    const TTimes prepare = b.Prepare(folder);
    const TTimes decodeAfter = DecodeAll(*b.albums.AlbumAt(0));
    const TTimes floor = LastRowOnly(*b.albums.AlbumAt(0));
    const double decode = (decodeBefore.wall + decodeAfter.wall) / 2;
    const double decodeCpu = (decodeBefore.cpu + decodeAfter.cpu) / 2;
    auto perPhoto = [photos](double seconds) { return 1000 * seconds / photos; };
    std::printf("full decode:  %.1f ms per photo (%.1f before, %.1f after)\n", perPhoto(decode),
                perPhoto(decodeBefore.wall), perPhoto(decodeAfter.wall));
    std::printf(
        "only the last row: %.1f ms per photo (%.2f x, the floor of a row-skipping decode)\n",
        perPhoto(floor.wall), floor.wall / decode);
    std::printf("preparation:  %.1f ms per photo (thumbnail made, tile created)\n",
                perPhoto(prepare.wall));
    std::printf("  preparation / full decode: %.2f x  (goal <= 0.6)\n", prepare.wall / decode);
    std::printf(
        "  processor time, all threads: decode %.1f ms, only the last row %.1f ms (%.2f x), "
        "preparation %.1f ms (%.2f x) per photo\n",
        perPhoto(decodeCpu), perPhoto(floor.cpu), floor.cpu / decodeCpu, perPhoto(prepare.cpu),
        prepare.cpu / decodeCpu);
}

void StopCheckIntervals(TBench& b, int photos) {
    std::printf("Writing %d photos of 6000 x 4000 (24 MP)...\n", photos);
    const std::string folder = MakeAlbum(b.root.File("Album24"), photos, 6000, 4000);
    b.Prepare(folder);
    std::printf("longest interval between stop checks, preparation: %.0f ms\n",
                1000 * b.host.longestPump);
    b.settings.ProcessLarge = true;
    b.settings.ResizeMode = sfLanczos;
    b.settings.UpdateMode = 2;
    b.host.StartTiming();
    StartProcessing(b.context);
    std::printf(
        "longest interval between stop checks, processing run (large, medium, thumbnail, "
        "Lanczos): %.0f ms\n",
        1000 * b.host.longestPump);
}

void TileLayout(TBench& b, int tiles) {
    const std::string folder = b.root.File("Tiles");
    std::filesystem::create_directories(folder);
    const std::string thumb = folder + "/tmp_shared.jpg";
    test::WritePhoto(thumb, 150, 100, 1);
    b.albums.Clear();
    b.albums.AddAlbum(folder);
    b.page.StartWithAlbums();
    TAlbumItem& album = *b.albums.AlbumAt(0);
    album.Prepared = true;
    for (int i = 0; i < tiles; ++i) {
        const int index = album.PictureItems.Add(folder + "/p" + std::to_string(i) + ".jpg");
        auto picture = std::make_unique<TPictureItem>(&album.PictureItems);
        picture->TempFile = thumb;
        album.PictureItems.SetObject(index, std::move(picture));
        const TTilePlacement where = TilePosition(i, 150, 100, b.page.TileAreaWidth());
        album.SetTile(index, b.page.CreateTile(*album.PictureAt(index), where));
        album.TileAt(index)->ApplyPictureState();
    }
    QCoreApplication::processEvents();
    // The layout itself, at changing widths (every tile moves), and the whole resize as the
    // window sees it: the new width reaches the page, which lays out, then everything repaints.
    double longestLayout = 0, totalLayout = 0, longest = 0, total = 0;
    const int widths[] = {700, 1100, 900, 1300, 800, 1000};
    for (int width : widths) {
        b.page.PhotosArea().setFixedWidth(width);
        QCoreApplication::processEvents();
        // Another cell width moves every tile, as a new window width does.
        b.settings.ThumbWidth = b.settings.ThumbWidth == "150" ? "210" : "150";
        Clock::time_point start = Clock::now();
        b.page.RelayoutAfterResize();
        const double layout = Seconds(Clock::now() - start);
        QCoreApplication::processEvents();
        longestLayout = std::max(longestLayout, layout);
        totalLayout += layout;

        b.page.PhotosArea().setFixedWidth(width + 175);
        start = Clock::now();
        QCoreApplication::processEvents();
        const double whole = Seconds(Clock::now() - start);
        longest = std::max(longest, whole);
        total += whole;
    }
    const double count = static_cast<double>(std::size(widths));
    std::printf("%d tiles laid out after a resize: %.1f ms mean, %.1f ms longest  (goal < 50 ms)\n",
                tiles, 1000 * totalLayout / count, 1000 * longestLayout);
    std::printf("  the whole resize with layout and repaint: %.1f ms mean, %.1f ms longest\n",
                1000 * total / count, 1000 * longest);
    album.ReleaseTiles();
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int photos = argc > 1 ? std::atoi(argv[1]) : 40;
    const int bigPhotos = argc > 2 ? std::atoi(argv[2]) : 3;
    const int tiles = argc > 3 ? std::atoi(argv[3]) : 1000;
    TBench bench;
    if (photos > 0) PreparationAgainstDecode(bench, photos);
    if (bigPhotos > 0) StopCheckIntervals(bench, bigPhotos);
    if (tiles > 0) TileLayout(bench, tiles);
    return 0;
}
