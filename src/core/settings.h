#pragma once
// The settings record. Each field is named by its store value name and holds the setting in the
// form of the control that shows it: edit texts as strings, check boxes as bool, spin edits as
// numbers, a radio group as the selected index or -1.
#include <string>
#include <vector>

namespace galerion {

// Radio choice of a size group: the two presets, then Custom; -1 when none is selected.
enum : int { kSizeNone = -1, kSizePreset1 = 0, kSizePreset2 = 1, kSizeCustom = 2 };

struct TSettings {
    // Every default as the settings table gives it; DB and MainDir, whose defaults ask the
    // system, stay empty (DefaultSettings() fills them).
    TSettings();

    // "Position": the restored bounds of the main window and whether it was maximized.
    int Top{};
    int Left{};
    int Width{};
    int Heigth{};
    bool Restore{};

    // "Options"
    int SplitAlbums{};
    int SplitPictures{};
    bool ProcessThumb{};            // cbxThumbnail
    bool ProcessMedium{};           // cbxMedium
    bool ProcessLarge{};            // cbxLarge
    std::string DB;                 // the connection string
    double JpegCompressionLarge{};  // spin edits
    double JpegCompressionMedium{};
    double JpegCompressionThumb{};
    std::string MediumWidth;  // edits (decimal text)
    std::string MediumHeight;
    std::string ThumbWidth;
    std::string ThumbHeight;
    std::string LargeFolder;
    std::string LargePrefix;
    std::string MediumFolder;
    std::string MediumPrefix;
    std::string ThumbFolder;
    std::string ThumbPrefix;
    bool RecreateTemp{};
    bool DeleteTemp{};  // true KEEPS the working folder ("Don't delete temporary files...")
    bool RecreateThumb{};
    bool RecreateMedium{};
    bool RecreateLarge{};
    int OutputFilenames{};  // 0 lower case, 1 upper case, 2 unchanged
    int UpdateMode{};       // 0 ask, 1 add new one, 2 update existing, 3 cancel
    bool Upscale{};         // true: never enlarge a picture smaller than its box
    bool Scale{};
    bool ScaleChoice{};
    int ResizeMode{};  // TStretchFilter number
    bool ExtensionJpg{};
    bool ExtensionJpeg{};
    bool LogLevelErrors{};
    bool LogLevelWarnings{};
    bool LogLevelOthers{};
    int MediumSize{};     // rbn800, rbn1024, rbnMediumCustom
    int ThumbSize{};      // rbn80, rbn150, rbnThumbCustom
    bool ShowWelcome{};   // cbxShow
    bool ShowSplash{};    // cbxSplash
    std::string MainDir;  // folder + "*.*"
    // An output is written again exactly when it is missing or its record of what it was
    // made from differs from this run's; the three Recreate switches then do not apply.
    bool RecreateChanged{};
    int ColourProfiles{};  // 0 ignore, 1 convert to sRGB, 2 keep the source's profile
    bool ExtensionHeif{};  // .heic and .heif files are pictures

    // What a new picture takes from its photo file; the user's edits and stored rows win.
    bool UseExifOrientation{};  // turned as the camera says
    bool UseExifDate{};         // dated when taken
    bool UseFileTexts{};        // titles from the file's captions
    std::string AltLanguage;    // language of the alternative title taken from files; "" none
    int KeywordCategories{};    // 0 off, 1 match existing categories, 2 also create missing ones
    bool CarryCopyright{};      // outputs carry the photo's artist and copyright

    // Derived: ".jpg", ".jpeg", ".heic" and ".heif" as the extension switches say.
    std::vector<std::string> PictureExtensions;

    friend bool operator==(const TSettings&, const TSettings&) = default;
};

}  // namespace galerion
