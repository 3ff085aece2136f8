#include "image/tool/image_tool.h"

#include "image/jpeg_codec.h"
#include "image/orientation.h"
#include "image/tool/pam.h"
#include "image_test_support.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

namespace galerion {
namespace {

using test::PatternBitmap;
using test::RowsOf;
using ::testing::HasSubstr;

struct TRun {
    int code;
    std::string out, err;
};

TRun RunTool(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = RunImageTool(args, out, err);
    return {code, out.str(), err.str()};
}

class ImageToolTest : public ::testing::Test {
protected:
    test::TTempFolder folder;
};

TEST_F(ImageToolTest, FitPrintsScaleAndSize) {
    EXPECT_EQ(RunTool({"fit", "3000", "2000", "800", "768"}).out, "0.26666666666666666 800x533\n");
    EXPECT_EQ(RunTool({"fit", "100", "50", "150", "100"}).out, "1.5 150x75\n");
    EXPECT_EQ(RunTool({"fit", "100", "50", "150", "100", "--upscale"}).out, "1 100x50\n");
}

TEST_F(ImageToolTest, PamIsLosslessThroughAnOperation) {
    const TBitmap32 picture = PatternBitmap(7, 5);
    SavePam(picture, folder.File("in.pam"));
    ASSERT_EQ(RunTool({"orient", "-2", folder.File("in.pam"), folder.File("out.pam")}).code, 0);
    TBitmap32 expected = picture;
    ApplyOrientation(expected, -2);
    TBitmap32 result;
    LoadPam(result, folder.File("out.pam"));
    EXPECT_EQ(RowsOf(result), RowsOf(expected));
}

TEST_F(ImageToolTest, ResizeWritesJpegAndReportsTheUpscaleRule) {
    SaveJpeg(PatternBitmap(40, 20), 90, folder.File("a.jpg"));
    const TRun run = RunTool({"resize", "--box", "100x100", "--filter", "2", folder.File("a.jpg"),
                              folder.File("b.jpg")});
    EXPECT_EQ(run.code, 0);
    EXPECT_THAT(run.err, HasSubstr("Picture will be upscaled anyway."));
    EXPECT_EQ(ReadJpegSize(folder.File("b.jpg")).Width, 100);
    EXPECT_EQ(RunTool({"size", folder.File("b.jpg")}).out, "100x50\n");
}

TEST_F(ImageToolTest, ExitCodes) {
    EXPECT_EQ(RunTool({"--help"}).code, 0);
    EXPECT_THAT(RunTool({"--help"}).out, HasSubstr("resize --box BWxBH"));
    EXPECT_EQ(RunTool({}).code, 2);
    EXPECT_EQ(RunTool({"spin", "a", "b"}).code, 2);
    EXPECT_EQ(RunTool({"resize", "--filter", "9", "--box", "1x1", "a", "b"}).code, 2);
    const TRun missing =
        RunTool({"crop", "0", "0", "1", "1", folder.File("none.jpg"), folder.File("o.jpg")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_THAT(missing.err, HasSubstr("none.jpg"));
}

}  // namespace
}  // namespace galerion
