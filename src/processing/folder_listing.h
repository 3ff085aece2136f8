#pragma once
// One folder's entries that match a file mask, with what they are.
#include <string>
#include <vector>

namespace galerion {

struct TFolderEntry {
    std::string name;
    bool isFolder = false;       // a folder, or a link to one
    bool isRegularFile = false;  // a regular file, or a link to one
    bool isLink = false;
    std::string linkTarget;  // a link's target with every link resolved; empty when dangling
};

// Entries of `folder` (with or without its trailing '/') whose names match `pattern`, without
// "." and "..", in name order ignoring letter case (the order users know from their file
// manager; the raw directory order of Linux file systems is arbitrary). A folder that cannot be
// read lists nothing.
std::vector<TFolderEntry> ListFolder(const std::string& folder, const std::string& pattern);

// True unless the entry is a link whose target does not lie within `resolvedRoot`.
bool StaysWithin(const TFolderEntry& entry, const std::string& resolvedRoot);

}  // namespace galerion
