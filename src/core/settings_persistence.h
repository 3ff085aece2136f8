#pragma once
// Moving the settings record between the settings store and memory, and the state derived
// from it (the picture extension list and the enabled log levels).
#include "core/processing_log.h"
#include "core/settings.h"
#include "platform/settings_store.h"

#include <string>

namespace galerion {

// The program's key, the two sections of the main window's settings, and the sections where
// the full-size and the categories windows keep their placement.
inline constexpr const char* kProgramKey = "Software\\Tarnwick\\Galerion\\1.0";
inline constexpr const char* kPositionSection = "Position";
inline constexpr const char* kOptionsSection = "Options";
inline constexpr const char* kFullSizeSection = "FullSize_Position";
inline constexpr const char* kCategoriesSection = "Categories_Position";

// Reads every setting of "Position" and "Options" into `settings`, step by step; the window
// placement is clamped to the screen. Any error stops the load where it happens and is
// logged; what was read before stays. A settings file that had to be set aside counts as an
// error (logged once the log switches are applied), and every setting takes its default.
void LoadFromRegistry(TSettings& settings, TSettingsStore& store, TProcessingLog& log,
                      int screenWidth, int screenHeight);
// Writes every setting back; false when the file could not be written. Any error stops the
// save and is logged; what was written before it stays written. A settings file read with
// lines that could not be read (kept as a copy before it is written) is logged as an error too.
bool SaveToRegistry(const TSettings& settings, TSettingsStore& store, TProcessingLog& log);

// ".jpg" and/or ".jpeg" from the two extension switches, in this order.
void RebuildPictureExtensions(TSettings& settings);
// The three log switches applied to the enabled levels: Errors, Warnings, then Others.
void ApplyLogSwitches(const TSettings& settings, TProcessingLog& log);

// Selecting a size radio button: a preset writes its numbers into the two edits of its group
// (medium 800x768 and 1024x1024, thumbnail 150x100 and 200x150); Custom keeps them; any
// other index selects none and keeps them too.
void SelectMediumSize(TSettings& settings, int index);
void SelectThumbSize(TSettings& settings, int index);

// The stored forms of single values in a section of the open key, shared with the other
// windows that keep their placement there. An integer is a 32-bit number, or decimal text
// when the value already is text; text that is no integer reads as the default. A boolean is
// the text "0" or "1", read as an integer, non-zero meaning true. A value of another type
// (binary) throws ConvertError; an absent value reads as the default.
int ReadStoredInteger(const TSettingsStore& store, const std::string& section,
                      const std::string& name, int defaultValue);
void WriteStoredInteger(TSettingsStore& store, const std::string& section, const std::string& name,
                        int value);
bool ReadStoredBool(const TSettingsStore& store, const std::string& section,
                    const std::string& name, bool defaultValue);
void WriteStoredBool(TSettingsStore& store, const std::string& section, const std::string& name,
                     bool value);
std::string ReadStoredString(const TSettingsStore& store, const std::string& section,
                             const std::string& name, const std::string& defaultValue);
void WriteStoredString(TSettingsStore& store, const std::string& section, const std::string& name,
                       const std::string& value);

}  // namespace galerion
