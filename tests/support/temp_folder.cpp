#include "support/temp_folder.h"

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>

namespace galerion::test {

TTempFolder::TTempFolder(const std::string& prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed for " + pattern);
    path_ = pattern;
}

TTempFolder::~TTempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace galerion::test
