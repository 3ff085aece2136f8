#include "core/settings_access.h"

#include "core/numbers.h"
#include "core/settings_persistence.h"
#include "platform/errors.h"
#include "platform/text.h"

#include <climits>
#include <variant>

namespace galerion {
namespace {

enum class TKind { Integer, Boolean, Quality, IntegerText, Text, SizeChoice };

using TField = std::variant<int TSettings::*, bool TSettings::*, double TSettings::*,
                            std::string TSettings::*>;

struct TSettingInfo {
    const char* name;
    TKind kind;
    TField field;
    int min = INT_MIN;  // Integer and Quality
    int max = INT_MAX;
    void (*select)(TSettings&, int) = nullptr;  // SizeChoice
};

const TSettingInfo kSettings[] = {
    {"Restore", TKind::Boolean, &TSettings::Restore},
    {"Top", TKind::Integer, &TSettings::Top},
    {"Left", TKind::Integer, &TSettings::Left},
    {"Width", TKind::Integer, &TSettings::Width},
    {"Heigth", TKind::Integer, &TSettings::Heigth},
    {"SplitAlbums", TKind::Integer, &TSettings::SplitAlbums},
    {"SplitPictures", TKind::Integer, &TSettings::SplitPictures},
    {"ProcessThumb", TKind::Boolean, &TSettings::ProcessThumb},
    {"ProcessMedium", TKind::Boolean, &TSettings::ProcessMedium},
    {"ProcessLarge", TKind::Boolean, &TSettings::ProcessLarge},
    {"DB", TKind::Text, &TSettings::DB},
    {"JpegCompressionLarge", TKind::Quality, &TSettings::JpegCompressionLarge, 0, 100},
    {"JpegCompressionMedium", TKind::Quality, &TSettings::JpegCompressionMedium, 0, 100},
    {"JpegCompressionThumb", TKind::Quality, &TSettings::JpegCompressionThumb, 0, 100},
    {"MediumWidth", TKind::IntegerText, &TSettings::MediumWidth},
    {"MediumHeight", TKind::IntegerText, &TSettings::MediumHeight},
    {"ThumbWidth", TKind::IntegerText, &TSettings::ThumbWidth},
    {"ThumbHeight", TKind::IntegerText, &TSettings::ThumbHeight},
    {"LargeFolder", TKind::Text, &TSettings::LargeFolder},
    {"LargePrefix", TKind::Text, &TSettings::LargePrefix},
    {"MediumFolder", TKind::Text, &TSettings::MediumFolder},
    {"MediumPrefix", TKind::Text, &TSettings::MediumPrefix},
    {"ThumbFolder", TKind::Text, &TSettings::ThumbFolder},
    {"ThumbPrefix", TKind::Text, &TSettings::ThumbPrefix},
    {"RecreateTemp", TKind::Boolean, &TSettings::RecreateTemp},
    {"DeleteTemp", TKind::Boolean, &TSettings::DeleteTemp},
    {"RecreateThumb", TKind::Boolean, &TSettings::RecreateThumb},
    {"RecreateMedium", TKind::Boolean, &TSettings::RecreateMedium},
    {"RecreateLarge", TKind::Boolean, &TSettings::RecreateLarge},
    {"OutputFilenames", TKind::Integer, &TSettings::OutputFilenames, 0, 2},
    {"UpdateMode", TKind::Integer, &TSettings::UpdateMode, 0, 3},
    {"Upscale", TKind::Boolean, &TSettings::Upscale},
    {"Scale", TKind::Boolean, &TSettings::Scale},
    {"ScaleChoice", TKind::Boolean, &TSettings::ScaleChoice},
    {"ResizeMode", TKind::Integer, &TSettings::ResizeMode, 0, 4},
    {"ExtensionJpg", TKind::Boolean, &TSettings::ExtensionJpg},
    {"ExtensionJpeg", TKind::Boolean, &TSettings::ExtensionJpeg},
    {"LogLevelErrors", TKind::Boolean, &TSettings::LogLevelErrors},
    {"LogLevelWarnings", TKind::Boolean, &TSettings::LogLevelWarnings},
    {"LogLevelOthers", TKind::Boolean, &TSettings::LogLevelOthers},
    {"MediumSize", TKind::SizeChoice, &TSettings::MediumSize, 1, 3, &SelectMediumSize},
    {"ThumbSize", TKind::SizeChoice, &TSettings::ThumbSize, 1, 3, &SelectThumbSize},
    {"ShowWelcome", TKind::Boolean, &TSettings::ShowWelcome},
    {"ShowSplash", TKind::Boolean, &TSettings::ShowSplash},
    {"MainDir", TKind::Text, &TSettings::MainDir},
};

const TSettingInfo& Find(const std::string& name) {
    const std::string wanted = AsciiLower(name);
    for (const TSettingInfo& info : kSettings)
        if (AsciiLower(info.name) == wanted) return info;
    throw RangeError("Unknown setting '" + name + "'");
}

template <typename T>
T& Field(TSettings& settings, const TSettingInfo& info) {
    return settings.*std::get<T TSettings::*>(info.field);
}

template <typename T>
const T& Field(const TSettings& settings, const TSettingInfo& info) {
    return settings.*std::get<T TSettings::*>(info.field);
}

int ParseInteger(const TSettingInfo& info, const std::string& value) {
    int number = 0;
    if (!TryStrToInt(value, number))
        throw ConvertError("'" + value + "' is not a valid integer value for " + info.name);
    if (number < info.min || number > info.max)
        throw RangeError(std::string(info.name) + " must lie between " + std::to_string(info.min) +
                         " and " + std::to_string(info.max) + ", not " + std::to_string(number));
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
    for (const TSettingInfo& info : kSettings) names.emplace_back(info.name);
    return names;
}

std::string GetSettingText(const TSettings& settings, const std::string& name) {
    const TSettingInfo& info = Find(name);
    switch (info.kind) {
        case TKind::Integer: return std::to_string(Field<int>(settings, info));
        case TKind::Boolean: return Field<bool>(settings, info) ? "1" : "0";
        case TKind::Quality: return std::to_string(Round(Field<double>(settings, info)));
        case TKind::IntegerText:
        case TKind::Text: return Field<std::string>(settings, info);
        case TKind::SizeChoice: {
            const int index = Field<int>(settings, info);
            return index >= kSizePreset1 && index <= kSizeCustom ? std::to_string(index + 1) : "";
        }
    }
    return {};
}

void SetSettingText(TSettings& settings, const std::string& name, const std::string& value) {
    const TSettingInfo& info = Find(name);
    switch (info.kind) {
        case TKind::Integer: Field<int>(settings, info) = ParseInteger(info, value); break;
        case TKind::Boolean: Field<bool>(settings, info) = ParseBoolean(info, value); break;
        case TKind::Quality: Field<double>(settings, info) = ParseInteger(info, value); break;
        case TKind::IntegerText:
            Field<std::string>(settings, info) = std::to_string(ParseInteger(info, value));
            break;
        case TKind::Text: Field<std::string>(settings, info) = value; break;
        case TKind::SizeChoice: info.select(settings, ParseInteger(info, value) - 1); break;
    }
    RebuildPictureExtensions(settings);
}

}  // namespace galerion
