#include "processing/processing_run.h"

#include "image/bitmap32.h"
#include "image/colour_profile.h"
#include "image/jpeg_codec.h"
#include "platform/errors.h"
#include "processing/album_preparation.h"
#include "support/files.h"
#include "support/test_database.h"
#include "support/wizard_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace galerion {
namespace {

using namespace test;
namespace fs = std::filesystem;

TJpegSize SizeOf(const std::string& path) { return ReadJpegSize(path); }

class Run : public testing::Test {
protected:
    TWizardFixture f;
    std::string album = f.root / "Trip";

    void SetUp() override {
        MakeFolder(album);
        WriteJpeg(album + "/a.jpg", 400, 300);
        WriteJpeg(album + "/b.jpg", 300, 400);
        WriteJpeg(album + "/c.jpg", 1200, 900);
    }
    TAlbumItem& Album(int i = 0) { return *f.albums.AlbumAt(i); }
    TRunOutcome Process() { return StartProcessing(f.context); }
    std::vector<std::string> Pictures(const std::string& column) {
        return Column(f.connection, "SELECT " + column + " FROM picture ORDER BY picture_id",
                      column);
    }
};

TEST_F(Run, WritesOutputsAndRowsSkippingExcludedFiles) {
    f.PrepareAll({album});
    Album().PictureAt(1)->IsDeleted = true;
    EXPECT_EQ(Process(), TRunOutcome::Finished);
    EXPECT_TRUE(fs::exists(album + "/ps_large/l_a.jpg"));
    EXPECT_FALSE(fs::exists(album + "/ps_large/l_b.jpg"));
    EXPECT_FALSE(fs::exists(album + "/ps_medium/m_b.jpg"));
    EXPECT_EQ(SizeOf(album + "/ps_medium/m_c.jpg").Width, 800);
    EXPECT_EQ(SizeOf(album + "/ps_medium/m_c.jpg").Height, 600);
    EXPECT_EQ(SizeOf(album + "/ps_thumb/tn_c.jpg").Height, 100);
    EXPECT_EQ(SizeOf(album + "/ps_medium/m_a.jpg").Width, 800);  // smaller than the box: enlarged
    EXPECT_TRUE(
        f.Logged("Original picture is smaller than desired size. Picture will be upscaled "
                 "anyway. " +
                 album + "/a.jpg."));
    EXPECT_EQ(Pictures("is_deleted"), (std::vector<std::string>{"0", "-1", "0"}));
    EXPECT_EQ(Pictures("filename_large"),
              (std::vector<std::string>{"Trip/ps_large/l_a.jpg", "Trip/ps_large/l_b.jpg",
                                        "Trip/ps_large/l_c.jpg"}));
    EXPECT_EQ(Pictures("width"), (std::vector<std::string>{"400", "-1", "1200"}));
    EXPECT_EQ(f.host.progressMax, 28);
    EXPECT_EQ(f.host.maxPositionSeen, 24);
    EXPECT_EQ(f.host.statuses.back(), "Photos: 3.  Processing: DONE");
    EXPECT_FALSE(fs::exists(album + "/tmp"));  // working folder removed
    // The album row and its face picture.
    const int faceId = ScalarInt(f.connection, "SELECT MIN(picture_id) FROM picture");
    EXPECT_EQ(ScalarInt(f.connection, "SELECT face_picture_id FROM album"), faceId);
    EXPECT_EQ(Column(f.connection, "SELECT long_name FROM album", "long_name"),
              (std::vector<std::string>{"<long name>"}));
    EXPECT_TRUE(f.Logged("Database: insert album <long name>."));
    EXPECT_TRUE(f.Logged("Database: insert picture Trip/b.jpg in new album."));
    EXPECT_TRUE(f.Logged("Database: set face picture Trip/a.jpg."));
}

TEST_F(Run, OrientationMirrorAndCrop) {
    f.PrepareAll({album});
    TPictureItem& a = *Album().PictureAt(0);
    a.Orientation = -2;
    TPictureItem& c = *Album().PictureAt(2);
    c.CropX1 = 10, c.CropY1 = 20, c.CropX2 = 110, c.CropY2 = 220;
    Process();
    EXPECT_EQ(SizeOf(album + "/ps_large/l_a.jpg").Width, 300);
    EXPECT_EQ(SizeOf(album + "/ps_large/l_c.jpg").Width, 100);
    EXPECT_EQ(SizeOf(album + "/ps_large/l_c.jpg").Height, 200);
    EXPECT_EQ(Pictures("width"), (std::vector<std::string>{"300", "300", "1200"}));
    EXPECT_EQ(Pictures("height"), (std::vector<std::string>{"400", "400", "900"}));
    const auto lines = f.LogTexts();
    const auto turn = std::find(lines.begin(), lines.end(), "Rotate clockwise: Trip/a.jpg");
    ASSERT_NE(turn, lines.end());
    EXPECT_EQ(turn[1], "Flip picture: Trip/a.jpg");
    EXPECT_TRUE(f.Logged("Crop picture: Trip/c.jpg"));
}

TEST_F(Run, RecreateSwitchesAndSwitchedOffOutputs) {
    f.PrepareAll({album});
    Process();
    const auto before = fs::last_write_time(album + "/ps_large/l_a.jpg");
    f.settings.RecreateLarge = false;
    f.log.Clear();
    Process();
    EXPECT_EQ(fs::last_write_time(album + "/ps_large/l_a.jpg"), before);
    EXPECT_FALSE(f.Logged("Save large picture: " + album + "/ps_large/l_a.jpg"));
    EXPECT_TRUE(f.Logged("Save medium picture: " + album + "/ps_medium/m_a.jpg"));
    // With every output existing and not recreated, the rows still get the picture sizes.
    f.settings.RecreateMedium = f.settings.RecreateThumb = false;
    f.log.Clear();
    Album().PictureAt(1)->Orientation = 4;
    f.settings.UpdateMode = 2;
    Process();
    EXPECT_TRUE(f.Logged("Rotate counter-clockwise: Trip/b.jpg"));
    EXPECT_EQ(Album().PictureAt(1)->PixelWidth, 400);
    EXPECT_EQ(Album().PictureAt(1)->PixelHeight, 300);
}

TEST_F(Run, AllOutputsOffStillWritesRows) {
    f.settings.ProcessLarge = f.settings.ProcessMedium = f.settings.ProcessThumb = false;
    f.PrepareAll({album});
    Process();
    EXPECT_FALSE(fs::exists(album + "/ps_thumb"));
    EXPECT_EQ(Pictures("filename_thumb"), (std::vector<std::string>{"", "", ""}));
    EXPECT_EQ(Pictures("width"), (std::vector<std::string>{"400", "300", "1200"}));
}

TEST_F(Run, UpdateModeRewritesCategoriesAndAddsNewPictures) {
    f.PrepareAll({album});
    Album().PictureAt(0)->Categories = {"3", "7"};
    Process();
    EXPECT_EQ(ScalarInt(f.connection, "SELECT COUNT(*) FROM picture_to_category"), 2);

    WriteJpeg(album + "/d.jpg", 50, 50);
    f.settings.UpdateMode = 2;
    f.log.Clear();
    f.PrepareAll({album});
    EXPECT_EQ(Album().PictureAt(0)->Categories, (std::vector<std::string>{"3", "7"}));
    Album().LongName = "O'Hara's trip";
    Process();
    EXPECT_EQ(ScalarInt(f.connection, "SELECT COUNT(*) FROM album"), 1);
    EXPECT_EQ(ScalarInt(f.connection, "SELECT COUNT(*) FROM picture"), 4);
    EXPECT_EQ(ScalarInt(f.connection, "SELECT COUNT(*) FROM picture_to_category"), 2);
    EXPECT_TRUE(f.Logged("Database: update album O'Hara's trip."));
    EXPECT_TRUE(f.Logged("Database: update picture Trip/a.jpg in existing album."));
    EXPECT_TRUE(f.Logged("Database: insert picture Trip/d.jpg in existing album."));
    EXPECT_TRUE(f.Logged("Database: delete categories in picture Trip/a.jpg."));
    EXPECT_TRUE(f.Logged("Database: 2 categories added."));
    EXPECT_TRUE(
        f.Logged("Existing album '" + album + "' is found in the database. It will be updated."));
    EXPECT_EQ(Column(f.connection, "SELECT long_name FROM album", "long_name"),
              (std::vector<std::string>{"O'Hara's trip"}));
}

TEST_F(Run, DeleteTempKeepsTheWorkingFolder) {
    f.settings.DeleteTemp = true;
    f.PrepareAll({album});
    Process();
    EXPECT_TRUE(fs::exists(album + "/tmp/tmp_a.jpg"));
}

TEST_F(Run, BrokenPhotoInTheMiddleFailsAndTheRestIsWritten) {
    f.context.makeWorkingThumbnails = false;  // as the command line prepares
    WriteText(album + "/b.jpg", "\xFF\xD8 truncated");
    f.PrepareAll({album});
    EXPECT_EQ(Process(), TRunOutcome::Finished);
    EXPECT_TRUE(fs::exists(album + "/ps_thumb/tn_a.jpg"));
    EXPECT_FALSE(fs::exists(album + "/ps_thumb/tn_b.jpg"));
    EXPECT_TRUE(fs::exists(album + "/ps_thumb/tn_c.jpg"));
    // A new picture that cannot be read gets no row until it can be.
    EXPECT_EQ(Pictures("filename_original"),
              (std::vector<std::string>{"Trip/a.jpg", "Trip/c.jpg"}));
    EXPECT_FALSE(Album().PictureAt(1)->IsDeleted);
    ASSERT_EQ(f.context.failures.size(), 1u);
    EXPECT_TRUE(f.Logged("1 picture(s) could not be used in this run:"));
}

TEST_F(Run, NamesDifferingOnlyInCaseDoNotShareOutputs) {
    WriteJpeg(album + "/A.jpg", 20, 20);
    f.context.makeWorkingThumbnails = false;
    f.PrepareAll({album});
    TAlbumItem& a = Album();
    ASSERT_EQ(a.PictureCount(), 4);
    EXPECT_EQ(a.PictureAt(0)->OriginalFile, album + "/A.jpg");
    Process();
    EXPECT_EQ(SizeOf(album + "/ps_large/l_a.jpg").Width, 20);  // a.jpg comes later: not written
    EXPECT_FALSE(a.PictureAt(1)->IsDeleted);
    ASSERT_EQ(f.context.failures.size(), 1u);
    EXPECT_EQ(f.context.failures[0].path, album + "/a.jpg");
    EXPECT_EQ(ScalarInt(f.connection, "SELECT COUNT(*) FROM picture"), 3);
}

TEST_F(Run, StopDuringTheFilePhaseWritesNoRows) {
    f.PrepareAll({album});
    int pumps = 0;
    f.host.onPump = [&] {
        if (++pumps == 20) f.busy.RequestStop();
    };
    EXPECT_EQ(Process(), TRunOutcome::Stopped);
    EXPECT_EQ(ScalarInt(f.connection, "SELECT COUNT(*) FROM picture"), 0);
    EXPECT_TRUE(fs::exists(album + "/ps_large/l_a.jpg"));
    EXPECT_FALSE(fs::exists(album + "/ps_large/l_c.jpg"));
    EXPECT_TRUE(fs::exists(album + "/tmp"));
    EXPECT_EQ(f.host.statuses.back(), "Operation was cancelled.");
}

TEST_F(Run, StopAtTheDatabasePhaseEndsTheRunAtOnce) {
    f.PrepareAll({album});
    int pumps = 0;
    // BeginBusy lets events run once, then five stop checks of two pumps per picture.
    f.host.onPump = [&] {
        if (++pumps == 1 + 3 * 10 + 1) f.busy.RequestStop();
    };
    EXPECT_EQ(Process(), TRunOutcome::Stopped);
    EXPECT_TRUE(fs::exists(album + "/ps_thumb/tn_c.jpg"));
    EXPECT_EQ(ScalarInt(f.connection, "SELECT COUNT(*) FROM album"), 0);
    EXPECT_EQ(f.host.statuses.end()[-2], "Photos: 3.  Database: processing.");
    EXPECT_EQ(
        std::count(f.host.statuses.begin(), f.host.statuses.end(), "Photos: 3.  Processing: DONE"),
        0);
}

TEST_F(Run, UnpreparedAlbumsNeedConsentAndAreSkipped) {
    const std::string second = f.root / "Other";
    MakeFolder(second);
    WriteJpeg(second + "/x.jpg", 20, 20);
    f.albums.Clear();
    f.albums.AddAlbum(album);
    f.albums.AddAlbum(second);
    {
        TBusyScope scope(f.busy);
        PrepareAlbum(f.context, 0);
    }
    f.host.confirmAnswers = {false};
    EXPECT_EQ(Process(), TRunOutcome::NotStarted);
    EXPECT_EQ(Process(), TRunOutcome::Finished);
    EXPECT_TRUE(f.Logged("Album is skipped of being processed: " + second));
    EXPECT_FALSE(fs::exists(second + "/ps_thumb"));
    EXPECT_EQ(ScalarInt(f.connection, "SELECT COUNT(*) FROM album"), 1);
}

// Every UpdateMode and every answer for an album that is already stored.
TEST_F(Run, ExistingAlbumDecisions) {
    struct Case {
        int mode;
        TExistingAlbumAnswer answer;
        bool always;
        int albums, pictures, modeAfter;
        bool asked, keepsWorkingFolder;
    };
    using A = TExistingAlbumAnswer;
    // An unknown mode leaves a stored album alone rather than doubling its picture rows.
    const Case cases[] = {
        {1, A::Cancel, false, 2, 6, 1, false, false}, {2, A::Cancel, false, 1, 3, 2, false, false},
        {3, A::Cancel, false, 1, 3, 3, false, true},  {9, A::Cancel, false, 1, 3, 9, false, true},
        {0, A::Insert, false, 2, 6, 0, true, false},  {0, A::Update, true, 1, 3, 2, true, false},
        {0, A::Cancel, false, 1, 3, 0, true, true},   {0, A::Cancel, true, 1, 3, 3, true, true},
    };
    f.PrepareAll({album});
    Process();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode * 10 + static_cast<int>(c.answer));
        RunRaw(f.connection, "DELETE FROM picture");
        RunRaw(f.connection,
               "DELETE FROM album WHERE album_id > (SELECT MIN(album_id) FROM album)");
        RunRaw(f.connection,
               "INSERT INTO picture (filename_original, album_id) SELECT 'Trip/a.jpg', "
               "album_id FROM album");
        RunRaw(f.connection,
               "INSERT INTO picture (filename_original, album_id) SELECT 'Trip/b.jpg', "
               "album_id FROM album");
        RunRaw(f.connection,
               "INSERT INTO picture (filename_original, album_id) SELECT 'Trip/c.jpg', "
               "album_id FROM album");
        f.settings.UpdateMode = c.mode;
        f.host.questions.clear();
        f.host.albumAnswers = {TExistingAlbumReply{c.answer, c.always}};
        MakeFolder(album + "/tmp");
        Process();
        EXPECT_EQ(ScalarInt(f.connection, "SELECT COUNT(*) FROM album"), c.albums);
        EXPECT_EQ(ScalarInt(f.connection, "SELECT COUNT(*) FROM picture"), c.pictures);
        EXPECT_EQ(f.settings.UpdateMode, c.modeAfter);
        EXPECT_EQ(f.host.questions.size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_EQ(f.host.questions[0],
                      "Album with \"" + album + "\" original directory name was found in databse.");
        }
        EXPECT_EQ(fs::exists(album + "/tmp"), c.keepsWorkingFolder);
    }
    EXPECT_TRUE(f.Logged("Album skipped. " + album + ". Update options set in \"Cancel\"."));
}

TEST_F(Run, NewAlbumWithUpdateModeIsInsertedAndUpdated) {
    f.settings.UpdateMode = 2;
    f.PrepareAll({album});
    Process();
    EXPECT_EQ(ScalarInt(f.connection, "SELECT COUNT(*) FROM album"), 1);
    EXPECT_TRUE(f.Logged("Database: insert album <long name>."));
    EXPECT_TRUE(f.Logged("Database: update album <long name>."));
    EXPECT_TRUE(f.Logged("Database: insert picture Trip/a.jpg in new album."));
    EXPECT_TRUE(f.host.questions.empty());
}

TEST_F(Run, DatabaseErrorEndsOnlyThatAlbum) {
    f.PrepareAll({album});
    f.settings.DB = "Provider=SQLite;Data Source=" + (f.root / "gone.db");
    EXPECT_EQ(Process(), TRunOutcome::Finished);
    EXPECT_EQ(f.host.errors.size(), 1u);
    EXPECT_FALSE(fs::exists(album + "/tmp"));  // removed after the failed phase as well
    EXPECT_EQ(f.context.tally.databaseFailures, (std::vector<std::string>{album}));
    EXPECT_TRUE(f.context.failures.empty());  // no photo failed
}

TEST_F(Run, StoredValuesFromHandMadeRows) {
    f.context.makeWorkingThumbnails = false;
    f.PrepareAll({album});
    Album().PictureAt(0)->Categories = {"-3"};  // a negative identifier still counts
    Album().PictureAt(1)->Title = std::string("a\0b", 3);
    EXPECT_EQ(Process(), TRunOutcome::Finished);
    // A NUL the database cannot take stops the album before anything is written, saying where.
    ASSERT_EQ(f.host.errors.size(), 1u);
    EXPECT_EQ(f.host.errors[0], "Album " + album +
                                    ", picture Trip/b.jpg: the column title holds "
                                    "a NUL character, which cannot be stored.");
    EXPECT_EQ(ScalarInt(f.connection, "SELECT COUNT(*) FROM album"), 0);

    Album().PictureAt(1)->Title = "b";
    f.host.errors.clear();
    EXPECT_EQ(Process(), TRunOutcome::Finished);
    EXPECT_TRUE(f.host.errors.empty());
    EXPECT_EQ(ScalarInt(f.connection, "SELECT category_id FROM picture_to_category"), -3);
}

TEST_F(Run, QualityZeroEndsTheRunWithAnError) {
    f.PrepareAll({album});
    f.settings.JpegCompressionLarge = 0;
    EXPECT_ANY_THROW(Process());
    EXPECT_FALSE(f.busy.Busy());
    EXPECT_FALSE(fs::exists(album + "/ps_large/l_a.jpg"));
    EXPECT_EQ(ScalarInt(f.connection, "SELECT COUNT(*) FROM picture"), 0);
}

// Which of the album's output files the last run wrote, as "a: large medium thumb" lines.
std::vector<std::string> Saved(const TWizardFixture& f, const std::string& album) {
    std::vector<std::string> saved;
    for (const char* name : {"a", "b", "c"}) {
        std::string kinds;
        const std::string n = name;
        if (f.Logged("Save large picture: " + album + "/ps_large/l_" + n + ".jpg"))
            kinds += " large";
        if (f.Logged("Save medium picture: " + album + "/ps_medium/m_" + n + ".jpg"))
            kinds += " medium";
        if (f.Logged("Save thumbnail picture: " + album + "/ps_thumb/tn_" + n + ".jpg"))
            kinds += " thumb";
        if (!kinds.empty()) saved.push_back(n + ":" + kinds);
    }
    return saved;
}

TEST_F(Run, RecreateChangedRewritesExactlyWhatWasMadeFromSomethingElse) {
    f.settings.RecreateChanged = true;
    f.settings.UpdateMode = 2;
    f.PrepareAll({album});
    Process();
    EXPECT_EQ(Saved(f, album),
              (std::vector<std::string>{"a: large medium thumb", "b: large medium thumb",
                                        "c: large medium thumb"}));
    EXPECT_NE(ReadJpegComment(album + "/ps_thumb/tn_a.jpg").find("box 150x100"), std::string::npos);
    EXPECT_EQ(f.context.tally.picturesWritten, 3);

    struct Step {
        const char* change;
        std::function<void()> apply;
        std::vector<std::string> saved;
    };
    const Step steps[] = {
        {"nothing", [] {}, {}},
        {"b replaced", [&] { WriteJpeg(album + "/b.jpg", 300, 401); }, {"b: large medium thumb"}},
        {"a cropped",
         [&] {
             TPictureItem& a = *Album().PictureAt(0);
             a.CropX1 = 10, a.CropY1 = 10, a.CropX2 = 200, a.CropY2 = 150;
         },
         {"a: large medium thumb"}},
        {"thumbnail box",
         [&] { f.settings.ThumbWidth = "120"; },
         {"a: thumb", "b: thumb", "c: thumb"}},
        {"medium quality",
         [&] { f.settings.JpegCompressionMedium = 80; },
         {"a: medium", "b: medium", "c: medium"}},
        {"a thumbnail deleted", [&] { fs::remove(album + "/ps_thumb/tn_a.jpg"); }, {"a: thumb"}},
        // What is done with profiles concerns only the photos that carry one.
        {"profiles ignored", [&] { f.settings.ColourProfiles = 0; }, {}},
        {"b given a profile",
         [&] {
             TBitmap32 photo;
             LoadPicture(photo, album + "/b.jpg");
             SaveJpeg(photo, 90, album + "/b.jpg", {}, IccProfileSegments(AdobeRgbProfile()));
         },
         {"b: large medium thumb"}},
        {"profiles kept", [&] { f.settings.ColourProfiles = 2; }, {"b: large medium thumb"}},
    };
    for (const Step& step : steps) {
        step.apply();
        f.log.Clear();
        f.context.tally = {};
        EXPECT_EQ(Process(), TRunOutcome::Finished) << step.change;
        EXPECT_EQ(Saved(f, album), step.saved) << step.change;
        EXPECT_EQ(f.context.tally.picturesWritten + f.context.tally.picturesUnchanged, 3)
            << step.change;
    }
    // Kept files still give the rows their sizes.
    EXPECT_EQ(Pictures("width"), (std::vector<std::string>{"400", "300", "1200"}));
}

TEST_F(Run, AnAlbumWhoseFilesCannotBeWrittenIsTheCallersChoice) {
    const std::string second = f.root / "Zoo";
    MakeFolder(second);
    WriteJpeg(second + "/z.jpg", 64, 48);
    WriteText(album + "/ps_thumb", "a file where the thumbnail folder belongs");

    // The window: the error ends the run.
    f.PrepareAll({album, second});
    EXPECT_THROW(Process(), FileError);
    EXPECT_EQ(ScalarInt(f.connection, "SELECT COUNT(*) FROM album"), 0);

    // A batch run: that album fails, the next one is written.
    f.context.continueAfterAlbumFailure = true;
    f.context.tally = {};
    f.PrepareAll({album, second});
    EXPECT_EQ(Process(), TRunOutcome::Finished);
    ASSERT_EQ(f.context.failures.size(), 1u);
    EXPECT_EQ(f.context.failures[0].path, album);
    EXPECT_EQ(f.context.failures[0].picture, nullptr);
    EXPECT_NE(f.context.failures[0].reason.find("ps_thumb"), std::string::npos);
    EXPECT_EQ(f.context.tally.albumsWritten, 1);
    EXPECT_EQ(Column(f.connection, "SELECT original_path FROM album", "original_path"),
              (std::vector<std::string>{second}));
    EXPECT_TRUE(fs::exists(second + "/ps_thumb/tn_z.jpg"));
}

}  // namespace
}  // namespace galerion
