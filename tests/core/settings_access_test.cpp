#include "core/settings_access.h"

#include "core/settings_defaults.h"
#include "core/settings_persistence.h"
#include "platform/errors.h"
#include "platform/text.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace galerion {
namespace {

std::vector<std::string> Lowered(std::vector<std::string> names) {
    for (std::string& name : names) name = AsciiLower(name);
    std::sort(names.begin(), names.end());
    return names;
}

TEST(SettingsAccess, NamesAreExactlyTheStoredValues) {
    const test::TTempFolder folder;
    const std::string file = folder.File("Galerion.reg");
    TProcessingLog log;
    {
        TSettingsStore store(file);
        SaveToRegistry(DefaultSettings(), store, log);
    }
    TSettingsStore store(file);
    ASSERT_TRUE(store.OpenKey(kProgramKey, false));
    std::vector<std::string> stored = store.ValueNames(kPositionSection);
    for (const std::string& name : store.ValueNames(kOptionsSection)) stored.push_back(name);

    EXPECT_EQ(Lowered(SettingNames()), Lowered(stored));
}

TEST(SettingsAccess, EverySettingRoundTripsThroughItsText) {
    TSettings source = DefaultSettings();
    source.Top = -7;
    source.Restore = true;
    source.MediumSize = kSizeCustom;
    source.MediumWidth = "640";
    source.ThumbSize = kSizePreset2;
    SelectThumbSize(source, kSizePreset2);
    source.DB = "Provider=SQLite;Data Source=/x y.db";
    source.ExtensionJpeg = false;
    RebuildPictureExtensions(source);

    TSettings copy;
    for (const std::string& name : SettingNames())
        SetSettingText(copy, name, GetSettingText(source, name));
    EXPECT_EQ(copy, source);
}

TEST(SettingsAccess, ValuesAreCheckedAgainstTheirSetting) {
    enum Outcome { Ok, Convert, Range };
    struct Case {
        const char* name;
        const char* value;
        Outcome outcome;
        const char* shown;  // GetSettingText afterwards when Ok
    };
    const Case cases[] = {
        {"Restore", "true", Ok, "1"},
        {"restore", " FALSE ", Ok, "0"},
        {"Restore", "1", Ok, "1"},
        {"Restore", "2", Convert, ""},
        {"Restore", "yes", Convert, ""},
        {"Top", "-5", Ok, "-5"},
        {"TOP", "abc", Convert, ""},
        {"Top", "99999999999", Convert, ""},
        {"JpegCompressionLarge", "75", Ok, "75"},
        {"JpegCompressionLarge", "101", Range, ""},
        {"JpegCompressionLarge", "7.5", Convert, ""},
        {"MediumWidth", " 640", Ok, "640"},
        {"MediumWidth", "6x0", Convert, ""},
        {"UpdateMode", "3", Ok, "3"},
        {"UpdateMode", "4", Range, ""},
        {"ResizeMode", "-1", Range, ""},
        {"OutputFilenames", "2", Ok, "2"},
        {"MainDir", "/a b/*.*", Ok, "/a b/*.*"},
        {"MediumSize", "3", Ok, "3"},
        {"MediumSize", "4", Range, ""},
        {"ThumbSize", "x", Convert, ""},
        // Enumerated values by name; the ranges the program can actually use.
        {"UpdateMode", "update", Ok, "2"},
        {"OutputFilenames", " LOWER", Ok, "0"},
        {"ResizeMode", "lanczos", Ok, "3"},
        {"MediumSize", "custom", Ok, "3"},
        {"ThumbSize", "200x150", Ok, "2"},
        {"UpdateMode", "sometimes", Convert, ""},
        {"JpegCompressionThumb", "0", Range, ""},
        {"JpegCompressionThumb", "1", Ok, "1"},
        {"ThumbWidth", "0", Range, ""},
        {"ThumbWidth", "65501", Range, ""},
        {"RecreateChanged", "true", Ok, "1"},
    };
    for (const Case& c : cases) {
        TSettings s = DefaultSettings();
        const std::string label = std::string(c.name) + "=" + c.value;
        switch (c.outcome) {
            case Ok:
                EXPECT_NO_THROW(SetSettingText(s, c.name, c.value)) << label;
                EXPECT_EQ(GetSettingText(s, c.name), c.shown) << label;
                break;
            case Convert:
                EXPECT_THROW(SetSettingText(s, c.name, c.value), ConvertError) << label;
                break;
            case Range:
                EXPECT_THROW(SetSettingText(s, c.name, c.value), RangeError) << label;
                break;
        }
    }
}

TEST(SettingsAccess, RefusalsSayWhatIsAllowed) {
    struct Case {
        const char* name;
        const char* value;
        const char* allowed;
    };
    const Case cases[] = {
        {"UpdateMode", "4", "0 ask, 1 insert, 2 update, 3 cancel"},
        {"ResizeMode", "cubic", "0 nearest, 1 linear, 2 spline, 3 lanczos, 4 mitchell"},
        {"JpegCompressionLarge", "101", "1-100"},
        {"ProcessLarge", "yes", "0, 1, true or false"},
    };
    for (const Case& c : cases) {
        TSettings s = DefaultSettings();
        try {
            SetSettingText(s, c.name, c.value);
            ADD_FAILURE() << c.name << " took " << c.value;
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.allowed), std::string::npos) << e.what();
        }
    }
    TSettings s = DefaultSettings();
    EXPECT_EQ(SettingValueName(s, "ResizeMode"), "lanczos");
    EXPECT_EQ(SettingValueName(s, "Top"), "");
    EXPECT_EQ(AllowedSettingValues("thumbwidth"), "1-65500");
    EXPECT_FALSE(SettingMeaning("DeleteTemp").empty());
}

TEST(SettingsAccess, SizeChoicesApplyTheirPresets) {
    TSettings s = DefaultSettings();
    s.MediumWidth = "640";
    SetSettingText(s, "mediumsize", "2");
    EXPECT_EQ(s.MediumWidth + "x" + s.MediumHeight, "1024x1024");
    SetSettingText(s, "MediumSize", "3");
    EXPECT_EQ(s.MediumWidth + "x" + s.MediumHeight, "1024x1024");
    SetSettingText(s, "ThumbSize", "2");
    EXPECT_EQ(s.ThumbWidth + "x" + s.ThumbHeight, "200x150");
    s.ThumbSize = kSizeNone;  // as a load of an unknown stored choice leaves it
    EXPECT_EQ(GetSettingText(s, "ThumbSize"), "");
}

TEST(SettingsAccess, TheExtensionListFollowsItsSwitches) {
    TSettings s = DefaultSettings();
    SetSettingText(s, "ExtensionJpg", "false");
    EXPECT_EQ(s.PictureExtensions, (std::vector<std::string>{".jpeg", ".heic", ".heif"}));
    SetSettingText(s, "ExtensionJpeg", "0");
    EXPECT_EQ(s.PictureExtensions, (std::vector<std::string>{".heic", ".heif"}));
    SetSettingText(s, "ExtensionHeif", "0");
    EXPECT_TRUE(s.PictureExtensions.empty());
}

TEST(SettingsAccess, AnUnknownNameIsRefusedWithoutAList) {
    TSettings s;
    try {
        SetSettingText(s, "Height", "5");
        FAIL() << "no error";
    } catch (const RangeError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("Unknown setting 'Height'"), std::string::npos) << message;
        EXPECT_EQ(message.find("Heigth"), std::string::npos) << message;
    }
    EXPECT_THROW(GetSettingText(s, ""), RangeError);
}

}  // namespace
}  // namespace galerion
