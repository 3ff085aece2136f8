#include "image/resize.h"

#include "core/log_messages.h"
#include "image/jpeg_codec.h"
#include "image_test_support.h"
#include "platform/errors.h"

#include <gtest/gtest.h>

#include <fstream>

namespace galerion {
namespace {

using test::PatternBitmap;
using test::TTempFolder;

TProcessingLog WarningLog() {
    TProcessingLog log;
    log.SetLevel(msg::kLevelWarning, true);
    return log;
}

TEST(ResizeTest, FittedSizes) {
    const struct {
        int width, height, boxWidth, boxHeight;
        bool keepSmaller;
        int fittedWidth, fittedHeight;
    } cases[] = {
        {3000, 2000, 150, 100, true, 150, 100},
        {3000, 2000, 800, 768, true, 800, 533},  // box ratio below 1.5: s = 800 / 3000
        {2000, 3000, 800, 768, true, 512, 768},
        {100, 50, 150, 100, true, 100, 50},     // smaller, kept
        {100, 50, 150, 100, false, 150, 75},    // smaller, enlarged anyway
        {150, 100, 150, 100, true, 150, 100},   // equal ratios: s = 1
        {265, 200, 1000, 100, true, 132, 100},  // 132.5 rounds to even
        {267, 200, 1000, 100, true, 134, 100},  // 133.5 rounds to even
        // Exact products on a half where the scale held as a double lies just above: the
        // extended product sees it, a double product would round to the even neighbour.
        {1010, 2000, 150, 100, true, 51, 100},
        {1155, 2002, 1000, 533, true, 307, 533},
        {1000, 1, 150, 100, true, 150, 1},  // 0.15 rounds to 0: a side never vanishes
        {1, 1000, 150, 100, true, 1, 100},
    };
    for (const auto& c : cases) {
        TProcessingLog log = WarningLog();
        TBitmap32 source;
        source.SetSize(c.width, c.height);
        TBitmap32 target;
        ResizeIntoBox("p.jpg", source, target, c.boxWidth, c.boxHeight, c.keepSmaller, sfNearest,
                      log);
        EXPECT_EQ(target.Width(), c.fittedWidth)
            << c.width << "x" << c.height << " into " << c.boxWidth << "x" << c.boxHeight;
        EXPECT_EQ(target.Height(), c.fittedHeight) << c.width << "x" << c.height;
    }
}

TEST(ResizeTest, FitScaleRatios) {
    EXPECT_DOUBLE_EQ(FitScale(3000, 2000, 150, 100), 0.05);
    EXPECT_DOUBLE_EQ(FitScale(3000, 2000, 800, 768), 800.0 / 3000.0);
    EXPECT_DOUBLE_EQ(FitScale(100, 50, 150, 100), 1.5);
    for (const auto& [bw, bh] : {std::pair{0, 100}, {150, 0}, {-1, 5}})
        EXPECT_THROW(FitScale(10, 10, bw, bh), RangeError);
    EXPECT_THROW(FitScale(0, 10, 150, 100), RangeError);
}

TEST(ResizeTest, SmallerPictureWarnings) {
    TBitmap32 source;
    source.SetSize(100, 50);
    TBitmap32 target;
    TProcessingLog log = WarningLog();
    ResizeIntoBox("/photos/a.jpg", source, target, 150, 100, true, sfLanczos, log);
    ResizeIntoBox("/photos/a.jpg", source, target, 150, 100, false, sfLanczos, log);
    ResizeIntoBox("/photos/a.jpg", source, target, 100, 50, false, sfLanczos,
                  log);  // exact: silent
    ASSERT_EQ(log.Lines().size(), 2u);
    EXPECT_EQ(log.Lines()[0].text, msg::SmallerThanBox(true, "/photos/a.jpg"));
    EXPECT_EQ(log.Lines()[1].text, msg::SmallerThanBox(false, "/photos/a.jpg"));
    EXPECT_EQ(log.Lines()[0].mark.imageIndex, msg::kLevelWarning);
}

TEST(ResizeTest, FilterIsKeptByBothRastersAndBoxZeroFails) {
    TBitmap32 source = PatternBitmap(30, 20);
    TBitmap32 target;
    TProcessingLog log = WarningLog();
    ResizeIntoBox("a", source, target, 15, 10, true, sfMitchell, log);
    EXPECT_EQ(source.StretchFilter, sfMitchell);
    EXPECT_EQ(target.StretchFilter, sfMitchell);
    EXPECT_THROW(ResizeIntoBox("a", source, target, 0, 10, true, sfMitchell, log), RangeError);
}

TEST(ResizeTest, WorkingThumbnail) {
    TTempFolder folder;
    const std::string photo = folder.File("a.jpg");
    SaveJpeg(PatternBitmap(300, 200), 90, photo);
    TProcessingLog log = WarningLog();

    MakeWorkingThumbnail(photo, folder.File("tmp_a.jpg"), 150, 100, true, sfNearest, log);
    EXPECT_EQ(ReadJpegSize(folder.File("tmp_a.jpg")).Width, 150);
    EXPECT_EQ(ReadJpegSize(folder.File("tmp_a.jpg")).Height, 100);
    EXPECT_TRUE(log.Lines().empty());

    MakeWorkingThumbnail(photo, folder.File("big.jpg"), 600, 600, true, sfNearest, log);
    EXPECT_EQ(ReadJpegSize(folder.File("big.jpg")).Width, 300);
    ASSERT_EQ(log.Lines().size(), 1u);
    EXPECT_EQ(log.Lines()[0].text, msg::SmallerThanBox(true, photo, folder.File("big.jpg")));

    std::ofstream(folder.File("bad.jpg")) << "not a picture";
    EXPECT_THROW(MakeWorkingThumbnail(folder.File("bad.jpg"), folder.File("tmp_bad.jpg"), 150, 100,
                                      true, sfNearest, log),
                 ImageError);
    EXPECT_THROW(MakeWorkingThumbnail(photo, folder.File("zero.jpg"), 0, 100, true, sfNearest, log),
                 RangeError);
    EXPECT_FALSE(std::filesystem::exists(folder.File("tmp_bad.jpg")));
    EXPECT_FALSE(std::filesystem::exists(folder.File("zero.jpg")));
}

TEST(ResizeTest, WorkingThumbnailsInReusedRastersMatchFreshOnes) {
    TTempFolder folder;
    TProcessingLog log = WarningLog();
    TThumbnailRasters rasters;
    for (const auto& [w, h] : {std::pair{300, 200}, {120, 260}}) {
        const std::string photo = folder.File("p" + std::to_string(w) + ".jpg");
        SaveJpeg(PatternBitmap(w, h, static_cast<unsigned>(w)), 90, photo);
        MakeWorkingThumbnail(photo, folder.File("fresh.jpg"), 150, 100, true, sfNearest, log);
        MakeWorkingThumbnail(photo, folder.File("reused.jpg"), 150, 100, true, sfNearest, log,
                             rasters);
        TBitmap32 fresh, reused;
        LoadPicture(fresh, folder.File("fresh.jpg"));
        LoadPicture(reused, folder.File("reused.jpg"));
        ASSERT_EQ(fresh.Width(), reused.Width());
        EXPECT_TRUE(std::equal(fresh.Bits(), fresh.Bits() + fresh.PixelCount(), reused.Bits()));
    }
}

}  // namespace
}  // namespace galerion
