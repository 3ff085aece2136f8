#include "core/settings_table.h"

#include "core/settings_defaults.h"
#include "core/settings_persistence.h"
#include "platform/errors.h"
#include "platform/text.h"

namespace galerion {
namespace {

using enum TSettingSection;
using K = TSettingKind;

// A JPEG holds at most 65500 pixels a side; libjpeg takes qualities 1 to 100.
constexpr int kMaxBoxSide = 65500;

constexpr const char* kCaseNames[] = {"lower", "upper", "unchanged"};
constexpr const char* kUpdateModeNames[] = {"ask", "insert", "update", "cancel"};
constexpr const char* kResizeModeNames[] = {"nearest", "linear", "spline", "lanczos", "mitchell"};
constexpr const char* kMediumSizeNames[] = {"800x768", "1024x1024", "custom"};
constexpr const char* kThumbSizeNames[] = {"150x100", "200x150", "custom"};
constexpr const char* kKeywordCategoryNames[] = {"off", "match", "create"};
constexpr const char* kColourProfileNames[] = {"ignore", "convert", "keep"};

constexpr TSettingInfo Number(const char* name, TSettingSection section, int TSettings::*field,
                              int defaultValue, int min, int max, const char* meaning) {
    return {.name = name,
            .section = section,
            .kind = K::Integer,
            .field = field,
            .defaultNumber = defaultValue,
            .min = min,
            .max = max,
            .meaning = meaning};
}

constexpr TSettingInfo Enumerated(const char* name, int TSettings::*field, int defaultValue,
                                  std::span<const char* const> names, const char* meaning) {
    return {.name = name,
            .section = Options,
            .kind = K::Integer,
            .field = field,
            .defaultNumber = defaultValue,
            .min = 0,
            .max = static_cast<int>(names.size()) - 1,
            .valueNames = names,
            .meaning = meaning};
}

constexpr TSettingInfo Switch(const char* name, TSettingSection section, bool TSettings::*field,
                              bool defaultValue, const char* meaning,
                              void (*afterLoad)(TSettings&, TProcessingLog&) = nullptr) {
    return {.name = name,
            .section = section,
            .kind = K::Boolean,
            .field = field,
            .defaultNumber = defaultValue ? 1 : 0,
            .min = 0,
            .max = 1,
            .meaning = meaning,
            .afterLoad = afterLoad};
}

constexpr TSettingInfo JpegQuality(const char* name, double TSettings::*field,
                                   const char* meaning) {
    return {.name = name,
            .section = Options,
            .kind = K::Quality,
            .field = field,
            .defaultNumber = 90,
            .min = 1,
            .max = 100,
            .meaning = meaning};
}

constexpr TSettingInfo BoxSide(const char* name, std::string TSettings::*field, int defaultValue,
                               const char* meaning) {
    return {.name = name,
            .section = Options,
            .kind = K::IntegerText,
            .field = field,
            .defaultNumber = defaultValue,
            .min = 1,
            .max = kMaxBoxSide,
            .meaning = meaning};
}

constexpr TSettingInfo String(const char* name, std::string TSettings::*field,
                              const char* defaultValue, const char* meaning) {
    return {.name = name,
            .section = Options,
            .kind = K::Text,
            .field = field,
            .defaultText = defaultValue,
            .meaning = meaning};
}

constexpr TSettingInfo SystemString(const char* name, std::string TSettings::*field,
                                    std::string (*systemDefault)(), const char* meaning) {
    return {.name = name,
            .section = Options,
            .kind = K::Text,
            .field = field,
            .systemDefault = systemDefault,
            .meaning = meaning};
}

constexpr TSettingInfo Size(const char* name, int TSettings::*field,
                            void (*select)(TSettings&, int), std::span<const char* const> names,
                            const char* meaning) {
    return {.name = name,
            .section = Options,
            .kind = K::SizeChoice,
            .field = field,
            .defaultNumber = 1,
            .min = 1,
            .max = 3,
            .valueNames = names,
            .meaning = meaning,
            .select = select};
}

void RebuildExtensionsAfterLoad(TSettings& settings, TProcessingLog&) {
    RebuildPictureExtensions(settings);
}

void ApplyLogSwitchesAfterLoad(TSettings& settings, TProcessingLog& log) {
    ApplyLogSwitches(settings, log);
}

using S = TSettings;

constexpr TSettingInfo kSettings[] = {
    Switch("Restore", Position, &S::Restore, false, "the main window was maximized"),
    Number("Top", Position, &S::Top, 100, INT_MIN, INT_MAX, "top edge of the main window, pixels"),
    Number("Left", Position, &S::Left, 100, INT_MIN, INT_MAX,
           "left edge of the main window, pixels"),
    Number("Width", Position, &S::Width, 500, INT_MIN, INT_MAX, "width of the main window, pixels"),
    Number("Heigth", Position, &S::Heigth, 300, INT_MIN, INT_MAX,
           "height of the main window, pixels"),

    Number("SplitAlbums", Options, &S::SplitAlbums, 100, 0, INT_MAX,
           "height of the album list on the Pictures page, pixels"),
    Number("SplitPictures", Options, &S::SplitPictures, 245, 0, INT_MAX,
           "width of the left column of the Pictures page, pixels"),
    Switch("ProcessThumb", Options, &S::ProcessThumb, true, "thumbnails are written"),
    Switch("ProcessMedium", Options, &S::ProcessMedium, true, "medium pictures are written"),
    Switch("ProcessLarge", Options, &S::ProcessLarge, false,
           "large pictures (the photo's own size) are written"),
    SystemString("DB", &S::DB, &DefaultConnectionString,
                 "the database: Provider=SQLite;Data Source=FILE"),
    JpegQuality("JpegCompressionLarge", &S::JpegCompressionLarge, "JPEG quality of large pictures"),
    JpegQuality("JpegCompressionMedium", &S::JpegCompressionMedium,
                "JPEG quality of medium pictures"),
    JpegQuality("JpegCompressionThumb", &S::JpegCompressionThumb, "JPEG quality of thumbnails"),
    BoxSide("MediumWidth", &S::MediumWidth, 800,
            "width of the medium box, pixels (kept with MediumSize custom)"),
    BoxSide("MediumHeight", &S::MediumHeight, 768,
            "height of the medium box, pixels (kept with MediumSize custom)"),
    BoxSide("ThumbWidth", &S::ThumbWidth, 150,
            "width of the thumbnail box, pixels (kept with ThumbSize custom)"),
    BoxSide("ThumbHeight", &S::ThumbHeight, 100,
            "height of the thumbnail box, pixels (kept with ThumbSize custom)"),
    String("LargeFolder", &S::LargeFolder, "ps_large", "album sub-folder of large pictures"),
    String("LargePrefix", &S::LargePrefix, "l_", "file-name prefix of large pictures"),
    String("MediumFolder", &S::MediumFolder, "ps_medium", "album sub-folder of medium pictures"),
    String("MediumPrefix", &S::MediumPrefix, "m_", "file-name prefix of medium pictures"),
    String("ThumbFolder", &S::ThumbFolder, "ps_thumb", "album sub-folder of thumbnails"),
    String("ThumbPrefix", &S::ThumbPrefix, "tn_", "file-name prefix of thumbnails"),
    Switch("RecreateTemp", Options, &S::RecreateTemp, false,
           "working thumbnails are made again even when their file exists"),
    Switch("DeleteTemp", Options, &S::DeleteTemp, false,
           "1 KEEPS each album's tmp folder after processing"),
    Switch("RecreateThumb", Options, &S::RecreateThumb, true,
           "thumbnails are written again even when their file exists"),
    Switch("RecreateMedium", Options, &S::RecreateMedium, true,
           "medium pictures are written again even when their file exists"),
    Switch("RecreateLarge", Options, &S::RecreateLarge, true,
           "large pictures are written again even when their file exists"),
    Enumerated("OutputFilenames", &S::OutputFilenames, 0, kCaseNames,
               "letter case of output and working file names"),
    Enumerated("UpdateMode", &S::UpdateMode, 0, kUpdateModeNames,
               "what to do with an album already in the database"),
    Switch("Upscale", Options, &S::Upscale, false,
           "1: pictures smaller than a box are never enlarged"),
    Switch("Scale", Options, &S::Scale, true,
           "the full-size view asks before showing a picture above 100 %"),
    Switch("ScaleChoice", Options, &S::ScaleChoice, true,
           "the remembered answer to that question (1: show above 100 %)"),
    Enumerated("ResizeMode", &S::ResizeMode, 3, kResizeModeNames,
               "resampling method of medium pictures and thumbnails"),
    Switch("ExtensionJpg", Options, &S::ExtensionJpg, true, "files ending in .jpg are pictures"),
    Switch("ExtensionJpeg", Options, &S::ExtensionJpeg, true, "files ending in .jpeg are pictures",
           &RebuildExtensionsAfterLoad),
    Switch("LogLevelErrors", Options, &S::LogLevelErrors, true, "errors are logged"),
    Switch("LogLevelWarnings", Options, &S::LogLevelWarnings, true, "warnings are logged"),
    Switch("LogLevelOthers", Options, &S::LogLevelOthers, false,
           "progress and skipped pictures are logged", &ApplyLogSwitchesAfterLoad),
    Size("MediumSize", &S::MediumSize, &SelectMediumSize, kMediumSizeNames,
         "medium box: a preset, or custom (MediumWidth x MediumHeight)"),
    Size("ThumbSize", &S::ThumbSize, &SelectThumbSize, kThumbSizeNames,
         "thumbnail box: a preset, or custom (ThumbWidth x ThumbHeight)"),
    Switch("ShowWelcome", Options, &S::ShowWelcome, true,
           "1: the window starts on the Albums page"),
    Switch("ShowSplash", Options, &S::ShowSplash, false, "1: no splash screen at start"),
    SystemString("MainDir", &S::MainDir, &DefaultMainDir,
                 "the main directory as a search mask, FOLDER/*.*"),
    // Stored after the window's own values, so that their load and save steps stay as they were.
    Switch("RecreateChanged", Options, &S::RecreateChanged, false,
           "outputs are written again exactly when missing or made from something else"),
    Switch("UseExifOrientation", Options, &S::UseExifOrientation, true,
           "a new picture is turned as its file's EXIF Orientation says"),
    Switch("UseExifDate", Options, &S::UseExifDate, true,
           "a new picture is dated when it was taken (EXIF, XMP or IPTC date)"),
    Switch("UseFileTexts", Options, &S::UseFileTexts, true,
           "a new picture's empty titles come from its file's title or caption"),
    String("AltLanguage", &S::AltLanguage, "",
           "language of alternative titles taken from files (such as de); empty: none"),
    Enumerated("KeywordCategories", &S::KeywordCategories, 1, kKeywordCategoryNames,
               "a new picture's keywords: off, match existing categories, or create missing ones"),
    Switch("CarryCopyright", Options, &S::CarryCopyright, true,
           "outputs carry the photo's artist and copyright (and no other metadata)"),
    Enumerated("ColourProfiles", &S::ColourProfiles, 1, kColourProfileNames,
               "a photo's colour profile: ignore (colours as stored, no profile), convert "
               "(outputs in sRGB, as browsers show them) or keep (colours as stored, each output "
               "carries the photo's profile); the window shows sRGB but with ignore"),
    Switch("ExtensionHeif", Options, &S::ExtensionHeif, true,
           "files ending in .heic or .heif are pictures (written out as .jpg)",
           &RebuildExtensionsAfterLoad),
};

template <typename T>
T& Field(TSettings& settings, const TSettingInfo& info) {
    return settings.*std::get<T TSettings::*>(info.field);
}

}  // namespace

TStoredForm StoredForm(TSettingKind kind) {
    switch (kind) {
        case K::Boolean: return TStoredForm::Boolean;
        case K::Text: return TStoredForm::String;
        default: return TStoredForm::Integer;
    }
}

std::span<const TSettingInfo> SettingTable() { return kSettings; }

const TSettingInfo& FindSetting(const std::string& name) {
    const std::string wanted = AsciiLower(name);
    for (const TSettingInfo& info : kSettings)
        if (AsciiLower(info.name) == wanted) return info;
    throw RangeError("Unknown setting '" + name + "'");
}

// The defaults that need no system: a system default (DB, MainDir) stays empty here.
TSettings::TSettings() {
    for (const TSettingInfo& info : kSettings) {
        switch (info.kind) {
            case K::Integer: Field<int>(*this, info) = info.defaultNumber; break;
            case K::Boolean: Field<bool>(*this, info) = info.defaultNumber != 0; break;
            case K::Quality: Field<double>(*this, info) = info.defaultNumber; break;
            case K::IntegerText:
                Field<std::string>(*this, info) = std::to_string(info.defaultNumber);
                break;
            case K::Text: Field<std::string>(*this, info) = info.defaultText; break;
            case K::SizeChoice: Field<int>(*this, info) = info.defaultNumber - 1; break;
        }
    }
    RebuildPictureExtensions(*this);
}

}  // namespace galerion
