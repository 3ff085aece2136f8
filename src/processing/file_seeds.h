#pragma once
// What a photo file says of itself seeds the first look of a picture the database does not know
// yet: its turn, the date it was taken, its titles and its categories. A stored row and the
// user's edits always win; each kind of seed has a setting that switches it off.
#include "platform/date_time.h"

#include <string>
#include <vector>

namespace galerion {

class TAlbumItem;
struct TWizardContext;

// What one photo file said, as far as the settings ask.
struct TFileFacts {
    int orientation = 1;  // orientation code
    TDateTime taken = 0;  // 0: the file gave no date
    std::string title, altTitle;
    std::vector<std::string> keywords;
};

// The facts of every picture of the album, in list order. A file whose metadata cannot be read
// counts as one that has none, with a log line naming it.
std::vector<TFileFacts> ReadFileFacts(TWizardContext& context, const TAlbumItem& album);

// The date of the album's first photo: when it was taken, else its modification time; 0 for
// an album without pictures or an unreadable time.
TDateTime FirstPictureDate(const TAlbumItem& album, const std::vector<TFileFacts>& facts);

// Gives the facts to the pictures without a stored row: orientation, date, empty titles and
// the categories their keywords name (created first where the settings say so).
void SeedNewPictures(TWizardContext& context, TAlbumItem& album,
                     const std::vector<TFileFacts>& facts);

}  // namespace galerion
