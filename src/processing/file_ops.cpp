#include "processing/file_ops.h"

#include "platform/errors.h"

#include <filesystem>
#include <vector>

namespace galerion {
namespace fs = std::filesystem;

bool FileExists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

void CreateFolder(const std::string& path) {
    std::error_code ec;
    fs::create_directories(path, ec);
    if (ec || !fs::is_directory(path))
        throw FileError("Unable to create directory " + path + ": " +
                        (ec ? ec.message() : std::string("not a folder")));
}

void RemoveFolderTree(const std::string& path) {
    std::error_code ec;
    if (!fs::is_directory(fs::symlink_status(path, ec))) return;
    std::vector<fs::path> folders;
    // Links are removed as entries; the walk never follows them out of the tree.
    for (auto it = fs::recursive_directory_iterator(path, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        std::error_code entryError;
        if (it->is_directory(entryError) && !it->is_symlink(entryError))
            folders.push_back(it->path());
        else
            fs::remove(it->path(), entryError);
    }
    // A folder is listed before its sub-folders: remove in reverse, deepest first.
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
        std::error_code removeError;
        fs::remove(*folder, removeError);
    }
    fs::remove(path, ec);
}

}  // namespace galerion
