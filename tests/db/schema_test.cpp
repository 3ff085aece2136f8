// Every statement of the program run against the tables of each backend's shipped script.
#include "db/query.h"
#include "db/statements.h"
#include "support/scripted_host.h"
#include "support/temp_folder.h"
#include "support/test_backends.h"
#include "support/test_database.h"

#include <gtest/gtest.h>

namespace galerion {
namespace {

using test::RawScalar;
using test::TBackend;

class Schema : public ::testing::TestWithParam<TBackend> {
protected:
    void SetUp() override {
        GALERION_REQUIRE_BACKEND(GetParam());
        site_ = std::make_unique<test::TTestSite>(GetParam());
        connection_ = site_->Connection();
        query_ = TQuery::Create(connection_);
    }
    // A date-time as the backend's own client shows the stored value.
    std::string StoredDate(const std::string& iso) const {
        if (GetParam() == TBackend::Sqlite) return iso;
        return iso.size() == 10 ? iso + " 00:00:00" : iso;
    }
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
        return FormatSql(sqlInsertPicture, {SqlQuote("Title 'one'"),
                                            SqlQuote(""),
                                            SqlQuote(web),
                                            SqlQuote("Trip/ps_large/pl_a.jpg"),
                                            SqlQuote(""),
                                            SqlQuote(""),
                                            SqlQuote("h1"),
                                            SqlQuote(""),
                                            SqlQuote(""),
                                            SqlQuote(""),
                                            SqlQuote(""),
                                            SqlDateTime(EncodeDateTime({2024, 5, 17, 8, 30, 5})),
                                            SqlBool(false),
                                            SqlBool(true),
                                            -2,
                                            10,
                                            20,
                                            110,
                                            220,
                                            300,
                                            400,
                                            albumId});
    }

    std::unique_ptr<test::TTestSite> site_;
    std::string connection_;
    std::unique_ptr<TQuery> query_;
};

INSTANTIATE_TEST_SUITE_P(Backends, Schema, ::testing::ValuesIn(test::AllBackends()),
                         test::TBackendParamName());

TEST_P(Schema, AlbumStatements) {
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
    EXPECT_EQ(RawScalar(connection_, "SELECT COUNT(*) FROM album WHERE description IS NULL"), "1");
    EXPECT_EQ(RawScalar(connection_, "SELECT album_date FROM album"), StoredDate("2024-05-17"));

    Execute(
        FormatSql(sqlUpdateAlbum, {-1, SqlDateTime(EncodeDateTime({2023, 1, 2, 3, 4, 5})),
                                   SqlQuote("S"), SqlBool(false), SqlQuote("d"), SqlQuote("L"),
                                   SqlQuote("D"), SqlQuote("AL"), SqlQuote("AD"), SqlQuote(path)}));
    Execute(FormatSql(sqlSetAlbumFace, {77, id}));
    Open(FormatSql(sqlSelectAlbumByPath, {SqlQuote(path)}));
    EXPECT_EQ(query_->FieldAsInteger("face_picture_id"), 77);
    EXPECT_FALSE(query_->FieldAsBool("is_private"));
    EXPECT_DOUBLE_EQ(query_->FieldAsDateTime("album_date"), EncodeDateTime({2023, 1, 2, 3, 4, 5}));
    EXPECT_EQ(query_->FieldAsText("alt_long_name"), "AL");
    query_->Close();
    EXPECT_EQ(RawScalar(connection_, "SELECT album_date FROM album"),
              StoredDate("2023-01-02 03:04:05"));
}

TEST_P(Schema, PictureStatements) {
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

    Execute(FormatSql(sqlUpdatePicture, {SqlQuote("New"),
                                         SqlQuote("Neu"),
                                         SqlQuote(""),
                                         SqlQuote("m"),
                                         SqlQuote("t"),
                                         SqlQuote(""),
                                         SqlQuote(""),
                                         SqlQuote(""),
                                         SqlQuote(""),
                                         SqlQuote("ht"),
                                         SqlDateTime(0),
                                         SqlBool(true),
                                         SqlBool(false),
                                         3,
                                         -1,
                                         -1,
                                         -1,
                                         -1,
                                         640,
                                         480,
                                         SqlQuote(web),
                                         albumId}));
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

TEST_P(Schema, CategoryStatements) {
    const std::string guid = "{0A1B2C3D-0000-4000-8000-00000000000A}";
    Execute(FormatSql(sqlInsertCategory, {SqlQuote(guid), SqlQuote("Kids' party"), SqlQuote("desc"),
                                          SqlQuote(""), SqlQuote("alt")}));
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
    EXPECT_EQ(RawScalar(connection_, "SELECT COUNT(*) FROM category"), "0");
}

// The site's lookups must not read whole tables: a site holds many thousand pictures.
std::vector<std::string> Lookups() {
    return {
        FormatSql(sqlCountAlbumByPath, {SqlQuote("/p")}),
        FormatSql(sqlSelectPicture, {SqlQuote("Trip/a.jpg"), 1}),
        FormatSql(sqlSelectPictureCategories, {1}),
        FormatSql(sqlCountCategoryUse, {SqlDigits("1")}),
        FormatSql(sqlSelectCategoryIdByGuid, {SqlQuote("{G}")}),
    };
}

TEST(SchemaPlans, SqliteLookupsUseIndexes) {
    test::TTempFolder folder;
    const std::string connection = test::CreateDatabase(folder.File("site.db"));
    for (const std::string& sql : Lookups()) {
        const std::string plan = test::QueryPlan(connection, sql);
        EXPECT_NE(plan.find("USING"), std::string::npos) << sql << ": " << plan;
        EXPECT_EQ(plan.find("SCAN"), std::string::npos) << sql << ": " << plan;
    }
}

TEST(SchemaPlans, PostgresLookupsHaveIndexes) {
    GALERION_REQUIRE_BACKEND(TBackend::Postgres);
    const test::TTestSite site(TBackend::Postgres);
    for (const std::string& sql : Lookups()) {
        // With sequential scans priced out, a plan without an index means there is none.
        const std::string plan =
            RawScalar(site.Connection(), "SET enable_seqscan = off; EXPLAIN (FORMAT JSON) " + sql);
        EXPECT_NE(plan.find("Index Name"), std::string::npos) << sql << ": " << plan;
    }
}

}  // namespace
}  // namespace galerion
