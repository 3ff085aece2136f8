#include "db/categories.h"

#include "core/model.h"
#include "core/numbers.h"
#include "db/query.h"
#include "db/statements.h"
#include "db/unit_of_work.h"
#include "platform/errors.h"
#include "platform/guid.h"

#include <algorithm>
#include <memory>

namespace galerion {
namespace {

std::string EntryText(const TCategoryItem& item) {
    return item.title + " (" + std::to_string(item.usage_count) + ")";
}

std::unique_ptr<TCategoryItem> ItemFromRow(TQuery& rows, int usageCount) {
    auto item = std::make_unique<TCategoryItem>();
    item->usage_count = usageCount;
    item->category_id = rows.FieldAsInteger("category_id");
    item->category_guid = rows.FieldAsText("category_guid");
    item->title = rows.FieldAsText("title");
    item->description = rows.FieldAsText("description");
    item->alt_title = rows.FieldAsText("alt_title");
    item->alt_description = rows.FieldAsText("alt_description");
    return item;
}

int CountCategoryUse(TQuery& counter, int categoryId) {
    counter.SetText(FormatSql(sqlCountCategoryUse, {SqlDigits(std::to_string(categoryId))}));
    counter.Open();
    const int count = counter.FirstFieldAsInteger();
    counter.Close();
    return count;
}

bool Contains(const std::vector<std::string>& ids, const std::string& id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

void ExtendHint(std::string& hint, const std::string& title) {
    hint += hint.empty() ? "Categories:\r\n  " : "\r\n  ";
    hint += title;
}

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string TileCaption(const TPictureItem& picture) {
    return FileNameOf(picture.OriginalFile) + "(" + std::to_string(picture.Categories.size()) + ")";
}

// The title of the first entry whose item has this identifier, if any.
const TCategoryItem* FindById(const TCategoryCheckList& list, const std::string& id) {
    for (int e = 0; e < list.Count(); ++e)
        if (const TCategoryItem* item = list.ItemAt(e);
            item && std::to_string(item->category_id) == id)
            return item;
    return nullptr;
}

void ApplyMarks(const TCategoryCheckList& list, std::vector<std::string>& ids) {
    for (int e = 0; e < list.Count(); ++e) {
        const TCategoryItem* item = list.ItemAt(e);
        if (!item) continue;
        const std::string id = std::to_string(item->category_id);
        if (list.Mark(e) == TCheckMark::Unticked)
            ids.erase(std::remove(ids.begin(), ids.end(), id), ids.end());
        else if (list.Mark(e) == TCheckMark::Ticked && !Contains(ids, id))
            ids.push_back(id);
    }
}

void RefreshAlbumTile(const TCategoryCheckList& list, TPictureItem& picture) {
    TVisualPictureItem* tile = picture.Tile.get();
    if (!tile) return;
    tile->SetCaption(TileCaption(picture));
    // A picture left without categories loses the list of the ones it had.
    std::string hint;
    for (const std::string& id : picture.Categories)
        if (const TCategoryItem* item = FindById(list, id)) ExtendHint(hint, item->title);
    tile->SetHint(hint);
    tile->Repaint();
}

void LoadCategoriesWork(const std::string& connection, TCategoryCheckList& list) {
    const auto rows = TQuery::Create(connection);
    const auto counter = TQuery::Create(connection);
    rows->SetText(sqlSelectCategories);
    rows->Open();
    list.Clear();
    for (; !rows->Eof(); rows->Next()) {
        const int count = CountCategoryUse(*counter, rows->FieldAsInteger("category_id"));
        auto item = ItemFromRow(*rows, count);
        std::string text = EntryText(*item);
        list.Add(std::move(text), std::move(item));
    }
    rows->Close();
}

void InsertCategoryWork(const std::string& connection, TCategoryItem& item) {
    const std::string guid = NewGuidText();
    const auto query = TQuery::Create(connection);
    query->SetText(FormatSql(sqlInsertCategory,
                             {SqlQuote(guid), SqlQuote(item.title), SqlQuote(item.description),
                              SqlQuote(item.alt_title), SqlQuote(item.alt_description)}));
    query->Execute();
    query->SetText(FormatSql(sqlSelectCategoryIdByGuid, {SqlQuote(guid)}));
    query->Open();
    if (query->Eof()) throw DataAccessError("The new category " + guid + " was not stored.");
    item.category_id = query->FieldAsInteger("category_id");
    query->Close();
    item.category_guid = guid;
}

void UpdateCategoryWork(const std::string& connection, const TCategoryItem& item) {
    const auto query = TQuery::Create(connection);
    query->SetText(
        FormatSql(sqlUpdateCategory,
                  {SqlQuote(item.title), SqlQuote(item.description), SqlQuote(item.alt_title),
                   SqlQuote(item.alt_description), SqlQuote(item.category_guid)}));
    query->Execute();
}

void DeleteCategoryWork(const std::string& connection, const TCategoryItem& item) {
    const auto query = TQuery::Create(connection);
    query->SetText(FormatSql(sqlDeleteCategory, {SqlQuote(item.category_guid)}));
    query->Execute();
}

}  // namespace

bool LoadCategories(const std::string& connection, TCategoryCheckList& list, TMessages& host) {
    return RunUnitOfWork(host, [&] { LoadCategoriesWork(connection, list); });
}

bool InsertCategory(const std::string& connection, TCategoryItem& item, TMessages& host) {
    return RunUnitOfWork(host, [&] { InsertCategoryWork(connection, item); });
}

bool UpdateCategory(const std::string& connection, const TCategoryItem& item, TMessages& host) {
    return RunUnitOfWork(host, [&] { UpdateCategoryWork(connection, item); });
}

bool DeleteCategory(const std::string& connection, const TCategoryItem& item, TMessages& host) {
    return RunUnitOfWork(host, [&] { DeleteCategoryWork(connection, item); });
}

void ShowPictureCategories(const std::vector<std::string>* categories, TCategoryCheckList* list) {
    if (!categories || !list) return;
    list->SetAllowMixed(false);
    for (int e = 0; e < list->Count(); ++e)
        if (const TCategoryItem* item = list->ItemAt(e))
            list->SetMark(e, Contains(*categories, std::to_string(item->category_id))
                                 ? TCheckMark::Ticked
                                 : TCheckMark::Unticked);
}

void ShowAlbumCategories(const TPictureList* pictures, TCategoryCheckList* list) {
    if (!pictures || !list) return;
    list->SetAllowMixed(true);
    std::vector<int> tally(static_cast<size_t>(list->Count()), 0);
    for (int p = 0; p < pictures->Count(); ++p) {
        const TPictureItem* picture = pictures->PictureAt(p);
        if (!picture) continue;
        for (int e = 0; e < list->Count(); ++e) {
            const TCategoryItem* item = list->ItemAt(e);
            if (!item) continue;
            // One count per picture, so a doubled identifier cannot pass for another picture.
            const bool has = std::any_of(
                picture->Categories.begin(), picture->Categories.end(), [&](const std::string& id) {
                    int value = 0;
                    return TryStrToInt(id, value) && value == item->category_id;
                });
            if (has) ++tally[static_cast<size_t>(e)];
        }
    }
    for (int e = 0; e < list->Count(); ++e) {
        const int count = tally[static_cast<size_t>(e)];
        list->SetMark(e, count == 0                   ? TCheckMark::Unticked
                         : count == pictures->Count() ? TCheckMark::Ticked
                                                      : TCheckMark::Mixed);
    }
    list->SetAllowMixed(false);
}

void ApplyPictureCategories(TCategoryCheckList* list, TPictureItem* picture) {
    if (!list || !picture || !picture->Tile) return;
    picture->Categories.clear();
    std::string hint;
    for (int e = 0; e < list->Count(); ++e) {
        const TCategoryItem* item = list->ItemAt(e);
        if (!item || !list->Ticked(e)) continue;
        const std::string id = std::to_string(item->category_id);
        if (Contains(picture->Categories, id)) continue;
        picture->Categories.push_back(id);
        ExtendHint(hint, item->title);
    }
    picture->Tile->SetHint(hint);
    picture->Tile->SetCaption(TileCaption(*picture));
    picture->Tile->Repaint();
}

void ApplyAlbumCategories(TCategoryCheckList* list, TPictureList* pictures) {
    if (!list || !pictures) return;
    for (int p = 0; p < pictures->Count(); ++p)
        if (TPictureItem* picture = pictures->PictureAt(p)) ApplyMarks(*list, picture->Categories);
    for (int p = 0; p < pictures->Count(); ++p)
        if (TPictureItem* picture = pictures->PictureAt(p)) RefreshAlbumTile(*list, *picture);
}

}  // namespace galerion
