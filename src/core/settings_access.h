#pragma once
// The settings addressed by their stored value names, as text: for the command line, which
// lists, reads and changes them by name. Names match without regard to letter case.
#include "core/settings.h"

#include <string>
#include <vector>

namespace galerion {

// Every stored setting, "Position" first, in the order they are saved.
std::vector<std::string> SettingNames();

// The setting as text: numbers in decimal, booleans "1" or "0", texts as they are, a JPEG
// quality rounded as it is saved, MediumSize/ThumbSize as 1, 2, 3 or "" when none is chosen.
// An unknown name throws RangeError.
std::string GetSettingText(const TSettings& settings, const std::string& name);

// Sets a setting from text. Booleans take 0, 1, true or false; numbers and size edits a decimal
// integer; an enumerated setting also the name of a value (UpdateMode=update,
// ResizeMode=lanczos); MediumSize/ThumbSize 1, 2 or 3 (or their names), which selects that
// button and applies its preset. A text that does not fit the setting throws ConvertError, a
// number outside what the setting allows (a JPEG quality of 0 or above 100, UpdateMode 4)
// RangeError, an unknown name RangeError; both messages say what is allowed. The picture
// extension list follows ExtensionJpg/ExtensionJpeg; the log switches are the caller's to
// apply.
void SetSettingText(TSettings& settings, const std::string& name, const std::string& value);

// What a setting allows, for people: "1-100", "0 or 1", "0 ask, 1 insert, ...", "text".
std::string AllowedSettingValues(const std::string& name);
// One line saying what the setting does.
std::string SettingMeaning(const std::string& name);
// The name of the setting's current value when it is enumerated ("update"), else "".
std::string SettingValueName(const TSettings& settings, const std::string& name);

}  // namespace galerion
