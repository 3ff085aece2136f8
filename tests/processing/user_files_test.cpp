// A run changes only what it made itself: the user's own files and folders in and around an
// album stay as they are.
#include "fixture.h"
#include "processing/album_preparation.h"
#include "processing/processing_run.h"
#include "processing/working_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace galerion {
namespace {

using namespace test;
namespace fs = std::filesystem;

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class UserFiles : public testing::Test {
protected:
    TWizardFixture f;
    std::string album = f.root / "Trip";

    void SetUp() override {
        MakeFolder(album);
        WriteJpeg(album + "/a.jpg", 40, 30);
        WriteJpeg(album + "/b.jpg", 30, 40);
    }
    TAlbumItem& Album(int i = 0) { return *f.albums.AlbumAt(i); }
    TRunOutcome Process() { return StartProcessing(f.context); }
};

TEST_F(UserFiles, OwnTmpFolderKeepsEverythingButTheWorkingThumbnails) {
    MakeFolder(album + "/tmp/sub");
    WriteText(album + "/tmp/draft.txt", "mine");
    WriteText(album + "/tmp/sub/deep.txt", "mine too");
    f.PrepareAll({album});
    ASSERT_TRUE(fs::exists(album + "/tmp/tmp_a.jpg"));
    Process();
    EXPECT_FALSE(fs::exists(album + "/tmp/tmp_a.jpg"));
    EXPECT_FALSE(fs::exists(album + "/tmp/tmp_b.jpg"));
    EXPECT_EQ(ReadText(album + "/tmp/draft.txt"), "mine");
    EXPECT_EQ(ReadText(album + "/tmp/sub/deep.txt"), "mine too");
}

TEST_F(UserFiles, CommandLineRunLeavesTheTmpFolderAlone) {
    MakeFolder(album + "/tmp");
    WriteText(album + "/tmp/tmp_a.jpg", "a user's file that happens to have this name");
    f.context.makeWorkingThumbnails = false;
    f.PrepareAll({album});
    Process();
    EXPECT_EQ(ReadText(album + "/tmp/tmp_a.jpg"), "a user's file that happens to have this name");
}

TEST_F(UserFiles, TmpFolderThatIsALinkIsNeverEntered) {
    const std::string elsewhere = f.root / "elsewhere";
    MakeFolder(elsewhere);
    WriteText(elsewhere + "/tmp_a.jpg", "not ours");
    fs::create_directory_symlink(elsewhere, album + "/tmp");
    f.context.makeWorkingThumbnails = false;
    f.PrepareAll({album});
    RemoveWorkingThumbnails(album, Album());
    EXPECT_TRUE(fs::is_symlink(album + "/tmp"));
    EXPECT_EQ(ReadText(elsewhere + "/tmp_a.jpg"), "not ours");
}

}  // namespace
}  // namespace galerion
