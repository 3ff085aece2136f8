#pragma once
// Photo categories: their rows in the database, and the marks of the categories window against
// the pictures' Categories lists.
#include "core/host/messages.h"
#include "db/category_check_list.h"

#include <string>
#include <vector>

namespace galerion {

class TPictureItem;
class TPictureList;

// Each database operation is one unit of work with its own query objects: an error is shown
// with its own message and the operation ends (false); missing data-access components end the
// program (exit code 77). True when the operation ran to its end.

// Replaces the entries by one unticked entry per category row, "title (count)". When the rows
// cannot be opened the old entries stay.
bool LoadCategories(const std::string& connection, TCategoryCheckList& list, TMessages& host);
// Stores the item as a new row; on return it carries the new category_guid and category_id.
bool InsertCategory(const std::string& connection, TCategoryItem& item, TMessages& host);
// Stores the four texts into the row with the item's category_guid.
bool UpdateCategory(const std::string& connection, const TCategoryItem& item, TMessages& host);
bool DeleteCategory(const std::string& connection, const TCategoryItem& item, TMessages& host);

// The four mappings do nothing when the list, the pictures or the tile are missing.

// Ticks the entries of the given categories and unticks the others; mixed is not allowed.
void ShowPictureCategories(const std::vector<std::string>* categories, TCategoryCheckList* list);
// Ticked: every picture has the category; mixed: some have it; unticked: none has it.
void ShowAlbumCategories(const TPictureList* pictures, TCategoryCheckList* list);
// The ticked entries become the picture's categories; its tile's caption and hint follow.
void ApplyPictureCategories(TCategoryCheckList* list, TPictureItem* picture);
// Adds the ticked and removes the unticked categories on every picture; mixed ones stay as
// they are. Every tile's caption and hint follow.
void ApplyAlbumCategories(TCategoryCheckList* list, TPictureList* pictures);

}  // namespace galerion
