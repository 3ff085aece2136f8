// What only the PostgreSQL backend has: the client library loaded at run time, the session
// settings it forces, texts the server cannot store, kept connections and the table script.
#include "db/postgres_query.h"

#include "db/query.h"
#include "db/statements.h"
#include "db/table_script.h"
#include "db/unit_of_work.h"
#include "platform/errors.h"
#include "support/scripted_host.h"
#include "support/temp_folder.h"
#include "support/test_backends.h"
#include "support/test_database.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace galerion {
namespace {

using test::RawScalar;
using test::TBackend;
using ::testing::HasSubstr;

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const DataAccessError& e) {
        return e.what();
    }
    return "(no DataAccessError)";
}

TEST(PostgresClient, MissingLibraryIsTheMissingComponentsCase) {
    EXPECT_THROW(CreatePostgresQuery({"Provider=PostgreSQL;Host=h", "libgalerion-nothing.so.1"}),
                 MissingComponentsError);
    // The library that is there is found; the server is reached only by the first statement.
    const auto query = TQuery::Create("Provider=PostgreSQL;Host=/nonexistent/galerion");
    ASSERT_NE(query, nullptr);
    query->SetText(sqlProbeAlbums);
    EXPECT_THAT(ErrorOf([&] { query->Execute(); }), HasSubstr("/nonexistent/galerion"));
}

class Postgres : public ::testing::Test {
protected:
    void SetUp() override {
        GALERION_REQUIRE_BACKEND(TBackend::Postgres);
        site_ = std::make_unique<test::TTestSite>(TBackend::Postgres);
    }
    const std::string& Connection() const { return site_->Connection(); }
    static void Execute(TQuery& query, const std::string& sql) {
        query.SetText(sql);
        query.Execute();
    }
    static int BackendPid(TQuery& query) {
        query.SetText("SELECT pg_backend_pid()");
        query.Open();
        const int pid = query.FirstFieldAsInteger();
        query.Close();
        return pid;
    }

    std::unique_ptr<test::TTestSite> site_;
};

TEST_F(Postgres, ServerMessagesReachTheErrorBox) {
    const std::string server = test::PostgresTestConnection();
    const struct {
        std::string connection;
        std::string message;
    } cases[] = {
        {server + ";Database=galerion_no_such_db",
         "database \"galerion_no_such_db\" does not exist"},
        {server + ";Host=/nonexistent/galerion", "/nonexistent/galerion/.s.PGSQL"},
        {server + ";User ID=galerion_no_such_role",
         "role \"galerion_no_such_role\" does not exist"},
    };
    for (const auto& c : cases) {
        // The first of two same keys counts: put the changed one in front.
        const std::string connection = c.connection.substr(server.size() + 1) + ";" + server;
        test::TScriptedHost host;
        EXPECT_FALSE(RunUnitOfWork(host, [&] {
            const auto query = TQuery::Create(connection);
            Execute(*query, sqlProbeAlbums);
        }));
        ASSERT_EQ(host.errors.size(), 1u) << connection;
        EXPECT_THAT(host.errors[0], HasSubstr(c.message));
    }
}

TEST_F(Postgres, PasswordIsTheServersToCheck) {
    // The test server asks this role (only) for its password.
    const std::string server = test::PostgresTestConnection();
    RawScalar(server,
              "DROP ROLE IF EXISTS galerion_password_test; CREATE ROLE galerion_password_test "
              "LOGIN PASSWORD 'it''s right'");
    const auto probe = [&](const std::string& password) {
        test::TScriptedHost host;
        RunUnitOfWork(host, [&] {
            const auto query = TQuery::Create(
                "User ID=galerion_password_test;Password=" + password + ";" + server);
            query->SetText("SELECT 1");
            query->Open();
        });
        return host.errors.empty() ? std::string("connected") : host.errors[0];
    };
    EXPECT_THAT(probe("wrong"),
                HasSubstr("password authentication failed for user \"galerion_password_test\""));
    EXPECT_EQ(probe("\"it's right\""), "connected");
}

TEST_F(Postgres, SessionSettingsAreTheProgramsWhateverTheServerSays) {
    // A server (here: the session's start-up options) with backslash escapes, another client
    // encoding and another date style.
    const std::string hostile =
        Connection() +
        " -c standard_conforming_strings=off -c DateStyle=SQL,DMY;client_encoding=LATIN1";
    const std::string title = "C:\\new\\' \xC3\xA9t\xC3\xA9";
    const auto query = TQuery::Create(hostile);
    Execute(*query,
            FormatSql(sqlInsertPicture, {SqlQuote(title),
                                         SqlQuote(""),
                                         SqlQuote("a.jpg"),
                                         SqlQuote(""),
                                         SqlQuote(""),
                                         SqlQuote(""),
                                         SqlQuote(""),
                                         SqlQuote(""),
                                         SqlQuote(""),
                                         SqlQuote(""),
                                         SqlQuote(""),
                                         SqlDateTime(EncodeDateTime({2024, 5, 7, 8, 9, 10})),
                                         SqlBool(false),
                                         SqlBool(false),
                                         1,
                                         -1,
                                         -1,
                                         -1,
                                         -1,
                                         1,
                                         1,
                                         1}));
    query->SetText(FormatSql(sqlSelectPicture, {SqlQuote("a.jpg"), 1}));
    query->Open();
    EXPECT_EQ(query->FieldAsText("title"), title);
    EXPECT_DOUBLE_EQ(query->FieldAsDateTime("picture_date"),
                     EncodeDateTime({2024, 5, 7, 8, 9, 10}));
    query->Close();
    EXPECT_EQ(RawScalar(Connection(), "SELECT title FROM picture"), title);
    EXPECT_EQ(RawScalar(Connection(),
                        "SELECT to_char(picture_date, 'YYYY-MM-DD HH24:MI:SS') "
                        "FROM picture"),
              "2024-05-07 08:09:10");
    // A statement that turns a setting off is followed by the program's own again.
    Execute(*query, "SET standard_conforming_strings = off");
    Execute(*query, FormatSql(sqlUpdatePicture, {SqlQuote(title + "2"),
                                                 SqlQuote(""),
                                                 SqlQuote(""),
                                                 SqlQuote(""),
                                                 SqlQuote(""),
                                                 SqlQuote(""),
                                                 SqlQuote(""),
                                                 SqlQuote(""),
                                                 SqlQuote(""),
                                                 SqlQuote(""),
                                                 SqlDateTime(0),
                                                 SqlBool(false),
                                                 SqlBool(false),
                                                 1,
                                                 -1,
                                                 -1,
                                                 -1,
                                                 -1,
                                                 1,
                                                 1,
                                                 SqlQuote("a.jpg"),
                                                 1}));
    EXPECT_EQ(RawScalar(Connection(), "SELECT title FROM picture"), title + "2");
}

TEST_F(Postgres, CommitsDoNotWaitForTheDiskUnlessTheUserSaysSo) {
    const auto show = [](const std::string& connection) {
        const auto query = TQuery::Create(connection);
        query->SetText("SHOW synchronous_commit");
        query->Open();
        return query->FieldAsText("synchronous_commit");
    };
    EXPECT_EQ(show(Connection()), "off");
    EXPECT_EQ(show(Connection() + " -c synchronous_commit=on"), "on");
}

TEST_F(Postgres, TextsTheServerCannotStoreAreRefusedNamingTheColumn) {
    const struct {
        const char* name;
        std::string text;
        const char* what;
    } cases[] = {
        {"NUL", std::string("a\0b", 3), "NUL character"},
        {"stray byte", "caf\xE9", "not valid UTF-8 (byte 0xE9)"},
        {"cut sequence", "\xC3", "not valid UTF-8 (byte 0xC3)"},
        {"overlong slash", "\xC0\xAF", "not valid UTF-8 (byte 0xC0)"},
        {"surrogate", "\xED\xA0\x80", "not valid UTF-8 (byte 0xED)"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", "not valid UTF-8 (byte 0xF4)"},
    };
    const auto query = TQuery::Create(Connection());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string insert = FormatSql(
            sqlInsertCategory,
            {SqlQuote("{G}"), SqlQuote("ok"), SqlQuote(""), SqlQuote("x" + c.text), SqlQuote("")});
        const std::string message = ErrorOf([&] { Execute(*query, insert); });
        EXPECT_THAT(message, HasSubstr("category.alt_title"));
        EXPECT_THAT(message, HasSubstr(c.what));
        EXPECT_THAT(message, HasSubstr("PostgreSQL cannot store"));
    }
    EXPECT_EQ(RawScalar(Connection(), "SELECT COUNT(*) FROM category"), "0");
    // Letters of every length pass.
    Execute(*query,
            FormatSql(sqlInsertCategory, {SqlQuote("{G}"),
                                          SqlQuote("\x7F\xC2\x80\xE0\xA0\x80\xF0\x90\x80\x80"
                                                   "\xF4\x8F\xBF\xBF"),
                                          SqlQuote(""), SqlQuote(""), SqlQuote("")}));
    EXPECT_EQ(RawScalar(Connection(), "SELECT COUNT(*) FROM category"), "1");
}

TEST_F(Postgres, ConnectionIsKeptWhileTheConnectionStringStaysTheSame) {
    int first = 0, second = 0;
    {
        const auto query = TQuery::Create(Connection());
        first = BackendPid(*query);
    }
    {
        const auto again = TQuery::Create(Connection());
        EXPECT_EQ(BackendPid(*again), first);
        // A second object at the same time has its own session.
        const auto other = TQuery::Create(Connection());
        second = BackendPid(*other);
        EXPECT_NE(second, first);
    }
    // Sessions that have gone away (server restart, administrator) are replaced unseen.
    RawScalar(test::PostgresTestConnection(), "SELECT pg_terminate_backend(" +
                                                  std::to_string(first) +
                                                  ", 5000) AND "
                                                  "pg_terminate_backend(" +
                                                  std::to_string(second) + ", 5000)");
    int replaced = 0;
    {
        const auto query = TQuery::Create(Connection());
        replaced = BackendPid(*query);
        EXPECT_NE(replaced, first);
        EXPECT_NE(replaced, second);
    }
    // Another connection string: a new session, the old one closed.
    const auto changed = TQuery::Create(Connection() + ";application_name=galerion-other");
    EXPECT_NE(BackendPid(*changed), replaced);
    EXPECT_EQ(
        RawScalar(test::PostgresTestConnection(),
                  "SELECT COUNT(*) FROM pg_stat_activity WHERE pid = " + std::to_string(replaced)),
        "0");
}

TEST_F(Postgres, LostSessionFailsTheStatementAndTheNextOneReconnects) {
    const auto query = TQuery::Create(Connection());
    const int pid = BackendPid(*query);
    RawScalar(test::PostgresTestConnection(),
              "SELECT pg_terminate_backend(" + std::to_string(pid) + ")");
    EXPECT_THAT(ErrorOf([&] { Execute(*query, sqlProbeAlbums); }),
                ::testing::AnyOf(HasSubstr("terminating connection"),
                                 HasSubstr("server closed the connection")));
    EXPECT_NE(BackendPid(*query), pid);
}

TEST_F(Postgres, TableScriptOfTheProviderMakesTheTables) {
    EXPECT_THAT(TableScriptPath(Connection()),
                ::testing::EndsWith("/create_tables.postgresql.sql"));
    EXPECT_THAT(TableScriptPath("Provider=SQLite;Data Source=x"),
                ::testing::EndsWith("/create_tables.sql"));
    const test::TTestSite bare(TBackend::Postgres, false);
    test::TScriptedHost host;
    CreateTablesFromScript(bare.Connection(), host);
    EXPECT_THAT(host.infos, ::testing::ElementsAre("The tables have been created successfully."));
    const struct {
        const char* column;
        const char* type;
    } columns[] = {
        {"album.album_id", "integer YES"},
        {"album.is_private", "smallint NO"},
        {"album.album_date", "timestamp without time zone NO"},
        {"album.description", "text NO"},
        {"picture.picture_id", "integer YES"},
        {"picture.is_deleted", "smallint NO"},
        {"picture.crop_x1", "integer NO"},
        {"category.category_id", "integer YES"},
        {"category.category_guid", "text NO"},
        {"picture_to_category.category_id", "integer NO"},
    };
    for (const auto& c : columns) {
        const std::string name = c.column;
        const size_t dot = name.find('.');
        EXPECT_EQ(RawScalar(bare.Connection(),
                            "SELECT data_type || ' ' || is_identity FROM "
                            "information_schema.columns WHERE table_schema = current_schema() AND "
                            "table_name = '" +
                                name.substr(0, dot) + "' AND column_name = '" +
                                name.substr(dot + 1) + "'"),
                  c.type)
            << c.column;
    }
    // Run again: the server's own words after the fixed text, nothing else shown.
    CreateTablesFromScript(bare.Connection(), host);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0],
              "The following error occur creating tables:\r\nrelation \"album\" already exists");
    EXPECT_EQ(host.infos.size(), 1u);
}

}  // namespace
}  // namespace galerion
