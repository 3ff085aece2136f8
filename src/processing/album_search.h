#pragma once
// The album search: the main directory and every folder below it, minus the output and working
// folders, sorted without regard to letter case.
#include <string>
#include <vector>

namespace galerion {

struct TSettings;

// mask is a folder plus a file mask ("/home/u/Photos/*.*"); excluded names are compared in
// lower case. Appends each folder's sub-folders after everything found below them.
void RecursiveAlbumSearch(const std::string& mask, std::vector<std::string>& found,
                          const std::vector<std::string>& excludedNames);

// The whole search of the Albums page: the main directory itself, the recursive search, the sort.
std::vector<std::string> SearchAlbums(const std::string& mainDirMask,
                                      const std::vector<std::string>& excludedNames);

// The names never listed: the three output folders of the settings and "tmp".
std::vector<std::string> ExcludedFolderNames(const TSettings& settings);

}  // namespace galerion
