// Every statement of the program run against the tables of the shipped script.
#include "db/query.h"
#include "db/statements.h"
#include "support/scripted_host.h"
#include "support/temp_folder.h"
#include "support/test_database.h"

#include <gtest/gtest.h>

namespace galerion {
namespace {

using test::ScalarInt;
using test::ScalarText;

class Schema : public ::testing::Test {
protected:
    void Execute(const std::string& sql) {
        query_->SetText(sql);
        query_->Execute();
    }
    void Open(const std::string& sql) {
        query_->SetText(sql);
        query_->Open();
    }
    int Count(const std::string& sql) {
        Open(sql);
        const int count = query_->FirstFieldAsInteger();
        query_->Close();
        return count;
    }
    std::string InsertAlbumSql(const std::string& path, const std::string& longName) {
        return FormatSql(sqlInsertAlbum,
                         {SqlQuote(path), -1, SqlDateTime(EncodeDateTime({2024, 5, 17})),
                          SqlQuote("Trip"), SqlBool(true), SqlQuote("trip"), SqlQuote(longName),
                          SqlQuote(""), SqlQuote("Reise"), SqlQuote("Beschreibung")});
    }
    int AlbumId(const std::string& path) {
        Open(FormatSql(sqlSelectAlbumByPath, {SqlQuote(path)}));
        const int id = query_->FieldAsInteger("album_id");
        query_->Close();
        return id;
    }
    std::string InsertPictureSql(const std::string& web, int albumId) {
        return FormatSql(sqlInsertPicture,
                         {SqlQuote("Title 'one'"), SqlQuote(""), SqlQuote(web),
                          SqlQuote("Trip/ps_large/pl_a.jpg"), SqlQuote(""), SqlQuote(""),
                          SqlQuote("h1"), SqlQuote(""), SqlQuote(""), SqlQuote(""), SqlQuote(""),
                          SqlDateTime(EncodeDateTime({2024, 5, 17, 8, 30, 5})), SqlBool(false),
                          SqlBool(true), -2, 10, 20, 110, 220, 300, 400, albumId});
    }

    test::TTempFolder folder_;
    std::string connection_ = test::CreateDatabase(folder_.File("site.db"));
    std::unique_ptr<TQuery> query_ = TQuery::Create(connection_);
};

TEST_F(Schema, AlbumStatements) {
    const std::string path = "/photos/O'Brien's trip";
    EXPECT_EQ(Count(FormatSql(sqlCountAlbumByPath, {SqlQuote(path)})), 0);
    Execute(sqlProbeAlbums);
    Execute(InsertAlbumSql(path, "Long 'quoted' name"));
    EXPECT_EQ(Count(FormatSql(sqlCountAlbumByPath, {SqlQuote(path)})), 1);

    Open(FormatSql(sqlSelectAlbumByPath, {SqlQuote(path)}));
    ASSERT_FALSE(query_->Eof());
    const int id = query_->FieldAsInteger("album_id");
    EXPECT_GT(id, 0);
    EXPECT_EQ(query_->FieldAsText("original_path"), path);
    EXPECT_EQ(query_->FieldAsInteger("face_picture_id"), -1);
    EXPECT_DOUBLE_EQ(query_->FieldAsDateTime("album_date"), EncodeDateTime({2024, 5, 17}));
    EXPECT_TRUE(query_->FieldAsBool("is_private"));
    EXPECT_EQ(query_->FieldAsText("long_name"), "Long 'quoted' name");
    EXPECT_EQ(query_->FieldAsText("description"), "");  // stored as NULL
    EXPECT_EQ(query_->FieldAsText("alt_description"), "Beschreibung");
    query_->Close();
    EXPECT_EQ(ScalarText(connection_, "SELECT typeof(description) FROM album"), "null");
    EXPECT_EQ(ScalarText(connection_, "SELECT album_date FROM album"), "2024-05-17");

    Execute(FormatSql(sqlUpdateAlbum,
                      {-1, SqlDateTime(EncodeDateTime({2023, 1, 2, 3, 4, 5})), SqlQuote("S"),
                       SqlBool(false), SqlQuote("d"), SqlQuote("L"), SqlQuote("D"), SqlQuote("AL"),
                       SqlQuote("AD"), SqlQuote(path)}));
    Execute(FormatSql(sqlSetAlbumFace, {77, id}));
    Open(FormatSql(sqlSelectAlbumByPath, {SqlQuote(path)}));
    EXPECT_EQ(query_->FieldAsInteger("face_picture_id"), 77);
    EXPECT_FALSE(query_->FieldAsBool("is_private"));
    EXPECT_DOUBLE_EQ(query_->FieldAsDateTime("album_date"),
                     EncodeDateTime({2023, 1, 2, 3, 4, 5}));
    EXPECT_EQ(query_->FieldAsText("alt_long_name"), "AL");
    query_->Close();
    EXPECT_EQ(ScalarText(connection_, "SELECT album_date FROM album"), "2023-01-02 03:04:05");
}

TEST_F(Schema, PictureStatements) {
    Execute(InsertAlbumSql("/photos/Trip", "Trip"));
    const int albumId = AlbumId("/photos/Trip");
    const std::string web = "Trip/a.jpg";
    Execute(InsertPictureSql(web, albumId));

    Open(FormatSql(sqlSelectPicture, {SqlQuote(web), albumId}));
    ASSERT_FALSE(query_->Eof());
    const int pictureId = query_->FieldAsInteger("picture_id");
    EXPECT_GT(pictureId, 0);
    EXPECT_EQ(query_->FieldAsText("title"), "Title 'one'");
    EXPECT_EQ(query_->FieldAsText("alt_title"), "");
    EXPECT_EQ(query_->FieldAsText("filename_large"), "Trip/ps_large/pl_a.jpg");
    EXPECT_EQ(query_->FieldAsText("filename_medium"), "");
    EXPECT_EQ(query_->FieldAsText("hash_original"), "h1");
    EXPECT_DOUBLE_EQ(query_->FieldAsDateTime("picture_date"),
                     EncodeDateTime({2024, 5, 17, 8, 30, 5}));
    EXPECT_FALSE(query_->FieldAsBool("is_private"));
    EXPECT_TRUE(query_->FieldAsBool("is_deleted"));
    EXPECT_EQ(query_->FieldAsInteger("orientation"), -2);
    EXPECT_EQ(query_->FieldAsInteger("crop_x1"), 10);
    EXPECT_EQ(query_->FieldAsInteger("crop_Y2"), 220);
    EXPECT_EQ(query_->FieldAsInteger("width"), 300);
    EXPECT_EQ(query_->FieldAsInteger("height"), 400);
    EXPECT_EQ(query_->FieldAsInteger("album_id"), albumId);
    query_->Close();

    Execute(FormatSql(sqlUpdatePicture,
                      {SqlQuote("New"), SqlQuote("Neu"), SqlQuote(""), SqlQuote("m"), SqlQuote("t"),
                       SqlQuote(""), SqlQuote(""), SqlQuote(""), SqlQuote(""), SqlQuote("ht"),
                       SqlDateTime(0), SqlBool(true), SqlBool(false), 3, -1, -1, -1, -1, 640, 480,
                       SqlQuote(web), albumId}));
    Open(FormatSql(sqlSelectPicture, {SqlQuote(web), albumId}));
    EXPECT_EQ(query_->FieldAsInteger("picture_id"), pictureId);
    EXPECT_EQ(query_->FieldAsText("alt_title"), "Neu");
    EXPECT_EQ(query_->FieldAsText("filename_large"), "");
    EXPECT_EQ(query_->FieldAsText("hash_temp"), "ht");
    EXPECT_EQ(query_->FieldAsDateTime("picture_date"), 0.0);
    EXPECT_TRUE(query_->FieldAsBool("is_private"));
    EXPECT_EQ(query_->FieldAsInteger("crop_X1"), -1);
    EXPECT_EQ(query_->FieldAsInteger("width"), 640);
    query_->Close();
    // The same file in another album is another picture.
    Open(FormatSql(sqlSelectPicture, {SqlQuote(web), albumId + 1}));
    EXPECT_TRUE(query_->Eof());
    query_->Close();
}

TEST_F(Schema, CategoryStatements) {
    const std::string guid = "{0A1B2C3D-0000-4000-8000-00000000000A}";
    Execute(FormatSql(sqlInsertCategory, {SqlQuote(guid), SqlQuote("Kids' party"),
                                          SqlQuote("desc"), SqlQuote(""), SqlQuote("alt")}));
    Open(FormatSql(sqlSelectCategoryIdByGuid, {SqlQuote(guid)}));
    const int id = query_->FieldAsInteger("category_id");
    query_->Close();
    EXPECT_GT(id, 0);
    const TSqlText digits = SqlDigits(std::to_string(id));

    Execute(FormatSql(sqlInsertPictureCategory, {5, digits}));
    Execute(FormatSql(sqlInsertPictureCategory, {6, digits}));
    EXPECT_EQ(Count(FormatSql(sqlCountCategoryUse, {digits})), 2);
    Open(FormatSql(sqlSelectPictureCategories, {5}));
    ASSERT_FALSE(query_->Eof());
    EXPECT_EQ(query_->FieldAsText("category_id"), std::to_string(id));
    query_->Next();
    EXPECT_TRUE(query_->Eof());
    query_->Close();
    Execute(FormatSql(sqlDeletePictureCategories, {5}));
    EXPECT_EQ(Count(FormatSql(sqlCountCategoryUse, {digits})), 1);

    Execute(FormatSql(sqlUpdateCategory, {SqlQuote("It's new"), SqlQuote(""), SqlQuote("a"),
                                          SqlQuote("b"), SqlQuote(guid)}));
    Open(sqlSelectCategories);
    EXPECT_EQ(query_->FieldAsText("title"), "It's new");
    EXPECT_EQ(query_->FieldAsText("description"), "");
    EXPECT_EQ(query_->FieldAsText("alt_description"), "b");
    EXPECT_EQ(query_->FieldAsText("category_guid"), guid);
    query_->Close();
    Execute(FormatSql(sqlDeleteCategory, {SqlQuote(guid)}));
    EXPECT_EQ(ScalarInt(connection_, "SELECT COUNT(*) FROM category"), 0);
}

TEST_F(Schema, LookupsUseIndexes) {
    const std::vector<std::string> lookups = {
        FormatSql(sqlCountAlbumByPath, {SqlQuote("/p")}),
        FormatSql(sqlSelectPicture, {SqlQuote("Trip/a.jpg"), 1}),
        FormatSql(sqlSelectPictureCategories, {1}),
        FormatSql(sqlCountCategoryUse, {SqlDigits("1")}),
        FormatSql(sqlSelectCategoryIdByGuid, {SqlQuote("{G}")}),
    };
    for (const std::string& sql : lookups) {
        const std::string plan = test::QueryPlan(connection_, sql);
        EXPECT_NE(plan.find("USING"), std::string::npos) << sql << ": " << plan;
        EXPECT_EQ(plan.find("SCAN"), std::string::npos) << sql << ": " << plan;
    }
}

}  // namespace
}  // namespace galerion
