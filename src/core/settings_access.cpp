#include "core/settings_access.h"

#include "core/numbers.h"
#include "core/settings_persistence.h"
#include "core/settings_table.h"
#include "platform/errors.h"
#include "platform/text.h"

#include <climits>

namespace galerion {
namespace {

std::string Allowed(const TSettingInfo& info) {
    switch (info.kind) {
        case TSettingKind::Boolean: return "0 or 1 (false or true)";
        case TSettingKind::Text: return "text";
        default: break;
    }
    if (!info.valueNames.empty()) {
        std::string list;
        for (size_t i = 0; i < info.valueNames.size(); ++i)
            list += (i ? ", " : "") + std::to_string(info.min + static_cast<int>(i)) + " " +
                    info.valueNames[i];
        return list;
    }
    if (info.min == INT_MIN && info.max == INT_MAX) return "a whole number";
    if (info.max == INT_MAX) return "a whole number from " + std::to_string(info.min);
    return std::to_string(info.min) + "-" + std::to_string(info.max);
}

// A decimal integer within the setting's range, or the name of an enumerated value.
int ParseInteger(const TSettingInfo& info, const std::string& value) {
    int number = 0;
    if (!TryStrToInt(value, number)) {
        const std::string word = AsciiLower(std::string(Trim(value)));
        for (size_t i = 0; i < info.valueNames.size(); ++i)
            if (word == info.valueNames[i]) return info.min + static_cast<int>(i);
        throw ConvertError("'" + value + "' is not a valid value for " + info.name +
                           " (allowed: " + Allowed(info) + ")");
    }
    if (number < info.min || number > info.max)
        throw RangeError(std::string(info.name) + " takes " + Allowed(info) + ", not " +
                         std::to_string(number));
    return number;
}

bool ParseBoolean(const TSettingInfo& info, const std::string& value) {
    const std::string word = AsciiLower(std::string(Trim(value)));
    if (word == "1" || word == "true") return true;
    if (word == "0" || word == "false") return false;
    throw ConvertError("'" + value + "' is not a valid boolean value for " + info.name +
                       " (0, 1, true or false)");
}

}  // namespace

std::vector<std::string> SettingNames() {
    std::vector<std::string> names;
    for (const TSettingInfo& info : SettingTable()) names.emplace_back(info.name);
    return names;
}

std::string GetSettingText(const TSettings& settings, const std::string& name) {
    const TSettingInfo& info = FindSetting(name);
    switch (info.kind) {
        case TSettingKind::Integer: return std::to_string(SettingField<int>(settings, info));
        case TSettingKind::Boolean: return SettingField<bool>(settings, info) ? "1" : "0";
        case TSettingKind::Quality:
            return std::to_string(Round(SettingField<double>(settings, info)));
        case TSettingKind::IntegerText:
        case TSettingKind::Text: return SettingField<std::string>(settings, info);
        case TSettingKind::SizeChoice: {
            const int index = SettingField<int>(settings, info);
            return index >= kSizePreset1 && index <= kSizeCustom ? std::to_string(index + 1) : "";
        }
    }
    return {};
}

void SetSettingText(TSettings& settings, const std::string& name, const std::string& value) {
    const TSettingInfo& info = FindSetting(name);
    switch (info.kind) {
        case TSettingKind::Integer:
            SettingField<int>(settings, info) = ParseInteger(info, value);
            break;
        case TSettingKind::Boolean:
            SettingField<bool>(settings, info) = ParseBoolean(info, value);
            break;
        case TSettingKind::Quality:
            SettingField<double>(settings, info) = ParseInteger(info, value);
            break;
        case TSettingKind::IntegerText:
            SettingField<std::string>(settings, info) = std::to_string(ParseInteger(info, value));
            break;
        case TSettingKind::Text: SettingField<std::string>(settings, info) = value; break;
        case TSettingKind::SizeChoice: info.select(settings, ParseInteger(info, value) - 1); break;
    }
    RebuildPictureExtensions(settings);
}

std::string AllowedSettingValues(const std::string& name) { return Allowed(FindSetting(name)); }

std::string SettingMeaning(const std::string& name) { return FindSetting(name).meaning; }

std::string SettingValueName(const TSettings& settings, const std::string& name) {
    const TSettingInfo& info = FindSetting(name);
    if (info.valueNames.empty()) return {};
    int number = 0;
    if (!TryStrToInt(GetSettingText(settings, name), number)) return {};
    const int index = number - info.min;
    if (index < 0 || index >= static_cast<int>(info.valueNames.size())) return {};
    return info.valueNames[static_cast<size_t>(index)];
}

}  // namespace galerion
