#include "ui/version_info.h"

#include "ui/version_constants.h"

#include <cstdio>
#include <map>

namespace galerion::ui {
namespace {

const std::map<std::string, std::string>& StringTable() {
    static const std::map<std::string, std::string> table = {
        {"CompanyName", "Tarnwick"},
        {"FileDescription", "Galerion Tool"},
        {"FileVersion", "1.0.1.273"},
        {"InternalName", "Galerion"},
        {"OriginalFilename", "Galerion.exe"},
        {"PrivateBuild", version_record::kSpecialBuild},
        {"ProductName", "Galerion"},
        {"ProductVersion", "1.0.0.0"},
        {"SpecialBuild", version_record::kSpecialBuild},
    };
    return table;
}

std::string Format(const char* format, const TVersionInfo& info) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, format, info.Major(), info.Minor(), info.Release(),
                  info.Build(), info.StringValue("SpecialBuild").c_str());
    return buffer;
}

}  // namespace

TVersionInfo::TVersionInfo()
    : valid_(true),
      major_(version_record::kFileMajor),
      minor_(version_record::kFileMinor),
      release_(version_record::kFileRelease),
      build_(version_record::kFileBuild),
      language_(version_record::kLanguage),
      codePage_(version_record::kCodePage) {}

std::string TVersionInfo::TranslationKey() const {
    char key[9];
    std::snprintf(key, sizeof key, "%04X%04X", unsigned{language_}, unsigned{codePage_});
    return key;
}

std::string TVersionInfo::StringValue(const std::string& name) const {
    if (!valid_) return {};
    const auto it = StringTable().find(name);
    return it == StringTable().end() ? std::string() : it->second;
}

std::string WelcomeText(const TVersionInfo& info) {
    return "Galerion welcome you!\r\n" + Format("Version: %d.%d.%d.%d; Special build: %s.", info);
}

std::string SplashVersionText(const TVersionInfo& info) {
    return Format("Version: %d.%d.%d.%d.\r\nSpecial build: %s.", info);
}

}  // namespace galerion::ui
