#pragma once
// "Pictures >" without the drawing: the album list from the selected folders and the check
// that the database answers.
#include <string>
#include <vector>

namespace galerion {

class TAlbumList;
class TMessages;

inline constexpr const char* kNoAlbumSelected =
    "Please select one or more albums (folders) for processing";
inline constexpr const char* kDatabaseCheckFailed =
    "Database file not found or structure is invalid. DBMS message:\r\n";

// Clears the list and adds one album per folder, in order. False (after the warning) when
// nothing was selected.
bool BuildAlbumList(TAlbumList& albums, const std::vector<std::string>& selectedFolders,
                    TMessages& host);

// Runs "SELECT COUNT(*) FROM album"; false after the error box when the database does not answer.
bool CheckDatabase(const std::string& connection, TMessages& host);

}  // namespace galerion
