// Values through every backend from one table of cases: hostile texts, dates with and without
// time, yes/no, integers at their limits and NULL reads.
#include "db/query.h"
#include "db/statements.h"
#include "db/unit_of_work.h"
#include "platform/errors.h"
#include "support/scripted_host.h"
#include "support/temp_folder.h"
#include "support/test_backends.h"
#include "support/test_database.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>

namespace galerion {
namespace {

using test::RawScalar;
using test::TBackend;

class BackendValues : public ::testing::TestWithParam<TBackend> {
protected:
    void SetUp() override {
        GALERION_REQUIRE_BACKEND(GetParam());
        site_ = std::make_unique<test::TTestSite>(GetParam());
        query_ = TQuery::Create(Connection());
    }
    const std::string& Connection() const { return site_->Connection(); }
    void Execute(const std::string& sql) {
        query_->SetText(sql);
        query_->Execute();
    }
    void Open(const std::string& sql) {
        query_->SetText(sql);
        query_->Open();
    }

    std::unique_ptr<test::TTestSite> site_;
    std::unique_ptr<TQuery> query_;
};

INSTANTIATE_TEST_SUITE_P(Backends, BackendValues, ::testing::ValuesIn(test::AllBackends()),
                         test::TBackendParamName());

struct TTextCase {
    const char* name;
    std::string text;
};

std::string OneMebibyte() {
    std::string text;
    while (text.size() < (1u << 20)) text += "O'Brien \\ %s 'x'' \\' ; -- ";
    text.resize(1u << 20);
    return text;
}

std::vector<TTextCase> HostileTexts() {
    return {
        {"quotes", "O'Brien's ''twice'' '"},
        {"backslashes", "C:\\new\\table\\"},
        {"backslash before a quote", "\\'; DROP TABLE album; --"},
        {"format markers", "100% %s %d %%s"},
        {"statement inside", "x'); DELETE FROM album; SELECT ('"},
        {"letters beyond ASCII",
         "Z\xC3\xBCrich \xE2\x80\x93 \xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x98\x80"},
        {"a blank", " "},
        {"line breaks and tabs", "a\r\nb\tc"},
        {"1 MiB", OneMebibyte()},
    };
}

size_t CharacterCount(const std::string& utf8) {
    size_t count = 0;
    for (const char c : utf8) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

constexpr const char* kAlbumTextColumns[] = {"original_path",  "short_name",  "dir_name",
                                             "long_name",      "description", "alt_long_name",
                                             "alt_description"};

TEST_P(BackendValues, HostileTextsAreStoredAndFoundAsThemselves) {
    int stored = 0;
    for (const TTextCase& c : HostileTexts()) {
        SCOPED_TRACE(c.name);
        const auto text = SqlQuote(c.text);
        Execute(FormatSql(sqlInsertAlbum, {text, -1, SqlDateTime(0), text, SqlBool(false), text,
                                           text, text, text, text}));
        ++stored;
        Open(FormatSql(sqlSelectAlbumByPath, {text}));
        ASSERT_FALSE(query_->Eof());
        for (const char* column : kAlbumTextColumns)
            EXPECT_TRUE(query_->FieldAsText(column) == c.text) << column;
        const int id = query_->FieldAsInteger("album_id");
        query_->Next();
        EXPECT_TRUE(query_->Eof());
        query_->Close();
        // Nothing escaped, cut or run on the way in.
        EXPECT_EQ(RawScalar(Connection(), "SELECT COUNT(*) FROM album"), std::to_string(stored));
        EXPECT_EQ(RawScalar(Connection(), "SELECT length(long_name) FROM album WHERE album_id = " +
                                              std::to_string(id)),
                  std::to_string(CharacterCount(c.text)));

        Execute(FormatSql(sqlUpdateAlbum, {7, SqlDateTime(0), text, SqlBool(true), text, text, text,
                                           SqlQuote("updated"), text, text}));
        Open(FormatSql(sqlCountAlbumByPath, {text}));
        EXPECT_EQ(query_->FirstFieldAsInteger(), 1);
        query_->Close();
        EXPECT_EQ(RawScalar(Connection(), "SELECT alt_long_name FROM album WHERE album_id = " +
                                              std::to_string(id)),
                  "updated");
    }
}

struct TPictureCase {
    const char* name;
    TDateTime date;
    bool isPrivate, isDeleted;
    int orientation, x1, y1, x2, y2;
};

const TPictureCase kPictureCases[] = {
    {"date only, private", EncodeDateTime({2024, 5, 17}), true, false, -4, -1, -1, -1, -1},
    {"date and time, deleted", EncodeDateTime({2024, 5, 17, 8, 30, 5}), false, true, 4, 0, 0, 0, 0},
    {"no date", 0, false, false, 1, INT_MIN, INT_MAX, -1, 0},
    {"last second of 1999", EncodeDateTime({1999, 12, 31, 23, 59, 59}), true, true, -1, 1, 2, 3, 4},
    {"leap day at noon", EncodeDateTime({2024, 2, 29, 12, 0, 0}), false, false, 2, 10, 20, 30, 40},
};

TEST_P(BackendValues, DatesYesNoAndIntegersReadBackAsWritten) {
    constexpr int kAlbum = 3;
    auto expectRow = [&](const TPictureCase& c, const std::string& file) {
        Open(FormatSql(sqlSelectPicture, {SqlQuote(file), kAlbum}));
        ASSERT_FALSE(query_->Eof());
        EXPECT_DOUBLE_EQ(query_->FieldAsDateTime("picture_date"), c.date);
        EXPECT_EQ(query_->FieldAsBool("is_private"), c.isPrivate);
        EXPECT_EQ(query_->FieldAsBool("is_deleted"), c.isDeleted);
        EXPECT_EQ(query_->FieldAsInteger("orientation"), c.orientation);
        EXPECT_EQ(query_->FieldAsInteger("crop_X1"), c.x1);
        EXPECT_EQ(query_->FieldAsInteger("crop_Y1"), c.y1);
        EXPECT_EQ(query_->FieldAsInteger("crop_X2"), c.x2);
        EXPECT_EQ(query_->FieldAsInteger("crop_Y2"), c.y2);
        query_->Close();
        // Yes/no columns hold -1 and 0.
        EXPECT_EQ(RawScalar(Connection(),
                            "SELECT is_private FROM picture WHERE "
                            "filename_original = '" +
                                file + "'"),
                  c.isPrivate ? "-1" : "0");
    };
    int n = 0;
    for (const TPictureCase& c : kPictureCases) {
        SCOPED_TRACE(c.name);
        const std::string file = "Trip/" + std::to_string(++n) + ".jpg";
        const auto none = SqlQuote("");
        Execute(FormatSql(sqlInsertPicture, {none,
                                             none,
                                             SqlQuote(file),
                                             none,
                                             none,
                                             none,
                                             none,
                                             none,
                                             none,
                                             none,
                                             none,
                                             SqlDateTime(c.date),
                                             SqlBool(c.isPrivate),
                                             SqlBool(c.isDeleted),
                                             c.orientation,
                                             c.x1,
                                             c.y1,
                                             c.x2,
                                             c.y2,
                                             100,
                                             200,
                                             kAlbum}));
        expectRow(c, file);
        // The same values written by the update statement over another row's.
        const TPictureCase& other = kPictureCases[n % std::size(kPictureCases)];
        const std::string otherFile = file + ".other";
        Execute(FormatSql(sqlInsertPicture, {none,
                                             none,
                                             SqlQuote(otherFile),
                                             none,
                                             none,
                                             none,
                                             none,
                                             none,
                                             none,
                                             none,
                                             none,
                                             SqlDateTime(other.date),
                                             SqlBool(other.isPrivate),
                                             SqlBool(other.isDeleted),
                                             other.orientation,
                                             other.x1,
                                             other.y1,
                                             other.x2,
                                             other.y2,
                                             1,
                                             1,
                                             kAlbum}));
        Execute(FormatSql(sqlUpdatePicture, {none,
                                             none,
                                             none,
                                             none,
                                             none,
                                             none,
                                             none,
                                             none,
                                             none,
                                             none,
                                             SqlDateTime(c.date),
                                             SqlBool(c.isPrivate),
                                             SqlBool(c.isDeleted),
                                             c.orientation,
                                             c.x1,
                                             c.y1,
                                             c.x2,
                                             c.y2,
                                             100,
                                             200,
                                             SqlQuote(otherFile),
                                             kAlbum}));
        expectRow(c, otherFile);
    }
}

TEST_P(BackendValues, NullsReadAsZeroEmptyTextNoDateAndNo) {
    Execute("INSERT INTO picture (filename_original, album_id) VALUES ('n.jpg', 7)");
    Open(FormatSql(sqlSelectPicture, {SqlQuote("n.jpg"), 7}));
    ASSERT_FALSE(query_->Eof());
    for (const char* column :
         {"title", "alt_title", "filename_large", "filename_medium", "filename_thumb",
          "hash_original", "hash_large", "hash_medium", "hash_thumb", "hash_temp"})
        EXPECT_EQ(query_->FieldAsText(column), "") << column;
    for (const char* column :
         {"orientation", "crop_X1", "crop_Y1", "crop_X2", "crop_Y2", "width", "height"})
        EXPECT_EQ(query_->FieldAsInteger(column), 0) << column;
    EXPECT_EQ(query_->FieldAsDateTime("picture_date"), 0.0);
    // Columns with a default of 0 read "no" either way; a NULL read as a yes/no too.
    EXPECT_FALSE(query_->FieldAsBool("is_private"));
    EXPECT_FALSE(query_->FieldAsBool("title"));
    EXPECT_EQ(query_->FieldAsText("picture_id"),
              std::to_string(query_->FieldAsInteger("picture_id")));
    query_->Close();

    // Empty texts are written as NULL.
    Execute(FormatSql(sqlInsertCategory,
                      {SqlQuote("{G}"), SqlQuote(""), SqlQuote(""), SqlQuote(""), SqlQuote("")}));
    EXPECT_EQ(RawScalar(Connection(),
                        "SELECT COUNT(*) FROM category WHERE title IS NULL AND "
                        "description IS NULL AND alt_description IS NULL"),
              "1");
}

TEST_P(BackendValues, OneStatementPerTextAndNoEmptyText) {
    for (const std::string text : {"INSERT INTO category (title) VALUES ('a'); DROP TABLE category",
                                   "", " ;", "-- nothing"}) {
        query_->SetText(text);
        EXPECT_THROW(query_->Execute(), DataAccessError) << text;
    }
    EXPECT_EQ(RawScalar(Connection(), "SELECT COUNT(*) FROM category"), "0");
    // The object goes on with the next text after a failure.
    Execute("INSERT INTO category (title) VALUES ('b')");
    EXPECT_EQ(RawScalar(Connection(), "SELECT COUNT(*) FROM category"), "1");
}

TEST_P(BackendValues, MissingTableIsTheBackendsMessageInTheErrorBox) {
    const test::TTestSite bare(GetParam(), false);
    test::TScriptedHost host;
    EXPECT_FALSE(RunUnitOfWork(host, [&] {
        const auto query = TQuery::Create(bare.Connection());
        query->SetText(sqlProbeAlbums);
        query->Execute();
    }));
    ASSERT_EQ(host.errors.size(), 1u);
    const std::string expected = GetParam() == TBackend::Sqlite
                                     ? "no such table: album"
                                     : "relation \"album\" does not exist";
    EXPECT_EQ(host.errors[0], expected);
}

}  // namespace
}  // namespace galerion
