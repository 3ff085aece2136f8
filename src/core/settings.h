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
    // "Position": the restored bounds of the main window and whether it was maximized.
    int Top = 100;
    int Left = 100;
    int Width = 500;
    int Heigth = 300;
    bool Restore = false;

    // "Options"
    int SplitAlbums = 100;
    int SplitPictures = 245;
    bool ProcessThumb = true;   // cbxThumbnail
    bool ProcessMedium = true;  // cbxMedium
    bool ProcessLarge = false;  // cbxLarge
    std::string DB;             // the connection string
    double JpegCompressionLarge = 90;   // spin edits
    double JpegCompressionMedium = 90;
    double JpegCompressionThumb = 90;
    std::string MediumWidth = "800";    // edits (decimal text)
    std::string MediumHeight = "768";
    std::string ThumbWidth = "150";
    std::string ThumbHeight = "100";
    std::string LargeFolder = "ps_large";
    std::string LargePrefix = "l_";
    std::string MediumFolder = "ps_medium";
    std::string MediumPrefix = "m_";
    std::string ThumbFolder = "ps_thumb";
    std::string ThumbPrefix = "tn_";
    bool RecreateTemp = false;
    bool DeleteTemp = false;  // true KEEPS the working folder ("Don't delete temporary files...")
    bool RecreateThumb = true;
    bool RecreateMedium = true;
    bool RecreateLarge = true;
    int OutputFilenames = 0;  // 0 lower case, 1 upper case, 2 unchanged
    int UpdateMode = 0;       // 0 ask, 1 add new one, 2 update existing, 3 cancel
    bool Upscale = false;     // true: never enlarge a picture smaller than its box
    bool Scale = true;
    bool ScaleChoice = true;
    int ResizeMode = 3;       // TStretchFilter number
    bool ExtensionJpg = true;
    bool ExtensionJpeg = true;
    bool LogLevelErrors = true;
    bool LogLevelWarnings = true;
    bool LogLevelOthers = false;
    int MediumSize = kSizePreset1;  // rbn800, rbn1024, rbnMediumCustom
    int ThumbSize = kSizePreset1;   // rbn80, rbn150, rbnThumbCustom
    bool ShowWelcome = true;        // cbxShow
    bool ShowSplash = false;        // cbxSplash
    std::string MainDir;            // folder + "*.*"

    // Derived: ".jpg" and/or ".jpeg", rebuilt from the two extension switches.
    std::vector<std::string> PictureExtensions = {".jpg", ".jpeg"};

    friend bool operator==(const TSettings&, const TSettings&) = default;
};

}  // namespace galerion
