#pragma once
// The decision for an album whose folder path is already stored: Insert, Update or Cancel.
#include <string>

namespace galerion {

class TQuery;
class TProcessingLog;
class TExistingAlbumQuestion;
struct TSettings;

// Values as the question dialog's modal results; None when no decision was made.
enum class TAlbumDecision { None = 1, Cancel = 2, Update = 4, Insert = 5 };

struct TExistingAlbumDecision {
    bool stored = false;
    TAlbumDecision decision = TAlbumDecision::None;
};

// The text of the question: "Album with "<path>" original directory name was found in databse."
std::string AlbumFoundMessage(const std::string& folder);

// Counts the album's rows on `query`, asks the user when UpdateMode is 0 ("ask") and the album
// is stored; a ticked "Do not ask again" changes settings.UpdateMode.
TExistingAlbumDecision DecideExistingAlbum(const std::string& folder, TQuery& query,
                                           TSettings& settings, TExistingAlbumQuestion& question,
                                           TProcessingLog& log);

}  // namespace galerion
