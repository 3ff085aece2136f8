#include "platform/file_mask.h"

namespace galerion {
namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool Glob(std::string_view name, std::string_view mask) {
    size_t n = 0, m = 0, starMask = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || LowerAscii(mask[m]) == LowerAscii(name[n]))) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

}  // namespace

bool MatchesFileMask(std::string_view name, std::string_view mask) {
    if (mask == "*" || mask == "*.*") return true;
    // Windows: a mask ending in ".*" also matches the name without any extension.
    if (mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*" &&
        name.find('.') == std::string_view::npos && Glob(name, mask.substr(0, mask.size() - 2)))
        return true;
    // "name." matches a name that has no extension.
    if (!mask.empty() && mask.back() == '.' && name.find('.') == std::string_view::npos)
        return Glob(name, mask.substr(0, mask.size() - 1));
    return Glob(name, mask);
}

TSplitMask SplitMask(const std::string& mask) {
    const size_t slash = mask.find_last_of('/');
    if (slash == std::string::npos) return {"", mask};
    return {mask.substr(0, slash + 1), mask.substr(slash + 1)};
}

}  // namespace galerion
