#include "core/model.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace galerion {
namespace {

// A tile that reports its own destruction, to check who frees it.
struct CountingTile : TVisualPictureItem {
    explicit CountingTile(int* alive) : alive_(alive) { ++*alive_; }
    ~CountingTile() override { --*alive_; }
    void SetCaption(const std::string& c) override { caption_ = c; }
    std::string Caption() const override { return caption_; }
    void SetHint(const std::string& h) override { hint_ = h; }
    std::string Hint() const override { return hint_; }
    void ApplyPictureState() override {}
    int* alive_;
    std::string caption_, hint_;
};

void AddPictures(TAlbumItem& album, int count) {
    for (int i = 0; i < count; ++i) {
        const int index = album.PictureItems.Add("/p/" + std::to_string(i) + ".jpg");
        album.PictureItems.SetObject(index, std::make_unique<TPictureItem>(&album.PictureItems));
    }
}

TEST(Model, OutOfRangeLookupsYieldNone) {
    TAlbumList albums;
    EXPECT_EQ(albums.AlbumAt(-1), nullptr);
    EXPECT_EQ(albums.AlbumAt(0), nullptr);
    EXPECT_FALSE(albums.AnyPrepared());
    const int index = albums.AddAlbum("/p/Trip");
    TAlbumItem* album = albums.AlbumAt(index);
    ASSERT_NE(album, nullptr);
    EXPECT_EQ(albums.Text(index), "/p/Trip");
    AddPictures(*album, 2);
    EXPECT_EQ(album->PictureAt(2), nullptr);
    EXPECT_EQ(album->TileAt(0), nullptr);
    EXPECT_EQ(album->TileAt(5), nullptr);
    EXPECT_EQ(albums.PreparedCount(), 0);
    album->Prepared = true;
    EXPECT_TRUE(albums.AnyPrepared());
    EXPECT_EQ(albums.PreparedCount(), 1);
    for (const int bad : {-1, 1, 100}) EXPECT_THROW(albums.Delete(bad), std::out_of_range) << bad;
    EXPECT_EQ(albums.Count(), 1);
}

TEST(Model, InitialValues) {
    TAlbumItem album;
    EXPECT_EQ(album.AlbumId, -1);
    EXPECT_EQ(album.FacePictureId, -1);
    EXPECT_EQ(album.LongName, "<long name>");
    EXPECT_EQ(album.Description, "<description>");
    EXPECT_EQ(album.AltLongName, "<alternative long name>");
    EXPECT_EQ(album.AltDescription, "<alternative description>");
    TPictureItem picture(&album.PictureItems);
    EXPECT_EQ(picture.Owner, &album.PictureItems);
    EXPECT_EQ(picture.Orientation, 1);
    EXPECT_FALSE(picture.HasCrop());
    EXPECT_EQ(picture.PixelWidth, -1);
    EXPECT_EQ(picture.PictureDate, 0);
}

TEST(Model, IncludedCountAndFirstIncludedTile) {
    int alive = 0;
    TAlbumItem album;
    AddPictures(album, 3);
    for (int i = 0; i < 3; ++i) album.SetTile(i, std::make_unique<CountingTile>(&alive));
    album.PictureAt(0)->IsDeleted = true;
    EXPECT_EQ(album.PictureItems.IncludedCount(), 2);
    EXPECT_EQ(album.PictureItems.FirstIncludedTile(), album.TileAt(1));
    album.PictureAt(1)->IsDeleted = album.PictureAt(2)->IsDeleted = true;
    EXPECT_EQ(album.PictureItems.IncludedCount(), 0);
    EXPECT_EQ(album.PictureItems.FirstIncludedTile(), nullptr);
    EXPECT_THROW(album.SetTile(3, nullptr), std::out_of_range);
}

TEST(Model, ListsFreeWhatTheyOwn) {
    int alive = 0;
    {
        TAlbumList albums;
        for (int a = 0; a < 3; ++a) {
            TAlbumItem* album = albums.AlbumAt(albums.AddAlbum("/p/" + std::to_string(a)));
            AddPictures(*album, 2);
            album->SetTile(0, std::make_unique<CountingTile>(&alive));
            album->SetTile(1, std::make_unique<CountingTile>(&alive));
        }
        EXPECT_EQ(alive, 6);
        albums.AlbumAt(0)->ReleaseTiles();
        EXPECT_EQ(alive, 4);
        albums.Delete(1);
        EXPECT_EQ(alive, 2);
        EXPECT_EQ(albums.Text(1), "/p/2");
        albums.AlbumAt(1)->PictureItems.Delete(0);
        EXPECT_EQ(alive, 1);
    }
    EXPECT_EQ(alive, 0);
}

}  // namespace
}  // namespace galerion
