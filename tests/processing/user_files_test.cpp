// A run changes only what it made itself: the user's own files and folders in and around an
// album stay as they are.
#include "image/jpeg_codec.h"
#include "processing/album_preparation.h"
#include "processing/album_search.h"
#include "processing/processing_run.h"
#include "processing/working_folder.h"
#include "support/files.h"
#include "support/test_database.h"
#include "support/wizard_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

namespace galerion {
namespace {

using namespace test;
namespace fs = std::filesystem;

TJpegSize SizeOf(const std::string& path) { return ReadJpegSize(path); }

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

TEST_F(UserFiles, AlbumSearchEntersOnlyLinksThatStayInTheMainDirectory) {
    const std::string main = f.root / "main";
    MakeFolder(main + "/inner");
    fs::create_directory_symlink("../..", main + "/up");
    fs::create_directory_symlink(main + "/inner", main + "/again");
    const auto found = SearchAlbums(main + "/*.*", {}, &f.log);
    // The inward link is entered (first in name order, so "inner" is the same folder again).
    EXPECT_EQ(found, (std::vector<std::string>{main, main + "/again"}));
    EXPECT_TRUE(f.Logged("Link " + main + "/up -> " +
                         fs::canonical(f.root.Path()).parent_path().string() +
                         " leads outside the chosen folder; skipped."));
}

TEST_F(UserFiles, PictureLinksCountOnlyWithinTheMainDirectoryOrTheNamedAlbum) {
    const std::string outside = f.root / "outside.jpg";
    WriteJpeg(outside, 20, 20);
    WriteJpeg(f.root / "sibling.jpg", 20, 20);
    fs::create_symlink(outside, album + "/c.jpg");
    fs::create_symlink("../sibling.jpg", album + "/d.jpg");
    const struct {
        std::string mainDir;
        bool staysInAlbum;
        int pictures;
    } cases[] = {
        {f.root.Path() + "/*.*", false, 4},  // both targets lie in the main directory
        {album + "/*.*", false, 2},          // neither does
        {f.root.Path() + "/*.*", true, 2},   // a named album keeps to its own folder
    };
    for (const auto& c : cases) {
        f.settings.MainDir = c.mainDir;
        f.context.linksStayInAlbum = c.staysInAlbum;
        TPictureList list;
        CollectPictureFiles(album + "/*.*", list, true, {".jpg"}, LinkRootFor(f.context, album),
                            &f.log);
        EXPECT_EQ(list.Count(), c.pictures) << c.mainDir << " " << c.staysInAlbum;
    }
    EXPECT_TRUE(f.Logged("Link " + album + "/c.jpg -> " + fs::canonical(outside).string() +
                         " leads outside the chosen folder; skipped."));
}

TEST_F(UserFiles, OutputFolderLinkedOutOfTheAlbumFailsThatAlbumOnly) {
    const std::string other = f.root / "Other";
    const std::string elsewhere = f.root / "elsewhere";
    MakeFolder(other);
    MakeFolder(elsewhere);
    WriteJpeg(other + "/x.jpg", 20, 20);
    fs::create_directory_symlink(elsewhere, album + "/ps_thumb");
    f.context.makeWorkingThumbnails = false;
    f.PrepareAll({album, other});
    EXPECT_EQ(Process(), TRunOutcome::Finished);
    EXPECT_TRUE(fs::is_empty(elsewhere));
    EXPECT_FALSE(fs::exists(album + "/ps_large"));
    ASSERT_EQ(f.context.failures.size(), 1u);
    EXPECT_EQ(f.context.failures[0].path, album);
    EXPECT_NE(f.context.failures[0].reason.find(album + "/ps_thumb"), std::string::npos);
    EXPECT_TRUE(fs::exists(other + "/ps_thumb/tn_x.jpg"));
    EXPECT_EQ(ScalarInt(f.connection, "SELECT COUNT(*) FROM album"), 1);
}

TEST_F(UserFiles, PhotoThatFailsOnceKeepsItsRowAndIsTriedAgain) {
    f.context.makeWorkingThumbnails = false;
    f.settings.UpdateMode = 2;
    const auto runOnce = [&] {
        f.PrepareAll({album});
        EXPECT_EQ(Process(), TRunOutcome::Finished);
        return Column(f.connection,
                      "SELECT is_deleted || ' ' || width FROM picture ORDER BY picture_id",
                      "is_deleted || ' ' || width");
    };
    EXPECT_EQ(runOnce(), (std::vector<std::string>{"0 40", "0 30"}));
    WriteText(album + "/b.jpg", "copy still in progress");
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(runOnce(), (std::vector<std::string>{"0 40", "0 30"})) << attempt;
        ASSERT_EQ(f.context.failures.size(), 1u) << attempt;
        EXPECT_EQ(f.context.failures[0].path, album + "/b.jpg");
        EXPECT_FALSE(Album().PictureAt(1)->IsDeleted);
    }
    WriteJpeg(album + "/b.jpg", 32, 48);
    EXPECT_EQ(runOnce(), (std::vector<std::string>{"0 40", "0 32"}));
    EXPECT_TRUE(f.context.failures.empty());
}

TEST_F(UserFiles, FaceMarkGoesToTheFirstPictureThatWasRead) {
    f.context.makeWorkingThumbnails = false;
    WriteText(album + "/a.jpg", "not a photo");
    f.PrepareAll({album});
    ASSERT_TRUE(Album().PictureAt(0)->IsFace);
    Process();
    EXPECT_EQ(ScalarInt(f.connection, "SELECT face_picture_id FROM album"),
              ScalarInt(f.connection,
                        "SELECT picture_id FROM picture WHERE filename_original = 'Trip/b.jpg'"));
    EXPECT_EQ(ScalarInt(f.connection, "SELECT COUNT(*) FROM picture"), 1);
}

TEST_F(UserFiles, LongNamesWriteWhileTheyFitAndFailAlone) {
    f.context.makeWorkingThumbnails = false;
    const std::string fits = std::string(246, 'f') + ".jpg";     // "tn_" + 250 bytes
    const std::string tooLong = std::string(250, 'x') + ".jpg";  // "tn_" + 254 bytes > 255
    WriteJpeg(album + "/" + fits, 20, 20);
    WriteJpeg(album + "/" + tooLong, 20, 20);
    f.PrepareAll({album});
    EXPECT_EQ(Process(), TRunOutcome::Finished);
    EXPECT_TRUE(fs::exists(album + "/ps_thumb/tn_" + fits));
    EXPECT_TRUE(fs::exists(album + "/ps_thumb/tn_b.jpg"));
    ASSERT_EQ(f.context.failures.size(), 1u);
    EXPECT_EQ(f.context.failures[0].path, album + "/" + tooLong);
    EXPECT_EQ(ScalarInt(f.connection, "SELECT COUNT(*) FROM picture"), 3);
}

TEST_F(UserFiles, StaleTemporaryFilesOfKilledRunsAreRemoved) {
    MakeFolder(album + "/ps_thumb");
    const std::string stale[] = {".galerion-0123abcd.tmp", ".tn_a.jpg.89abcdef.tmp"};
    const std::string kept[] = {".notes.tmp", "draft.0123abcd.tmp", ".galerion-0123abcd.tmp.txt"};
    for (const std::string& name : stale) WriteText(album + "/ps_thumb/" + name, "half");
    for (const std::string& name : kept) WriteText(album + "/ps_thumb/" + name, "mine");
    fs::create_symlink(album + "/a.jpg", album + "/ps_thumb/.galerion-fedcba98.tmp");
    const auto hourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (const auto& entry : fs::directory_iterator(album + "/ps_thumb"))
        if (!entry.is_symlink()) fs::last_write_time(entry.path(), hourAgo);
    f.context.makeWorkingThumbnails = false;
    f.PrepareAll({album});
    Process();
    for (const std::string& name : stale)
        EXPECT_FALSE(fs::exists(album + "/ps_thumb/" + name)) << name;
    for (const std::string& name : kept)
        EXPECT_TRUE(fs::exists(album + "/ps_thumb/" + name)) << name;
    EXPECT_TRUE(fs::is_symlink(album + "/ps_thumb/.galerion-fedcba98.tmp"));
    EXPECT_TRUE(fs::exists(album + "/a.jpg"));
}

TEST_F(UserFiles, TwoOutputsOnOnePathAreWrittenOnceWithoutRecreate) {
    f.context.makeWorkingThumbnails = false;
    f.settings.MediumFolder = f.settings.ThumbFolder;
    f.settings.MediumPrefix = f.settings.ThumbPrefix;
    f.settings.RecreateMedium = f.settings.RecreateThumb = false;
    f.PrepareAll({album});
    Process();
    // The medium file (enlarged into its box) came first; the thumbnail found it and left it.
    EXPECT_EQ(SizeOf(album + "/ps_thumb/tn_a.jpg").Width, 800);
}

}  // namespace
}  // namespace galerion
