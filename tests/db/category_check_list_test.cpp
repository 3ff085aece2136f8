// The check-list marks against the pictures' Categories lists and the tiles' texts.
#include "core/model.h"
#include "db/categories.h"

#include <gtest/gtest.h>

namespace galerion {
namespace {

struct TRecordingTile : TVisualPictureItem {
    void SetCaption(const std::string& c) override { caption = c; }
    std::string Caption() const override { return caption; }
    void SetHint(const std::string& h) override { hint = h; }
    std::string Hint() const override { return hint; }
    void ApplyPictureState() override {}
    void Repaint() override { ++repaints; }
    std::string caption, hint = "Double-click open full size image";
    int repaints = 0;
};

// Categories 2 "two", 5 "five", 7 "seven" in this list order.
void AddCategories(TCategoryCheckList& list) {
    for (const auto& [id, title] :
         std::vector<std::pair<int, std::string>>{{2, "two"}, {5, "five"}, {7, "seven"}}) {
        auto item = std::make_unique<TCategoryItem>();
        item->category_id = id;
        item->title = title;
        list.Add(title + " (0)", std::move(item));
    }
}

TPictureItem& AddPicture(TPictureList& pictures, const std::string& file,
                         std::vector<std::string> categories) {
    const int index = pictures.Add(file, std::make_unique<TPictureItem>(&pictures));
    TPictureItem& picture = *pictures.PictureAt(index);
    picture.OriginalFile = file;
    picture.Categories = std::move(categories);
    picture.Tile = std::make_unique<TRecordingTile>();
    return picture;
}

const TRecordingTile& TileOf(const TPictureItem& picture) {
    return static_cast<const TRecordingTile&>(*picture.Tile);
}

std::vector<TCheckMark> Marks(const TCategoryCheckList& list) {
    std::vector<TCheckMark> marks;
    for (int i = 0; i < list.Count(); ++i) marks.push_back(list.Mark(i));
    return marks;
}

using M = TCheckMark;

TEST(CategoryCheckList, ClicksCycleThroughTheMarks) {
    TCategoryCheckList list;
    list.Add("a", nullptr);
    list.Click(0);
    EXPECT_EQ(list.Mark(0), M::Ticked);
    list.Click(0);
    EXPECT_EQ(list.Mark(0), M::Unticked);
    list.SetMark(0, M::Mixed);
    list.Click(0);
    EXPECT_EQ(list.Mark(0), M::Ticked);
    list.SetAllowMixed(true);
    list.Click(0);
    EXPECT_EQ(list.Mark(0), M::Mixed);
    list.Click(0);
    EXPECT_EQ(list.Mark(0), M::Unticked);
    EXPECT_EQ(list.ItemAt(0), nullptr);
    EXPECT_EQ(list.ItemAt(3), nullptr);
    EXPECT_THROW(list.Mark(3), std::out_of_range);
}

TEST(ShowPictureCategories, TicksExactIdentifierTexts) {
    TCategoryCheckList list;
    AddCategories(list);
    list.Add("no item", nullptr, M::Mixed);
    list.SetAllowMixed(true);
    const std::vector<std::string> categories = {"5", "07"};
    ShowPictureCategories(&categories, &list);
    EXPECT_EQ(Marks(list), (std::vector<M>{M::Unticked, M::Ticked, M::Unticked, M::Mixed}));
    EXPECT_FALSE(list.AllowMixed());
    ShowPictureCategories(nullptr, &list);
    ShowPictureCategories(&categories, nullptr);
}

TEST(ShowAlbumCategories, AllSomeOrNone) {
    TCategoryCheckList list;
    AddCategories(list);
    TPictureList pictures;
    AddPicture(pictures, "/p/a.jpg", {"5", "2"});
    AddPicture(pictures, "/p/b.jpg", {"05"});  // the integer value counts here
    AddPicture(pictures, "/p/c.jpg", {"5", "x"});
    AddPicture(pictures, "/p/d.jpg", {"5"});
    AddPicture(pictures, "/p/e.jpg", {"5", "2"});
    ShowAlbumCategories(&pictures, &list);
    EXPECT_EQ(Marks(list), (std::vector<M>{M::Mixed, M::Ticked, M::Unticked}));
    EXPECT_FALSE(list.AllowMixed());
    list.Click(0);
    EXPECT_EQ(list.Mark(0), M::Ticked);
}

TEST(ShowAlbumCategories, ADoubledIdentifierCountsOnce) {
    TCategoryCheckList list;
    AddCategories(list);
    TPictureList pictures;
    AddPicture(pictures, "/p/a.jpg", {"7", "7"});
    AddPicture(pictures, "/p/b.jpg", {});
    ShowAlbumCategories(&pictures, &list);
    EXPECT_EQ(list.Mark(2), M::Mixed);

    TPictureList empty;
    ShowAlbumCategories(&empty, &list);
    EXPECT_EQ(Marks(list), (std::vector<M>{M::Unticked, M::Unticked, M::Unticked}));
}

TEST(ApplyPictureCategories, TickedEntriesInListOrder) {
    TCategoryCheckList list;
    AddCategories(list);
    list.SetMark(0, M::Ticked);
    list.SetMark(1, M::Mixed);  // not ticked
    list.SetMark(2, M::Ticked);
    TPictureList pictures;
    TPictureItem& picture = AddPicture(pictures, "/photos/Trip/IMG_0042.jpg", {"5", "9"});
    ApplyPictureCategories(&list, &picture);
    EXPECT_EQ(picture.Categories, (std::vector<std::string>{"2", "7"}));
    EXPECT_EQ(TileOf(picture).hint, "Categories:\r\n  two\r\n  seven");
    EXPECT_EQ(TileOf(picture).caption, "IMG_0042.jpg(2)");
    EXPECT_EQ(TileOf(picture).repaints, 1);

    for (int i = 0; i < list.Count(); ++i) list.SetMark(i, M::Unticked);
    ApplyPictureCategories(&list, &picture);
    EXPECT_TRUE(picture.Categories.empty());
    EXPECT_EQ(TileOf(picture).hint, "");
    EXPECT_EQ(TileOf(picture).caption, "IMG_0042.jpg(0)");
}

TEST(ApplyPictureCategories, MissingPartsDoNothing) {
    TCategoryCheckList list;
    AddCategories(list);
    list.SetMark(0, M::Ticked);
    TPictureList pictures;
    TPictureItem& picture = AddPicture(pictures, "/p/a.jpg", {"5"});
    picture.Tile.reset();
    ApplyPictureCategories(&list, &picture);
    EXPECT_EQ(picture.Categories, std::vector<std::string>{"5"});
    ApplyPictureCategories(nullptr, &picture);
    ApplyPictureCategories(&list, nullptr);
    ApplyAlbumCategories(nullptr, &pictures);
    ApplyAlbumCategories(&list, nullptr);
    EXPECT_EQ(picture.Categories, std::vector<std::string>{"5"});
}

TEST(ApplyAlbumCategories, AddsTickedRemovesUntickedKeepsMixed) {
    TCategoryCheckList list;
    AddCategories(list);
    list.SetMark(0, M::Unticked);  // 2 removed
    list.SetMark(1, M::Mixed);     // 5 unchanged
    list.SetMark(2, M::Ticked);    // 7 added where missing
    TPictureList pictures;
    TPictureItem& a = AddPicture(pictures, "/p/a.jpg", {"5", "2"});
    TPictureItem& b = AddPicture(pictures, "/p/b.jpg", {"7", "2", "9"});
    TPictureItem& c = AddPicture(pictures, "/p/c.jpg", {});
    ApplyAlbumCategories(&list, &pictures);
    EXPECT_EQ(a.Categories, (std::vector<std::string>{"5", "7"}));
    EXPECT_EQ(b.Categories, (std::vector<std::string>{"7", "9"}));
    EXPECT_EQ(c.Categories, (std::vector<std::string>{"7"}));
    // Hints follow each picture's own order; an identifier without entry adds nothing.
    EXPECT_EQ(TileOf(a).hint, "Categories:\r\n  five\r\n  seven");
    EXPECT_EQ(TileOf(b).hint, "Categories:\r\n  seven");
    EXPECT_EQ(TileOf(a).caption, "a.jpg(2)");
    EXPECT_EQ(TileOf(b).caption, "b.jpg(2)");
    EXPECT_EQ(TileOf(c).caption, "c.jpg(1)");
    EXPECT_EQ(TileOf(c).repaints, 1);
}

TEST(ApplyAlbumCategories, HintOfPictureWithCategoriesFiveThenTwo) {
    TCategoryCheckList list;
    AddCategories(list);
    list.SetMark(0, M::Mixed);
    list.SetMark(1, M::Mixed);
    list.SetMark(2, M::Unticked);
    TPictureList pictures;
    TPictureItem& a = AddPicture(pictures, "/p/a.jpg", {"5", "2"});
    TPictureItem& b = AddPicture(pictures, "/p/b.jpg", {"7"});
    ApplyAlbumCategories(&list, &pictures);
    EXPECT_EQ(TileOf(a).hint, "Categories:\r\n  five\r\n  two");
    // A picture left without categories no longer lists the removed one.
    EXPECT_TRUE(b.Categories.empty());
    EXPECT_EQ(TileOf(b).hint, "");
    EXPECT_EQ(TileOf(b).caption, "b.jpg(0)");
}

}  // namespace
}  // namespace galerion
