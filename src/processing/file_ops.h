#pragma once
// The few file-system operations of preparation and processing.
#include <string>

namespace galerion {

bool FileExists(const std::string& path);
// Creates the folder with any missing parents; FileError when that fails.
void CreateFolder(const std::string& path);
// Deletes every file below path, then every folder below it, deepest first, then path itself.
// Whatever cannot be removed is left, silently, with its parents.
void RemoveFolderTree(const std::string& path);

}  // namespace galerion
