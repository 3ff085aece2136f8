#include "db/unit_of_work.h"

#include "db/query.h"
#ifdef GALERION_TEST_HAVE_LIBPQ
#include "db/postgres_query.h"
#endif
#include "platform/errors.h"
#include "support/scripted_host.h"
#include "support/temp_folder.h"
#include "support/test_database.h"

#include <gtest/gtest.h>

namespace galerion {
namespace {

using test::TProgramExit;
using test::TScriptedHost;

TEST(UnitOfWork, SuccessShowsNothing) {
    TScriptedHost host;
    bool ran = false;
    EXPECT_TRUE(RunUnitOfWork(host, [&] { ran = true; }));
    EXPECT_TRUE(ran);
    EXPECT_TRUE(host.errors.empty());
}

TEST(UnitOfWork, ErrorShowsItsOwnMessageAndTheProgramGoesOn) {
    TScriptedHost host;
    EXPECT_FALSE(RunUnitOfWork(host, [] { throw DataAccessError("no such table: album"); }));
    EXPECT_FALSE(RunUnitOfWork(host, [] { throw std::runtime_error("disk full"); }));
    EXPECT_EQ(host.errors, (std::vector<std::string>{"no such table: album", "disk full"}));
}

TEST(UnitOfWork, MissingFileFailsAtFirstStatement) {
    test::TTempFolder folder;
    TScriptedHost host;
    const std::string connection = test::SqliteConnection(folder.File("gone.db"));
    int statementsRun = 0;
    EXPECT_FALSE(RunUnitOfWork(host, [&] {
        const auto query = TQuery::Create(connection);
        query->SetText("SELECT COUNT(*) FROM album");
        query->Execute();
        ++statementsRun;
    }));
    EXPECT_EQ(statementsRun, 0);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_NE(host.errors[0].find("unable to open database file"), std::string::npos);
}

// A PostgreSQL query object on a machine without the client library.
#ifdef GALERION_TEST_HAVE_LIBPQ
const std::string kMissingLibraryError = "libgalerion-missing-pq.so.5";
void CreateQueryWithoutClientLibrary() {
    CreatePostgresQuery({"Provider=PostgreSQL;Host=db", kMissingLibraryError});
}
#else
const std::string kMissingLibraryError = "The provider PostgreSQL";
void CreateQueryWithoutClientLibrary() { TQuery::Create("Provider=PostgreSQL;Host=db"); }
#endif

TEST(UnitOfWork, MissingComponentsEndTheProgramWith77) {
    TScriptedHost host;
    try {
        RunUnitOfWork(host, [] { CreateQueryWithoutClientLibrary(); });
        FAIL() << "the program should have ended";
    } catch (const TProgramExit& exit) {
        EXPECT_EQ(exit.code, 77);
    }
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].rfind("Can not instantiate data access component. Most likely cause "
                                   "for this error is absence of Microsoft\u00AE Data Access Jet "
                                   "Components (MDAC). Please, download the latest version of "
                                   "MDAC from Microsoft web site. ",
                                   0),
              0u);
    EXPECT_NE(host.errors[0].find("\r\nThe actual error: " + kMissingLibraryError),
              std::string::npos);
}

TEST(UnitOfWork, MissingComponentsMessageShape) {
    const std::string message = MissingComponentsMessage("boom");
    const std::string tail = "\r\nThe actual error: boom\r\n\r\nThe program will exist now.";
    ASSERT_GT(message.size(), tail.size());
    EXPECT_EQ(message.substr(message.size() - tail.size()), tail);
    EXPECT_NE(message.find("web site. https://"), std::string::npos);
}

}  // namespace
}  // namespace galerion
