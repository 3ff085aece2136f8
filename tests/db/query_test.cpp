#include "db/query.h"

#include "core/settings_defaults.h"
#include "db/sqlite_query.h"
#include "db/statements.h"
#include "platform/errors.h"
#include "support/scripted_host.h"
#include "support/temp_folder.h"
#include "support/test_database.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace galerion {
namespace {

using test::CreateDatabase;
using test::RunRaw;
using test::ScalarInt;
using test::ScalarText;
using test::SqliteConnection;
using test::TTempFolder;
using ::testing::HasSubstr;

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const DataAccessError& e) {
        return e.what();
    }
    return "(no DataAccessError)";
}

TEST(QueryProvider, ProvidersOfThisBuild) {
    for (const std::string connection :
         {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\site.mdb", "Provider=Oracle;x=1",
          "Data Source=/tmp/a.db", "Provider=;Data Source=/tmp/a.db"}) {
        const std::string message = ErrorOf([&] { TQuery::Create(connection); });
        EXPECT_THAT(message, HasSubstr("SQLite")) << connection;
    }
#ifdef GALERION_TEST_HAVE_LIBPQ
    EXPECT_THAT(ErrorOf([] { TQuery::Create("Provider=Oracle"); }), HasSubstr("PostgreSQL"));
    EXPECT_NE(TQuery::Create("Provider=postgresql;Host=x"), nullptr);  // no server needed yet
#else
    EXPECT_THROW(TQuery::Create("Provider=PostgreSQL;Host=x"), MissingComponentsError);
#endif
    EXPECT_NE(TQuery::Create("provider=sqlite;Data Source=/nowhere/a.db"), nullptr);
}

TEST(Query, MissingFileFailsAtFirstStatementAndIsNotCreated) {
    TTempFolder folder;
    const std::string file = folder.File("missing.db");
    const auto query = TQuery::Create(SqliteConnection(file));  // no error yet
    query->SetText(sqlProbeAlbums);
    EXPECT_THAT(ErrorOf([&] { query->Execute(); }), HasSubstr("unable to open database file"));
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_THROW(TQuery::Create("Provider=SQLite;Data Source=")->Execute(), DataAccessError);
}

TEST(Query, RowsFieldsAndBackendMessages) {
    TTempFolder folder;
    const std::string connection = CreateDatabase(folder.File("site.db"));
    const auto query = TQuery::Create(connection);
    EXPECT_TRUE(query->Eof());
    query->SetText("SELECT 1 AS n, 'x' AS t UNION ALL SELECT 2, 'y'");
    query->Open();
    ASSERT_FALSE(query->Eof());
    EXPECT_EQ(query->FieldAsInteger("N"), 1);
    EXPECT_EQ(query->FieldAsText("t"), "x");
    query->Next();
    EXPECT_EQ(query->FirstFieldAsInteger(), 2);
    EXPECT_THAT(ErrorOf([&] { query->FieldAsText("missing"); }), HasSubstr("missing"));
    query->Next();
    EXPECT_TRUE(query->Eof());
    EXPECT_THROW(query->Next(), DataAccessError);
    EXPECT_THROW(query->FieldAsInteger("n"), DataAccessError);
    query->Close();

    query->SetText("SELECT x FROM nowhere");
    EXPECT_THAT(ErrorOf([&] { query->Open(); }), HasSubstr("no such table: nowhere"));
    // The object goes on with the next text after a failure.
    query->SetText(sqlProbeAlbums);
    EXPECT_NO_THROW(query->Execute());
}

TEST(Query, NullAndStoredFormsRead) {
    TTempFolder folder;
    const std::string connection = CreateDatabase(folder.File("site.db"));
    const auto query = TQuery::Create(connection);
    query->SetText(
        "SELECT NULL AS v, '' AS e, 45000.25 AS num, '2024-05-17T08:30:00' AS iso_t, "
        "'2024-05-17' AS iso, '45000' AS numtext, -1 AS yes, '-1' AS yestext, 0 AS no, "
        "2.5 AS half, 'abc' AS word, 3000000000 AS big");
    query->Open();
    EXPECT_EQ(query->FieldAsInteger("v"), 0);
    EXPECT_EQ(query->FieldAsText("v"), "");
    EXPECT_EQ(query->FieldAsDateTime("v"), 0.0);
    EXPECT_FALSE(query->FieldAsBool("v"));
    EXPECT_EQ(query->FieldAsDateTime("e"), 0.0);
    EXPECT_DOUBLE_EQ(query->FieldAsDateTime("num"), 45000.25);
    EXPECT_DOUBLE_EQ(query->FieldAsDateTime("numtext"), 45000.0);
    EXPECT_DOUBLE_EQ(query->FieldAsDateTime("iso_t"), EncodeDateTime({2024, 5, 17, 8, 30, 0}));
    EXPECT_DOUBLE_EQ(query->FieldAsDateTime("iso"), EncodeDateTime({2024, 5, 17, 0, 0, 0}));
    EXPECT_TRUE(query->FieldAsBool("yes"));
    EXPECT_TRUE(query->FieldAsBool("yestext"));
    EXPECT_FALSE(query->FieldAsBool("no"));
    EXPECT_EQ(query->FieldAsInteger("half"), 2);  // halves to even
    EXPECT_THROW(query->FieldAsInteger("word"), DataAccessError);
    EXPECT_THROW(query->FieldAsDateTime("word"), DataAccessError);
    EXPECT_THROW(query->FieldAsBool("word"), DataAccessError);
    EXPECT_THROW(query->FieldAsInteger("big"), DataAccessError);
}

TEST(Query, OneStatementPerText) {
    TTempFolder folder;
    const std::string connection = CreateDatabase(folder.File("site.db"));
    const auto query = TQuery::Create(connection);
    query->SetText("INSERT INTO category (title) VALUES ('a'); DROP TABLE category");
    EXPECT_THAT(ErrorOf([&] { query->Execute(); }), HasSubstr("more than one statement"));
    EXPECT_EQ(ScalarInt(connection, "SELECT COUNT(*) FROM category"), 0);
    for (const std::string text : {"", " ;", "-- nothing"}) {
        query->SetText(text);
        EXPECT_THROW(query->Execute(), DataAccessError) << text;
    }
    query->SetText(std::string("INSERT INTO category (title) VALUES ('a')\0x", 43));
    EXPECT_THROW(query->Execute(), DataAccessError);
    // A trailing semicolon or comment is still one statement.
    query->SetText("INSERT INTO category (title) VALUES ('b'); -- done");
    query->Execute();
    EXPECT_EQ(ScalarInt(connection, "SELECT COUNT(*) FROM category"), 1);
}

TEST(Query, DeleteStarFormRuns) {
    TTempFolder folder;
    const std::string connection = CreateDatabase(folder.File("site.db"));
    RunRaw(connection, "INSERT INTO picture_to_category VALUES (1, 2), (1, 3), (4, 2)");
    const auto query = TQuery::Create(connection);
    query->SetText(FormatSql(sqlDeletePictureCategories, {1}));
    query->Execute();
    EXPECT_EQ(ScalarInt(connection, "SELECT COUNT(*) FROM picture_to_category"), 1);
    query->SetText("  delete\t*from picture_to_category");
    query->Execute();
    EXPECT_EQ(ScalarInt(connection, "SELECT COUNT(*) FROM picture_to_category"), 0);
}

TEST(Query, CreatedFilesUseWalAndDefensiveMode) {
    TTempFolder folder;
    const std::string connection = CreateDatabase(folder.File("site.db"));
    EXPECT_EQ(ScalarText(connection, "PRAGMA journal_mode"), "wal");
    const auto query = TQuery::Create(connection);
    query->SetText("PRAGMA synchronous");
    query->Open();
    EXPECT_EQ(query->FirstFieldAsInteger(), 1);  // NORMAL: a WAL commit needs no sync
    // Defensive mode refuses writes that can corrupt the file.
    query->SetText("PRAGMA writable_schema=ON");
    query->Execute();
    query->SetText("UPDATE sqlite_schema SET sql = 'x' WHERE name = 'album'");
    EXPECT_THROW(query->Execute(), DataAccessError);
}

TEST(Query, WaitsForAnotherWriterThenWrites) {
    TTempFolder folder;
    const std::string file = folder.File("site.db");
    const std::string connection = CreateDatabase(file);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE; INSERT INTO category (title) VALUES ('w')",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    std::thread releaser([other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    });
    const auto query = TQuery::Create(connection);
    query->SetText("INSERT INTO category (title) VALUES ('mine')");
    EXPECT_NO_THROW(query->Execute());
    releaser.join();
    sqlite3_close(other);
    EXPECT_EQ(ScalarInt(connection, "SELECT COUNT(*) FROM category"), 2);
}

TEST(Query, WaitsForAReaderOfARollbackJournalFile) {
    TTempFolder folder;
    const std::string file = folder.File("old.db");
    const std::string connection = CreateDatabase(file);
    RunRaw(connection, "PRAGMA journal_mode=DELETE");
    sqlite3* reader = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &reader), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(reader, "BEGIN; SELECT COUNT(*) FROM album", nullptr, nullptr, nullptr),
              SQLITE_OK);
    std::thread releaser([reader] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        sqlite3_exec(reader, "COMMIT", nullptr, nullptr, nullptr);
    });
    const auto query = TQuery::Create(connection);
    query->SetText("INSERT INTO album (original_path) VALUES ('/p')");
    EXPECT_NO_THROW(query->Execute());
    releaser.join();
    sqlite3_close(reader);
    EXPECT_EQ(ScalarInt(connection, "SELECT COUNT(*) FROM album"), 1);
    EXPECT_EQ(ScalarText(connection, "PRAGMA journal_mode"), "delete");
    query->SetText("PRAGMA synchronous");
    query->Open();
    EXPECT_EQ(query->FirstFieldAsInteger(), 2);  // FULL stays with a rollback journal
}

// Points the user's data folder into the test folder for the time of one test.
class TDataHome {
public:
    explicit TDataHome(const std::string& path) {
        if (const char* old = std::getenv("XDG_DATA_HOME")) old_ = old;
        ::setenv("XDG_DATA_HOME", path.c_str(), 1);
    }
    ~TDataHome() {
        if (old_.empty())
            ::unsetenv("XDG_DATA_HOME");
        else
            ::setenv("XDG_DATA_HOME", old_.c_str(), 1);
    }

private:
    std::string old_;
};

TEST(Query, DefaultDatabaseIsMadeAtFirstUse) {
    TTempFolder folder;
    const TDataHome home(folder.File("data"));
    const std::string connection = DefaultConnectionString();
    const std::string file = folder.File("data/Galerion/galerion.db");
    ASSERT_EQ(connection, SqliteConnection(file));
    const auto query = TQuery::Create(connection);
    EXPECT_FALSE(std::filesystem::exists(file));  // only at the first statement
    query->SetText(FormatSql(sqlCountAlbumByPath, {SqlQuote("/p")}));
    query->Open();
    EXPECT_EQ(query->FirstFieldAsInteger(), 0);
    query->Close();
    EXPECT_EQ(ScalarText(connection, "PRAGMA journal_mode"), "wal");
    EXPECT_EQ(ScalarInt(connection,
                        "SELECT COUNT(*) FROM sqlite_schema WHERE type = 'table' AND "
                        "name IN ('album', 'picture', 'category', "
                        "'picture_to_category')"),
              4);
    for (const auto& entry : std::filesystem::directory_iterator(folder.File("data/Galerion")))
        EXPECT_EQ(entry.path().filename().string().find(".new-"), std::string::npos);
}

TEST(Query, FailedFirstUseLeavesNoHalfMadeFile) {
    TTempFolder folder;
    const std::string file = folder.File("data/galerion.db");
    const std::string script = folder.File("bad.sql");
    std::ofstream(script) << "CREATE TABLE album (x INTEGER)\n\nCREATE TABLE oops (\n";
    TSqliteOptions options{file, TMissingDatabase::Fail, script};
    const auto query = CreateSqliteQuery(options);
    query->SetText(sqlProbeAlbums);
    EXPECT_THROW(query->Execute(), DataAccessError);
    EXPECT_TRUE(std::filesystem::is_empty(folder.File("data")));

    std::ofstream(script) << "CREATE TABLE album (x INTEGER)\n";
    const auto retry = CreateSqliteQuery(options);
    retry->SetText(sqlProbeAlbums);
    EXPECT_NO_THROW(retry->Execute());
}

TEST(Query, SameFileUnderAnotherConnectionStringIsNotMade) {
    TTempFolder folder;
    const TDataHome home(folder.File("data"));
    const std::string file = folder.File("data/Galerion/galerion.db");
    const auto query = TQuery::Create(SqliteConnection(file) + ";");
    query->SetText(sqlProbeAlbums);
    EXPECT_THROW(query->Execute(), DataAccessError);
    EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
}  // namespace galerion
