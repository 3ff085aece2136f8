#include "core/settings_persistence.h"

#include "core/log_messages.h"
#include "core/settings_defaults.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace galerion {
namespace {

namespace fs = std::filesystem;

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;

std::vector<std::string> Texts(const TProcessingLog& log) {
    std::vector<std::string> texts;
    for (const TLogLine& line : log.Lines()) texts.push_back(line.text);
    return texts;
}

std::string Dword(const char* name, int value) {
    char line[64];
    std::snprintf(line, sizeof line, "\"%s\"=dword:%08x\n", name, static_cast<unsigned>(value));
    return line;
}

class SettingsPersistenceTest : public testing::Test {
protected:
    // A settings file with the given value lines ("\"Name\"=...") in "Position" and "Options".
    void WriteFile(const std::string& position, const std::string& options) const {
        std::ofstream(file_, std::ios::binary)
            << "Windows Registry Editor Version 5.00\n\n"
               "[HKEY_CURRENT_USER\\Software\\Tarnwick\\Galerion\\1.0\\Position]\n"
            << position << "\n[HKEY_CURRENT_USER\\Software\\Tarnwick\\Galerion\\1.0\\Options]\n"
            << options;
    }
    std::string FileText() const {
        std::ifstream in(file_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    // Runs `read` on the stored key.
    template <typename Read>
    auto Stored(Read read) const {
        TSettingsStore store(file_);
        EXPECT_TRUE(store.OpenKey(kProgramKey, false));
        return read(store);
    }
    TSettings Load(TSettings settings, TProcessingLog& log) const {
        TSettingsStore store(file_);
        LoadFromRegistry(settings, store, log, kScreenWidth, kScreenHeight);
        return settings;
    }
    TSettings Load(const std::string& position, const std::string& options) const {
        WriteFile(position, options);
        TProcessingLog log;
        return Load(DefaultSettings(), log);
    }

    test::TTempFolder temp_;
    fs::path folder_ = temp_.Path();
    std::string file_ = temp_.File("Galerion.reg");
};

TEST_F(SettingsPersistenceTest, AMissingKeyGivesEveryDefaultAndIsCreated) {
    TSettings odd;
    odd.Width = 1;
    odd.ThumbPrefix = "x";
    odd.LogLevelErrors = false;
    odd.MediumSize = kSizeCustom;
    TProcessingLog log;
    log.ApplyLogSwitches(true, true, true);

    const TSettings loaded = Load(odd, log);

    EXPECT_EQ(loaded, DefaultSettings());
    EXPECT_EQ(Texts(log),
              (std::vector<std::string>{msg::kLoadStart}));  // Others off after the load
    EXPECT_NE(FileText().find("[HKEY_CURRENT_USER\\Software\\Tarnwick\\Galerion\\1.0]"),
              std::string::npos);
}

TEST_F(SettingsPersistenceTest, ThePlacementIsKeptOnTheScreen) {
    struct Case {
        int width, height, left, top;
        int expectedWidth, expectedHeight, expectedLeft, expectedTop;
    };
    const Case cases[] = {
        {60, 480, 10, 10, 1280, 480, 10, 10},   {5000, 480, 10, 10, 1280, 480, 10, 10},
        {70, 70, 10, 10, 70, 70, 10, 10},       {1280, 1024, 10, 10, 1280, 1024, 10, 10},
        {600, 69, 10, 10, 600, 1024, 10, 10},   {600, 1025, 10, 10, 600, 1024, 10, 10},
        {600, 480, -11, -11, 600, 480, 0, 0},   {600, 480, -10, -10, 600, 480, -10, -10},
        {600, 480, 1281, 1025, 600, 480, 0, 0}, {600, 480, 1280, 1024, 600, 480, 1280, 1024},
    };
    for (const Case& c : cases) {
        const TSettings s =
            Load(Dword("Width", c.width) + Dword("Heigth", c.height) + Dword("Left", c.left) +
                     Dword("Top", c.top) + "\"Restore\"=\"1\"\n",
                 "");
        const std::string label = "width " + std::to_string(c.width) + " height " +
                                  std::to_string(c.height) + " left " + std::to_string(c.left);
        EXPECT_EQ(s.Width, c.expectedWidth) << label;
        EXPECT_EQ(s.Heigth, c.expectedHeight) << label;
        EXPECT_EQ(s.Left, c.expectedLeft) << label;
        EXPECT_EQ(s.Top, c.expectedTop) << label;
        EXPECT_TRUE(s.Restore) << label;
    }
}

TEST_F(SettingsPersistenceTest, SizeChoicesApplyTheirPresets) {
    struct Case {
        int mediumSize, thumbSize;
        int mediumIndex;
        const char* mediumWidth;
        const char* mediumHeight;
        int thumbIndex;
        const char* thumbWidth;
        const char* thumbHeight;
    };
    const Case cases[] = {
        {1, 1, kSizePreset1, "800", "768", kSizePreset1, "150", "100"},
        {2, 2, kSizePreset2, "1024", "1024", kSizePreset2, "200", "150"},
        {3, 3, kSizeCustom, "640", "480", kSizeCustom, "99", "77"},
        {7, 0, kSizeNone, "640", "480", kSizeNone, "99", "77"},
        {-1, 4, kSizeNone, "640", "480", kSizeNone, "99", "77"},
    };
    for (const Case& c : cases) {
        const TSettings s = Load(
            "", std::string("\"MediumWidth\"=dword:00000280\n\"MediumHeight\"=\"480\"\n"
                            "\"ThumbWidth\"=dword:00000063\n\"ThumbHeight\"=dword:0000004d\n") +
                    Dword("MediumSize", c.mediumSize) + "\"ThumbSize\"=\"" +
                    std::to_string(c.thumbSize) + "\"\n");
        const std::string label = "MediumSize " + std::to_string(c.mediumSize);
        EXPECT_EQ(s.MediumSize, c.mediumIndex) << label;
        EXPECT_EQ(s.MediumWidth, c.mediumWidth) << label;
        EXPECT_EQ(s.MediumHeight, c.mediumHeight) << label;
        EXPECT_EQ(s.ThumbSize, c.thumbIndex) << label;
        EXPECT_EQ(s.ThumbWidth, c.thumbWidth) << label;
        EXPECT_EQ(s.ThumbHeight, c.thumbHeight) << label;
    }
}

TEST_F(SettingsPersistenceTest, AnUnknownSizeChoiceSurvivesTheNextSave) {
    TSettings s = Load("", "\"MediumSize\"=dword:00000007\n\"MediumWidth\"=dword:00000280\n");
    EXPECT_EQ(s.MediumSize, kSizeNone);
    EXPECT_EQ(s.MediumWidth, "640");
    TProcessingLog log;
    TSettingsStore store(file_);
    SaveToRegistry(s, store, log);
    EXPECT_EQ(
        Stored([](TSettingsStore& st) { return st.ReadNumber(kOptionsSection, "MediumSize"); }), 7);
    EXPECT_EQ(
        Stored([](TSettingsStore& st) { return st.ReadNumber(kOptionsSection, "ThumbSize"); }), 1);
}

TEST_F(SettingsPersistenceTest, StoredFormsAreReadLeniently) {
    const TSettings s = Load("\"Restore\"=dword:00000001\n\"Top\"=\" 42 \"\n\"Left\"=\"left\"\n",
                             "\"ProcessLarge\"=\"2\"\n"    // any non-zero number is true
                             "\"ProcessThumb\"=\"yes\"\n"  // no number: the default (true)
                             "\"DeleteTemp\"=\"no\"\n"     // no number: the default (false)
                             "\"ProcessMedium\"=\"0\"\n"
                             "\"Upscale\"=dword:00000002\n"
                             "\"SplitAlbums\"=\"150\"\n"
                             "\"SplitPictures\"=\"wide\"\n"
                             "\"ExtensionJpg\"=\"0\"\n\"ExtensionJpeg\"=\"0\"\n"
                             "\"ResizeMode\"=\"-1\"\n");
    EXPECT_TRUE(s.Restore);
    EXPECT_EQ(s.Top, 42);
    EXPECT_EQ(s.Left, 100);
    EXPECT_TRUE(s.ProcessLarge);
    EXPECT_TRUE(s.ProcessThumb);
    EXPECT_FALSE(s.DeleteTemp);
    EXPECT_FALSE(s.ProcessMedium);
    EXPECT_TRUE(s.Upscale);
    EXPECT_EQ(s.SplitAlbums, 150);
    EXPECT_EQ(s.SplitPictures, 245);
    // Both JPEG switches off, in a file from before HEIF photos: the user's list stays as set.
    EXPECT_TRUE(s.PictureExtensions.empty());
    EXPECT_EQ(s.ResizeMode, -1);
}

TEST_F(SettingsPersistenceTest, HeifPhotosJoinOnlyAListTheUserNeverSet) {
    const std::vector<std::string> all = {".jpg", ".jpeg", ".heic", ".heif"};
    EXPECT_EQ(Load("", "\"SplitAlbums\"=\"1\"\n").PictureExtensions, all);
    EXPECT_EQ(Load("", "\"ExtensionJpg\"=\"1\"\n\"ExtensionJpeg\"=\"1\"\n").PictureExtensions,
              (std::vector<std::string>{".jpg", ".jpeg"}));
    EXPECT_EQ(Load("", "\"ExtensionJpeg\"=\"0\"\n\"ExtensionHeif\"=\"1\"\n").PictureExtensions,
              (std::vector<std::string>{".jpg", ".heic", ".heif"}));
}

TEST_F(SettingsPersistenceTest, SavingKeepsTheStoredFormOfEachValue) {
    WriteFile("\"Top\"=\"7\"\n", "\"SplitAlbums\"=\"1\"\n\"Unknown\"=\"kept\"\n");
    TSettings s = DefaultSettings();
    s.Top = 12;
    s.SplitAlbums = 130;
    s.JpegCompressionLarge = 90.5;  // halves go to the even neighbour
    s.JpegCompressionMedium = 91.5;
    s.JpegCompressionThumb = 74.6;
    s.MediumWidth = " 640 ";
    TProcessingLog log;
    log.ApplyLogSwitches(true, true, true);
    TSettingsStore store(file_);
    SaveToRegistry(s, store, log);

    EXPECT_EQ(Texts(log), (std::vector<std::string>{msg::kSaveStart, msg::kSaveDone}));
    const std::string text = FileText();
    for (const char* line :
         {"\"Top\"=\"12\"\n", "\"Left\"=dword:00000064\n", "\"Restore\"=\"0\"\n",
          "\"SplitAlbums\"=\"130\"\n", "\"ProcessThumb\"=\"1\"\n", "\"ProcessLarge\"=\"0\"\n",
          "\"JpegCompressionLarge\"=dword:0000005a\n", "\"JpegCompressionMedium\"=dword:0000005c\n",
          "\"JpegCompressionThumb\"=dword:0000004b\n", "\"MediumWidth\"=dword:00000280\n",
          "\"MediumSize\"=dword:00000001\n", "\"Unknown\"=\"kept\"\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
}

TEST_F(SettingsPersistenceTest, EverySettingSurvivesASaveAndALoad) {
    TSettings s = DefaultSettings();
    s.Top = 3;
    s.Left = -5;
    s.Width = 900;
    s.Heigth = 700;
    s.Restore = true;
    s.SplitAlbums = 111;
    s.SplitPictures = 222;
    s.ProcessThumb = false;
    s.ProcessMedium = false;
    s.ProcessLarge = true;
    s.DB = "Provider=SQLite;Data Source=/tmp/\"odd\" \\name.db";
    s.JpegCompressionLarge = 10;
    s.JpegCompressionMedium = 20;
    s.JpegCompressionThumb = 30;
    s.MediumWidth = "640";
    s.MediumHeight = "480";
    s.MediumSize = kSizeCustom;
    s.ThumbWidth = "200";
    s.ThumbHeight = "150";
    s.ThumbSize = kSizePreset2;
    s.LargeFolder = "L";
    s.LargePrefix = "l-";
    s.MediumFolder = "M";
    s.MediumPrefix = "m-";
    s.ThumbFolder = "T";
    s.ThumbPrefix = "t-";
    s.RecreateTemp = true;
    s.DeleteTemp = true;
    s.RecreateThumb = false;
    s.RecreateMedium = false;
    s.RecreateLarge = false;
    s.OutputFilenames = 2;
    s.UpdateMode = 3;
    s.Upscale = true;
    s.Scale = false;
    s.ScaleChoice = false;
    s.ResizeMode = 4;
    s.ExtensionJpg = false;
    s.LogLevelErrors = false;
    s.LogLevelWarnings = false;
    s.LogLevelOthers = true;
    s.ShowWelcome = false;
    s.ShowSplash = true;
    s.MainDir = "/photos/*.*";
    RebuildPictureExtensions(s);
    TProcessingLog log;
    {
        TSettingsStore store(file_);
        SaveToRegistry(s, store, log);
    }
    EXPECT_EQ(Load(TSettings{}, log), s);
}

TEST_F(SettingsPersistenceTest, ABinaryValueStopsTheLoadWhereItIs) {
    // Step 7 (qualities) fails: steps 3 to 6 are applied, the later ones are not.
    WriteFile("\"Width\"=dword:00000258\n",
              "\"SplitAlbums\"=dword:00000096\n\"DB\"=\"Provider=SQLite;Data Source=/x.db\"\n"
              "\"JpegCompressionLarge\"=hex:5a,00\n\"ThumbPrefix\"=\"never read\"\n"
              "\"LogLevelOthers\"=\"1\"\n");
    TSettings before;
    before.ThumbPrefix = "before";

    TProcessingLog firstLoadLog;  // the set is still empty: the error is not shown
    const TSettings s = Load(before, firstLoadLog);
    EXPECT_EQ(s.Width, 600);
    EXPECT_EQ(s.SplitAlbums, 150);
    EXPECT_EQ(s.DB, "Provider=SQLite;Data Source=/x.db");
    EXPECT_EQ(s.JpegCompressionLarge, 90);
    EXPECT_EQ(s.ThumbPrefix, "before");
    EXPECT_FALSE(s.LogLevelOthers);
    EXPECT_TRUE(Texts(firstLoadLog).empty());

    TProcessingLog secondLoadLog;
    secondLoadLog.ApplyLogSwitches(true, false, true);
    Load(before, secondLoadLog);
    EXPECT_EQ(Texts(secondLoadLog), (std::vector<std::string>{msg::kLoadStart, msg::kLoadError}));
    EXPECT_EQ(secondLoadLog.Lines().back().mark.imageIndex, msg::kLevelError);
}

TEST_F(SettingsPersistenceTest, ALateErrorIsShownOnTheFirstLoad) {
    WriteFile("", "\"MainDir\"=dword:00000001\n");  // a number where text belongs
    TProcessingLog log;
    const TSettings s = Load(TSettings{}, log);
    EXPECT_EQ(Texts(log), (std::vector<std::string>{msg::kLoadError}));
    EXPECT_EQ(s.MainDir, "");
    EXPECT_TRUE(s.ShowWelcome);
}

TEST_F(SettingsPersistenceTest, ANonNumericSizeEditStopsTheSaveThere) {
    WriteFile("",
              "\"MediumWidth\"=dword:00000001\n\"MediumHeight\"=dword:00000002\n"
              "\"ThumbWidth\"=dword:00000003\n\"ThumbPrefix\"=\"old\"\n\"ShowSplash\"=\"1\"\n");
    TSettings s = DefaultSettings();
    s.SplitAlbums = 123;
    s.MediumWidth = "640";
    s.MediumHeight = "6x0";
    s.ThumbWidth = "99";
    s.ThumbPrefix = "new";
    TProcessingLog log;
    log.ApplyLogSwitches(true, true, true);
    TSettingsStore store(file_);
    SaveToRegistry(s, store, log);

    EXPECT_EQ(Texts(log), (std::vector<std::string>{msg::kSaveStart, msg::kSaveError}));
    Stored([](TSettingsStore& st) {
        EXPECT_EQ(st.ReadNumber(kOptionsSection, "SplitAlbums"), 123);  // written before
        EXPECT_EQ(st.ReadNumber(kOptionsSection, "MediumWidth"), 640);
        EXPECT_EQ(st.ReadNumber(kOptionsSection, "MediumHeight"), 2);  // previous contents
        EXPECT_EQ(st.ReadNumber(kOptionsSection, "ThumbWidth"), 3);
        EXPECT_EQ(st.ReadText(kOptionsSection, "ThumbPrefix"), "old");
        EXPECT_EQ(st.ReadText(kOptionsSection, "ShowSplash"), "1");
        EXPECT_EQ(st.ValueType(kOptionsSection, "MainDir"), TStoreValueType::Absent);
        return 0;
    });
}

TEST_F(SettingsPersistenceTest, TheFirstLoadShowsOnlyItsEndLine) {
    struct Case {
        const char* others;
        std::vector<std::string> afterFirst, afterSecond;
    };
    const Case cases[] = {
        {"1", {msg::kLoadDone}, {msg::kLoadDone, msg::kLoadStart, msg::kLoadDone}},
        {"0", {}, {}},
    };
    for (const Case& c : cases) {
        WriteFile("", std::string("\"LogLevelOthers\"=\"") + c.others + "\"\n");
        TProcessingLog log;  // as the main window creates it: nothing enabled
        TSettings s = Load(TSettings{}, log);
        EXPECT_EQ(Texts(log), c.afterFirst) << c.others;
        Load(s, log);
        EXPECT_EQ(Texts(log), c.afterSecond) << c.others;
    }
}

TEST_F(SettingsPersistenceTest, AnUnreadableFileIsReportedAndKeptUntilASave) {
    std::ofstream(file_) << "not a settings file";
    TSettings odd = DefaultSettings();
    odd.LargeFolder = "odd";
    TProcessingLog log;
    const TSettings s = Load(odd, log);

    EXPECT_EQ(s, DefaultSettings());
    EXPECT_EQ(Texts(log), (std::vector<std::string>{msg::kLoadError}));
    EXPECT_EQ(FileText(), "not a settings file");  // a load alone changes nothing
    EXPECT_FALSE(fs::exists(file_ + ".broken"));

    TSettingsStore store(file_);
    TProcessingLog saveLog;
    saveLog.ApplyLogSwitches(true, true, true);
    EXPECT_TRUE(SaveToRegistry(s, store, saveLog));
    EXPECT_EQ(Texts(saveLog), (std::vector<std::string>{msg::kSaveStart, msg::kSaveError}));
    std::ifstream copy(file_ + ".broken");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(copy), {}), "not a settings file");

    // The next load finds the saved file and reports no error.
    TProcessingLog second;
    second.ApplyLogSwitches(true, true, true);
    Load(s, second);
    EXPECT_EQ(Texts(second), (std::vector<std::string>{msg::kLoadStart}));  // Others now off
}

TEST_F(SettingsPersistenceTest, ABadLineKeepsEveryOtherValue) {
    TProcessingLog log;
    WriteFile(Dword("Width", 700), "\"ThumbWidth\"=dword:-1\n\"LargeFolder\"=\"big\"\n");
    const TSettings s = Load(DefaultSettings(), log);
    EXPECT_EQ(s.LargeFolder, "big");
    EXPECT_EQ(s.Width, 700);
    EXPECT_EQ(s.ThumbWidth, DefaultSettings().ThumbWidth);
    EXPECT_EQ(Texts(log), (std::vector<std::string>{msg::kLoadError}));
}

TEST_F(SettingsPersistenceTest, SizeSelectionMatchesTheRadioButtons) {
    TSettings s;
    s.MediumWidth = "1";
    SelectMediumSize(s, kSizePreset2);
    EXPECT_EQ(s.MediumWidth + "x" + s.MediumHeight, "1024x1024");
    SelectMediumSize(s, kSizeCustom);  // Custom keeps what the preset put there
    EXPECT_EQ(s.MediumWidth + "x" + s.MediumHeight, "1024x1024");
    EXPECT_EQ(s.MediumSize, kSizeCustom);
    SelectThumbSize(s, kSizePreset1);
    EXPECT_EQ(s.ThumbWidth + "x" + s.ThumbHeight, "150x100");
    SelectThumbSize(s, 5);
    EXPECT_EQ(s.ThumbSize, kSizeNone);
    EXPECT_EQ(s.ThumbWidth + "x" + s.ThumbHeight, "150x100");
}

}  // namespace
}  // namespace galerion
