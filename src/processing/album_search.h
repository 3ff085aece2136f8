#pragma once
// The album search: the main directory and every folder below it, minus the output and working
// folders, sorted without regard to letter case.
#include <string>
#include <vector>

namespace galerion {

class TProcessingLog;
struct TSettings;

// mask is a folder plus a file mask ("/home/u/Photos/*.*"); excluded names are compared in
// lower case. Hidden folders (names starting with a dot) are neither listed nor entered.
// Appends each folder's sub-folders after everything found below them. A link to a
// folder is entered only when its target lies within the mask's folder; any other is skipped
// and logged (level 4) when there is a log.
void RecursiveAlbumSearch(const std::string& mask, std::vector<std::string>& found,
                          const std::vector<std::string>& excludedNames,
                          TProcessingLog* log = nullptr);

// The whole search of the Albums page: the main directory itself, the recursive search, the sort.
std::vector<std::string> SearchAlbums(const std::string& mainDirMask,
                                      const std::vector<std::string>& excludedNames,
                                      TProcessingLog* log = nullptr);

// The names never listed: the three output folders of the settings and "tmp".
std::vector<std::string> ExcludedFolderNames(const TSettings& settings);

}  // namespace galerion
