#pragma once
// File masks with the Windows matching rules: '*' any run, '?' any one character, letter case
// ignored, and "*.*" matching every name (also one without a period).
#include <string>
#include <string_view>

namespace galerion {

bool MatchesFileMask(std::string_view name, std::string_view mask);

// "C:/Photos/*.*" -> folder "C:/Photos/" (with its separator) and name part "*.*".
struct TSplitMask {
    std::string folder;
    std::string pattern;
};
TSplitMask SplitMask(const std::string& mask);

}  // namespace galerion
