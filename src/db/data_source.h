#pragma once
// The database file path inside a connection string, as the Options page shows and edits it.
#include <string>

namespace galerion {

// The text after the first "Data Source" "=" (letter case ignored, white space around the
// equals sign skipped) up to the first ';' or '$'; empty when there is none.
std::string ExtractDataSource(const std::string& connection);
// Every "Data Source = ..." part becomes "Data Source=" + path, the path taken literally.
// Without such a part the connection string comes back unchanged.
std::string ReplaceDataSource(const std::string& connection, const std::string& path);

}  // namespace galerion
