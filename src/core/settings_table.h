#pragma once
// The one list of stored settings: name, section, how the record holds it (and so its stored
// form), default, the record's field, the values it allows, its names for enumerated values
// and one line of meaning. Loading, saving, the record's defaults and access by name all walk
// this table. "Options" rows stand in the order of the load and save steps.
#include "core/settings.h"

#include <climits>
#include <span>
#include <string>
#include <variant>

namespace galerion {

class TProcessingLog;

enum class TSettingSection { Position, Options };

// How the record holds a setting.
enum class TSettingKind {
    Integer,      // a number
    Boolean,      // a check box
    Quality,      // a spin edit (saved rounded half to even)
    IntegerText,  // an edit holding a decimal integer
    Text,         // an edit or a string field
    SizeChoice,   // a radio group: index 0-2 or kSizeNone, stored as 1-3
};

enum class TStoredForm { Integer, Boolean, String };

using TSettingField = std::variant<int TSettings::*, bool TSettings::*, double TSettings::*,
                                   std::string TSettings::*>;

struct TSettingInfo {
    const char* name;
    TSettingSection section;
    TSettingKind kind;
    TSettingField field;
    int defaultNumber = 0;                     // every kind but Text; a size choice as stored (1-3)
    const char* defaultText = "";              // Text
    std::string (*systemDefault)() = nullptr;  // Text whose default asks the system
    int min = INT_MIN;                         // the values a number may take
    int max = INT_MAX;
    std::span<const char* const> valueNames = {};  // names of min, min + 1, ... when enumerated
    const char* meaning = "";
    // Derived state brought up to date once this value has been read.
    void (*afterLoad)(TSettings&, TProcessingLog&) = nullptr;
    void (*select)(TSettings&, int index) = nullptr;  // SizeChoice: selects a radio button
};

TStoredForm StoredForm(TSettingKind kind);

// The record's field of a row, as the row's type.
template <typename T>
T& SettingField(TSettings& settings, const TSettingInfo& info) {
    return settings.*std::get<T TSettings::*>(info.field);
}
template <typename T>
const T& SettingField(const TSettings& settings, const TSettingInfo& info) {
    return settings.*std::get<T TSettings::*>(info.field);
}

// Every stored setting, "Position" first (in the order its values are saved), then "Options".
std::span<const TSettingInfo> SettingTable();

// The row of a name, without regard to letter case; RangeError for an unknown name.
const TSettingInfo& FindSetting(const std::string& name);

}  // namespace galerion
