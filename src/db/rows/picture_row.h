#pragma once
// The picture row: which column holds which picture field, on read and on write.
#include <string>

namespace galerion {

class TPictureItem;
class TQuery;

// The stored fields of the current row of sqlSelectPicture. A stored date of zero keeps the
// picture's own (file) date.
void ReadPictureRow(TQuery& query, TPictureItem& picture);

// The picture's insert and update statements for the album row `albumId`.
std::string InsertPictureStatement(const TPictureItem& picture, int albumId);
std::string UpdatePictureStatement(const TPictureItem& picture, int albumId);

// The column of the first text the picture's row would store with a NUL character in it (the
// database cannot take one); empty when there is none.
std::string PictureColumnWithNul(const TPictureItem& picture);

}  // namespace galerion
