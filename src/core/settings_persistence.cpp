#include "core/settings_persistence.h"

#include "core/log_messages.h"
#include "core/numbers.h"
#include "core/settings_table.h"
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

void WriteStoredInteger(TSettingsStore& store, const std::string& section, const std::string& name,
                        int value) {
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

void WriteStoredString(TSettingsStore& store, const std::string& section, const std::string& name,
                       const std::string& value) {
    store.WriteText(section, name, value);
}

// --- Derived state and size choices ---------------------------------------------------------

void RebuildPictureExtensions(TSettings& settings) {
    settings.PictureExtensions.clear();
    if (settings.ExtensionJpg) settings.PictureExtensions.push_back(".jpg");
    if (settings.ExtensionJpeg) settings.PictureExtensions.push_back(".jpeg");
    if (settings.ExtensionHeif)
        settings.PictureExtensions.insert(settings.PictureExtensions.end(), {".heic", ".heif"});
}

void ApplyLogSwitches(const TSettings& settings, TProcessingLog& log) {
    log.ApplyLogSwitches(settings.LogLevelErrors, settings.LogLevelWarnings,
                         settings.LogLevelOthers);
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

// A stored size choice 1, 2, 3 is the radio index 0, 1, 2; anything else selects none.
int StoredToSizeIndex(int stored) { return SizeChoice(stored - 1); }

const char* SectionName(TSettingSection section) {
    return section == TSettingSection::Position ? kPositionSection : kOptionsSection;
}

// Reads one value into its field; a value of the wrong type throws and stops the load there.
void LoadSetting(TSettings& s, const TSettingInfo& info, const TSettingsStore& store) {
    const char* section = SectionName(info.section);
    const auto integer = [&] {
        return ReadStoredInteger(store, section, info.name, info.defaultNumber);
    };
    switch (info.kind) {
        case TSettingKind::Integer: SettingField<int>(s, info) = integer(); break;
        case TSettingKind::Boolean:
            SettingField<bool>(s, info) =
                ReadStoredBool(store, section, info.name, info.defaultNumber != 0);
            break;
        case TSettingKind::Quality: SettingField<double>(s, info) = integer(); break;
        case TSettingKind::IntegerText:
            SettingField<std::string>(s, info) = std::to_string(integer());
            break;
        case TSettingKind::Text:
            // A default that asks the system (folders) is only worked out when it is needed.
            if (info.systemDefault &&
                store.ValueType(section, info.name) == TStoreValueType::Absent)
                SettingField<std::string>(s, info) = info.systemDefault();
            else
                SettingField<std::string>(s, info) =
                    ReadStoredString(store, section, info.name, info.defaultText);
            break;
        case TSettingKind::SizeChoice: info.select(s, StoredToSizeIndex(integer())); break;
    }
}

// Keeps a window that was too small, too large or off the screen visible.
void LoadPlacement(TSettings& settings, const TSettingsStore& store, int screenWidth,
                   int screenHeight) {
    const TSettings defaults;
    const auto read = [&](const char* name, int defaultValue) {
        return ReadStoredInteger(store, kPositionSection, name, defaultValue);
    };
    int top = read("Top", defaults.Top);
    int left = read("Left", defaults.Left);
    int width = read("Width", defaults.Width);
    int height = read("Heigth", defaults.Heigth);
    if (width > screenWidth || width < 70) width = screenWidth;
    if (height > screenHeight || height < 70) height = screenHeight;
    if (left < -10 || left > screenWidth) left = 0;
    if (top < -10 || top > screenHeight) top = 0;
    settings.Top = top;
    settings.Left = left;
    settings.Width = width;
    settings.Heigth = height;
    settings.Restore = ReadStoredBool(store, kPositionSection, "Restore", defaults.Restore);
}

// A file saved before HEIF photos were read stores the user's list of extensions without them:
// the list stays as the user set it.
void KeepStoredExtensionList(TSettings& s, const TSettingsStore& store) {
    const auto absent = [&](const char* name) {
        return store.ValueType(kOptionsSection, name) == TStoreValueType::Absent;
    };
    if (absent("ExtensionHeif") && !(absent("ExtensionJpg") && absent("ExtensionJpeg"))) {
        s.ExtensionHeif = false;
        RebuildPictureExtensions(s);
    }
}

// The "Options" values in the table's order, each with the derived state that follows it.
void LoadOptions(TSettings& s, const TSettingsStore& store, TProcessingLog& log) {
    for (const TSettingInfo& info : SettingTable()) {
        if (info.section != TSettingSection::Options) continue;
        LoadSetting(s, info, store);
        if (info.afterLoad) info.afterLoad(s, log);
    }
    KeepStoredExtensionList(s, store);
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
        if (fileSetAside)
            log.AddLogLine(msg::kLoadError, msg::kLevelError);
        else
            log.AddLogLine(msg::kLoadDone, msg::kLevelProgress);
    } catch (const std::exception&) {
        CloseAfterError(store);
        log.AddLogLine(msg::kLoadError, msg::kLevelError);
    }
}

// --- Save -----------------------------------------------------------------------------------

namespace {

// A spin edit's value, rounded half to even.
int RoundedQuality(const char* name, double value) {
    if (!std::isfinite(value) || value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        throw RangeError(std::string("'") + name + "' is out of range");
    return static_cast<int>(Round(value));
}

// Writes one value in its stored form; an edit that holds no decimal integer throws
// ConvertError and stops the save there. A radio group with no button selected writes nothing.
void SaveSetting(const TSettings& s, const TSettingInfo& info, TSettingsStore& store) {
    const char* section = SectionName(info.section);
    switch (info.kind) {
        case TSettingKind::Integer:
            WriteStoredInteger(store, section, info.name, SettingField<int>(s, info));
            break;
        case TSettingKind::Boolean:
            WriteStoredBool(store, section, info.name, SettingField<bool>(s, info));
            break;
        case TSettingKind::Quality:
            WriteStoredInteger(store, section, info.name,
                               RoundedQuality(info.name, SettingField<double>(s, info)));
            break;
        case TSettingKind::IntegerText:
            WriteStoredInteger(store, section, info.name,
                               StrToInt(SettingField<std::string>(s, info)));
            break;
        case TSettingKind::Text:
            WriteStoredString(store, section, info.name, SettingField<std::string>(s, info));
            break;
        case TSettingKind::SizeChoice: {
            const int index = SettingField<int>(s, info);
            if (index >= kSizePreset1 && index <= kSizeCustom)
                WriteStoredInteger(store, section, info.name, index + 1);
            break;
        }
    }
}

// "Position" then "Options", each in the table's order.
void SaveSection(const TSettings& s, TSettingSection section, TSettingsStore& store) {
    for (const TSettingInfo& info : SettingTable())
        if (info.section == section) SaveSetting(s, info, store);
}

}  // namespace

bool SaveToRegistry(const TSettings& settings, TSettingsStore& store, TProcessingLog& log) {
    log.AddLogLine(msg::kSaveStart, msg::kLevelProgress);
    try {
        store.OpenKey(kProgramKey, true);
        const bool fileSetAside = !store.LoadProblem().empty();
        SaveSection(settings, TSettingSection::Position, store);
        SaveSection(settings, TSettingSection::Options, store);
        store.CloseKey();
        // The values are saved, but what the unusable file held is only in its copy.
        if (fileSetAside)
            log.AddLogLine(msg::kSaveError, msg::kLevelError);
        else
            log.AddLogLine(msg::kSaveDone, msg::kLevelProgress);
        return true;
    } catch (const std::exception&) {
        CloseAfterError(store);
        log.AddLogLine(msg::kSaveError, msg::kLevelError);
        return false;
    }
}

}  // namespace galerion
