#pragma once
// The program's own version record: file version numbers, translation key and string values.
#include <cstdint>
#include <string>

namespace galerion::ui {

class TVersionInfo {
public:
    // Reads the record built into the program.
    TVersionInfo();

    bool Valid() const { return valid_; }
    int Major() const { return major_; }
    int Minor() const { return minor_; }
    int Release() const { return release_; }
    int Build() const { return build_; }
    // Language and code page as 8 upper-case hexadecimal digits, language first.
    std::string TranslationKey() const;
    // A string value of the record ("SpecialBuild", "ProductName" ...); empty when missing.
    std::string StringValue(const std::string& name) const;

private:
    bool valid_ = false;
    int major_ = 0, minor_ = 0, release_ = 0, build_ = 0;
    std::uint16_t language_ = 0, codePage_ = 0;
};

// "Galerion welcome you!\r\nVersion: 1.0.1.273; Special build: 0002."
std::string WelcomeText(const TVersionInfo& info);
// "Version: 1.0.1.273.\r\nSpecial build: 0002."
std::string SplashVersionText(const TVersionInfo& info);

}  // namespace galerion::ui
