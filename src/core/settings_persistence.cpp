#include "core/settings_persistence.h"

#include "core/log_messages.h"
#include "core/numbers.h"
#include "core/settings_defaults.h"
#include "platform/errors.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace galerion {

// --- Stored forms ---------------------------------------------------------------------------

int ReadStoredInteger(const TSettingsStore& store, const std::string& section,
                      const std::string& name, int defaultValue) {
    switch (store.ValueType(section, name)) {
        case TStoreValueType::Absent: return defaultValue;
        case TStoreValueType::Number: return store.ReadNumber(section, name);
        case TStoreValueType::Text: {
            int value = 0;
            return TryStrToInt(store.ReadText(section, name), value) ? value : defaultValue;
        }
        case TStoreValueType::Binary: break;
    }
    throw ConvertError("Invalid data type for '" + name + "'");
}

void WriteStoredInteger(TSettingsStore& store, const std::string& section,
                        const std::string& name, int value) {
    if (store.ValueType(section, name) == TStoreValueType::Text)
        store.WriteText(section, name, std::to_string(value));
    else
        store.WriteNumber(section, name, value);
}

bool ReadStoredBool(const TSettingsStore& store, const std::string& section,
                    const std::string& name, bool defaultValue) {
    return ReadStoredInteger(store, section, name, defaultValue ? 1 : 0) != 0;
}

void WriteStoredBool(TSettingsStore& store, const std::string& section, const std::string& name,
                     bool value) {
    store.WriteText(section, name, value ? "1" : "0");
}

std::string ReadStoredString(const TSettingsStore& store, const std::string& section,
                             const std::string& name, const std::string& defaultValue) {
    switch (store.ValueType(section, name)) {
        case TStoreValueType::Absent: return defaultValue;
        case TStoreValueType::Text: return store.ReadText(section, name);
        default: break;
    }
    throw ConvertError("Invalid data type for '" + name + "'");
}

void WriteStoredString(TSettingsStore& store, const std::string& section,
                       const std::string& name, const std::string& value) {
    store.WriteText(section, name, value);
}

// --- Derived state and size choices ---------------------------------------------------------

void RebuildPictureExtensions(TSettings& settings) {
    settings.PictureExtensions.clear();
    if (settings.ExtensionJpg) settings.PictureExtensions.push_back(".jpg");
    if (settings.ExtensionJpeg) settings.PictureExtensions.push_back(".jpeg");
}

void ApplyLogSwitches(const TSettings& settings, TProcessingLog& log) {
    log.ApplyLogSwitches(settings.LogLevelErrors, settings.LogLevelWarnings, settings.LogLevelOthers);
}

namespace {

struct TSizePreset {
    const char* width;
    const char* height;
};

// The index of a radio group, or kSizeNone for anything that is not one of its buttons.
int SizeChoice(int index) {
    return index >= kSizePreset1 && index <= kSizeCustom ? index : kSizeNone;
}

void SelectSize(int& choice, std::string& width, std::string& height, int index,
                const TSizePreset (&presets)[2]) {
    choice = SizeChoice(index);
    if (choice == kSizePreset1 || choice == kSizePreset2) {
        width = presets[choice].width;
        height = presets[choice].height;
    }
}

}  // namespace

void SelectMediumSize(TSettings& settings, int index) {
    static constexpr TSizePreset kPresets[2] = {{"800", "768"}, {"1024", "1024"}};
    SelectSize(settings.MediumSize, settings.MediumWidth, settings.MediumHeight, index, kPresets);
}

void SelectThumbSize(TSettings& settings, int index) {
    static constexpr TSizePreset kPresets[2] = {{"150", "100"}, {"200", "150"}};
    SelectSize(settings.ThumbSize, settings.ThumbWidth, settings.ThumbHeight, index, kPresets);
}

// --- Load -----------------------------------------------------------------------------------

namespace {

// Reads one section with the table defaults at hand.
class TSectionReader {
public:
    TSectionReader(const TSettingsStore& store, const char* section)
        : store_(store), section_(section) {}

    int Integer(const char* name, int defaultValue) const {
        return ReadStoredInteger(store_, section_, name, defaultValue);
    }
    bool Bool(const char* name, bool defaultValue) const {
        return ReadStoredBool(store_, section_, name, defaultValue);
    }
    std::string String(const char* name, const std::string& defaultValue) const {
        return ReadStoredString(store_, section_, name, defaultValue);
    }
    // For defaults that ask the system (folders): only worked out when the value is absent.
    std::string String(const char* name, std::string (*makeDefault)()) const {
        if (store_.ValueType(section_, name) == TStoreValueType::Absent) return makeDefault();
        return ReadStoredString(store_, section_, name, {});
    }
    std::string IntegerText(const char* name, const std::string& defaultText) const {
        return std::to_string(Integer(name, StrToInt(defaultText)));
    }

private:
    const TSettingsStore& store_;
    std::string section_;
};

// A stored size choice 1, 2, 3 is the radio index 0, 1, 2; anything else selects none.
int StoredToSizeIndex(int stored) { return SizeChoice(stored - 1); }

// Keeps a window that was too small, too large or off the screen visible.
void LoadPlacement(TSettings& settings, const TSettingsStore& store, int screenWidth,
                   int screenHeight) {
    const TSettings defaults;
    const TSectionReader position(store, kPositionSection);
    int top = position.Integer("Top", defaults.Top);
    int left = position.Integer("Left", defaults.Left);
    int width = position.Integer("Width", defaults.Width);
    int height = position.Integer("Heigth", defaults.Heigth);
    if (width > screenWidth || width < 70) width = screenWidth;
    if (height > screenHeight || height < 70) height = screenHeight;
    if (left < -10 || left > screenWidth) left = 0;
    if (top < -10 || top > screenHeight) top = 0;
    settings.Top = top;
    settings.Left = left;
    settings.Width = width;
    settings.Heigth = height;
    settings.Restore = position.Bool("Restore", defaults.Restore);
}

void LoadOptions(TSettings& s, const TSettingsStore& store, TProcessingLog& log) {
    const TSettings d;
    const TSectionReader options(store, kOptionsSection);

    s.SplitAlbums = options.Integer("SplitAlbums", d.SplitAlbums);
    s.SplitPictures = options.Integer("SplitPictures", d.SplitPictures);

    s.ProcessThumb = options.Bool("ProcessThumb", d.ProcessThumb);
    s.ProcessMedium = options.Bool("ProcessMedium", d.ProcessMedium);
    s.ProcessLarge = options.Bool("ProcessLarge", d.ProcessLarge);

    s.DB = options.String("DB", &DefaultConnectionString);

    s.JpegCompressionLarge = options.Integer("JpegCompressionLarge", static_cast<int>(d.JpegCompressionLarge));
    s.JpegCompressionMedium = options.Integer("JpegCompressionMedium", static_cast<int>(d.JpegCompressionMedium));
    s.JpegCompressionThumb = options.Integer("JpegCompressionThumb", static_cast<int>(d.JpegCompressionThumb));

    s.MediumWidth = options.IntegerText("MediumWidth", d.MediumWidth);
    s.MediumHeight = options.IntegerText("MediumHeight", d.MediumHeight);
    s.ThumbWidth = options.IntegerText("ThumbWidth", d.ThumbWidth);
    s.ThumbHeight = options.IntegerText("ThumbHeight", d.ThumbHeight);

    s.LargeFolder = options.String("LargeFolder", d.LargeFolder);
    s.LargePrefix = options.String("LargePrefix", d.LargePrefix);
    s.MediumFolder = options.String("MediumFolder", d.MediumFolder);
    s.MediumPrefix = options.String("MediumPrefix", d.MediumPrefix);
    s.ThumbFolder = options.String("ThumbFolder", d.ThumbFolder);
    s.ThumbPrefix = options.String("ThumbPrefix", d.ThumbPrefix);

    s.RecreateTemp = options.Bool("RecreateTemp", d.RecreateTemp);
    s.DeleteTemp = options.Bool("DeleteTemp", d.DeleteTemp);
    s.RecreateThumb = options.Bool("RecreateThumb", d.RecreateThumb);
    s.RecreateMedium = options.Bool("RecreateMedium", d.RecreateMedium);
    s.RecreateLarge = options.Bool("RecreateLarge", d.RecreateLarge);
    s.OutputFilenames = options.Integer("OutputFilenames", d.OutputFilenames);
    s.UpdateMode = options.Integer("UpdateMode", d.UpdateMode);
    s.Upscale = options.Bool("Upscale", d.Upscale);
    s.Scale = options.Bool("Scale", d.Scale);
    s.ScaleChoice = options.Bool("ScaleChoice", d.ScaleChoice);
    s.ResizeMode = options.Integer("ResizeMode", d.ResizeMode);
    s.ExtensionJpg = options.Bool("ExtensionJpg", d.ExtensionJpg);
    s.ExtensionJpeg = options.Bool("ExtensionJpeg", d.ExtensionJpeg);
    RebuildPictureExtensions(s);

    s.LogLevelErrors = options.Bool("LogLevelErrors", d.LogLevelErrors);
    s.LogLevelWarnings = options.Bool("LogLevelWarnings", d.LogLevelWarnings);
    s.LogLevelOthers = options.Bool("LogLevelOthers", d.LogLevelOthers);
    ApplyLogSwitches(s, log);

    SelectMediumSize(s, StoredToSizeIndex(options.Integer("MediumSize", 1)));
    SelectThumbSize(s, StoredToSizeIndex(options.Integer("ThumbSize", 1)));

    s.ShowWelcome = options.Bool("ShowWelcome", d.ShowWelcome);
    s.ShowSplash = options.Bool("ShowSplash", d.ShowSplash);

    s.MainDir = options.String("MainDir", &DefaultMainDir);
}

// After an error the writes made so far still reach the file.
void CloseAfterError(TSettingsStore& store) {
    try {
        store.CloseKey();
    } catch (const std::exception&) {
        // The error that brought us here is the one logged.
    }
}

}  // namespace

void LoadFromRegistry(TSettings& settings, TSettingsStore& store, TProcessingLog& log,
                      int screenWidth, int screenHeight) {
    log.AddLogLine(msg::kLoadStart, msg::kLevelProgress);
    try {
        store.OpenKey(kProgramKey, true);
        const bool fileSetAside = !store.LoadProblem().empty();
        LoadPlacement(settings, store, screenWidth, screenHeight);
        LoadOptions(settings, store, log);
        store.CloseKey();
        // Reported here rather than at the open, where the first load's log still drops it.
        if (fileSetAside) log.AddLogLine(msg::kLoadError, msg::kLevelError);
        else log.AddLogLine(msg::kLoadDone, msg::kLevelProgress);
    } catch (const std::exception&) {
        CloseAfterError(store);
        log.AddLogLine(msg::kLoadError, msg::kLevelError);
    }
}

// --- Save -----------------------------------------------------------------------------------

namespace {

class TSectionWriter {
public:
    TSectionWriter(TSettingsStore& store, const char* section) : store_(store), section_(section) {}

    void Integer(const char* name, int value) { WriteStoredInteger(store_, section_, name, value); }
    void Bool(const char* name, bool value) { WriteStoredBool(store_, section_, name, value); }
    void String(const char* name, const std::string& value) {
        WriteStoredString(store_, section_, name, value);
    }
    // A spin edit's value, rounded half to even.
    void Rounded(const char* name, double value) {
        if (!std::isfinite(value) || value < std::numeric_limits<std::int32_t>::min() ||
            value > std::numeric_limits<std::int32_t>::max())
            throw RangeError(std::string("'") + name + "' is out of range");
        Integer(name, static_cast<int>(Round(value)));
    }
    // An edit's text as a decimal integer; ConvertError stops the save when it is none.
    void IntegerText(const char* name, const std::string& text) { Integer(name, StrToInt(text)); }
    // A radio group: 1, 2 or 3, nothing when no button is selected.
    void SizeChoice(const char* name, int index) {
        if (index >= kSizePreset1 && index <= kSizeCustom) Integer(name, index + 1);
    }

private:
    TSettingsStore& store_;
    std::string section_;
};

void SavePlacement(const TSettings& s, TSettingsStore& store) {
    TSectionWriter position(store, kPositionSection);
    position.Bool("Restore", s.Restore);
    position.Integer("Top", s.Top);
    position.Integer("Left", s.Left);
    position.Integer("Width", s.Width);
    position.Integer("Heigth", s.Heigth);
}

void SaveOptions(const TSettings& s, TSettingsStore& store) {
    TSectionWriter options(store, kOptionsSection);
    options.Integer("SplitAlbums", s.SplitAlbums);
    options.Integer("SplitPictures", s.SplitPictures);
    options.Bool("ProcessThumb", s.ProcessThumb);
    options.Bool("ProcessMedium", s.ProcessMedium);
    options.Bool("ProcessLarge", s.ProcessLarge);
    options.String("DB", s.DB);

    options.Rounded("JpegCompressionLarge", s.JpegCompressionLarge);
    options.Rounded("JpegCompressionMedium", s.JpegCompressionMedium);
    options.Rounded("JpegCompressionThumb", s.JpegCompressionThumb);

    options.IntegerText("MediumWidth", s.MediumWidth);
    options.IntegerText("MediumHeight", s.MediumHeight);
    options.IntegerText("ThumbWidth", s.ThumbWidth);
    options.IntegerText("ThumbHeight", s.ThumbHeight);

    options.String("LargeFolder", s.LargeFolder);
    options.String("LargePrefix", s.LargePrefix);
    options.String("MediumFolder", s.MediumFolder);
    options.String("MediumPrefix", s.MediumPrefix);
    options.String("ThumbFolder", s.ThumbFolder);
    options.String("ThumbPrefix", s.ThumbPrefix);

    options.Bool("RecreateTemp", s.RecreateTemp);
    options.Bool("DeleteTemp", s.DeleteTemp);
    options.Bool("RecreateThumb", s.RecreateThumb);
    options.Bool("RecreateMedium", s.RecreateMedium);
    options.Bool("RecreateLarge", s.RecreateLarge);
    options.Integer("OutputFilenames", s.OutputFilenames);
    options.Integer("UpdateMode", s.UpdateMode);
    options.Bool("Upscale", s.Upscale);
    options.Bool("Scale", s.Scale);
    options.Bool("ScaleChoice", s.ScaleChoice);
    options.Integer("ResizeMode", s.ResizeMode);
    options.Bool("ExtensionJpg", s.ExtensionJpg);
    options.Bool("ExtensionJpeg", s.ExtensionJpeg);
    options.Bool("LogLevelErrors", s.LogLevelErrors);
    options.Bool("LogLevelWarnings", s.LogLevelWarnings);
    options.Bool("LogLevelOthers", s.LogLevelOthers);

    options.SizeChoice("MediumSize", s.MediumSize);
    options.SizeChoice("ThumbSize", s.ThumbSize);

    options.Bool("ShowWelcome", s.ShowWelcome);
    options.Bool("ShowSplash", s.ShowSplash);
    options.String("MainDir", s.MainDir);
}

}  // namespace

void SaveToRegistry(const TSettings& settings, TSettingsStore& store, TProcessingLog& log) {
    log.AddLogLine(msg::kSaveStart, msg::kLevelProgress);
    try {
        store.OpenKey(kProgramKey, true);
        const bool fileSetAside = !store.LoadProblem().empty();
        SavePlacement(settings, store);
        SaveOptions(settings, store);
        store.CloseKey();
        // The values are saved, but what the unusable file held is only in its copy.
        if (fileSetAside) log.AddLogLine(msg::kSaveError, msg::kLevelError);
        else log.AddLogLine(msg::kSaveDone, msg::kLevelProgress);
    } catch (const std::exception&) {
        CloseAfterError(store);
        log.AddLogLine(msg::kSaveError, msg::kLevelError);
    }
}

}  // namespace galerion
