#include "db/table_script.h"

#include "support/files.h"
#include "support/scripted_host.h"
#include "support/temp_folder.h"
#include "support/test_database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace galerion {
namespace {

using test::ScalarInt;
using test::SqliteConnection;
using test::TScriptedHost;
using test::TTempFolder;

constexpr const char* kSuccess = "The tables have been created successfully.";

class TableScript : public ::testing::Test {
protected:
    std::string Script(const std::string& content) {
        const std::string path = folder_.File("script.sql");
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    int TableCount(const std::string& name) {
        return ScalarInt(connection_,
                         "SELECT COUNT(*) FROM sqlite_schema WHERE type = 'table' "
                         "AND name = '" +
                             name + "'");
    }

    TTempFolder folder_;
    std::string connection_ = SqliteConnection(folder_.File("site.db"));
    TScriptedHost host_;
};

TEST_F(TableScript, ShippedScriptMakesTheTablesInANewFile) {
    CreateTablesFromScript(connection_, host_, test::BuiltFile("create_tables.sql"));
    EXPECT_TRUE(host_.errors.empty()) << host_.errors.front();
    EXPECT_EQ(host_.infos, std::vector<std::string>{kSuccess});
    for (const char* table : {"album", "picture", "category", "picture_to_category"})
        EXPECT_EQ(TableCount(table), 1) << table;
    EXPECT_EQ(test::ScalarText(connection_, "PRAGMA journal_mode"), "wal");
}

TEST_F(TableScript, StatementsSeparatedByBlankLinesRunInOrder) {
    CreateTablesFromScript(connection_, host_,
                           Script("\nCREATE TABLE a (x INTEGER)\n\n\n"
                                  "INSERT INTO a\n  VALUES\n  (1)\n \t\nINSERT INTO a VALUES (2)"));
    EXPECT_EQ(host_.infos, std::vector<std::string>{kSuccess});
    EXPECT_EQ(ScalarInt(connection_, "SELECT SUM(x) FROM a"), 3);
}

TEST_F(TableScript, FailingSecondStatementStopsTheScript) {
    test::CreateDatabase(folder_.File("site.db"));  // an existing database
    CreateTablesFromScript(connection_, host_,
                           Script("CREATE TABLE a (x INTEGER)\n\nCREATE TABLE a (y INTEGER)\n\n"
                                  "CREATE TABLE c (z INTEGER)\n"));
    ASSERT_EQ(host_.errors.size(), 1u);
    EXPECT_EQ(host_.errors[0],
              "The following error occur creating tables:\r\ntable a already exists");
    EXPECT_TRUE(host_.infos.empty());
    EXPECT_EQ(TableCount("a"), 1);
    EXPECT_EQ(TableCount("c"), 0);
}

TEST_F(TableScript, FailingScriptLeavesNoNewFileBehind) {
    CreateTablesFromScript(connection_, host_,
                           Script("CREATE TABLE a (x INTEGER)\n\nCREATE TABLE a (y INTEGER)\n"));
    ASSERT_EQ(host_.errors.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(folder_.File("site.db")));
}

TEST_F(TableScript, EmptyScriptReportsSuccess) {
    CreateTablesFromScript(connection_, host_, Script("\n\n"));
    EXPECT_EQ(host_.infos, std::vector<std::string>{kSuccess});
    EXPECT_TRUE(host_.errors.empty());
}

TEST_F(TableScript, MissingOrUnreadableScript) {
    const std::string missing = folder_.File("none.sql");
    CreateTablesFromScript(connection_, host_, missing);
    EXPECT_EQ(host_.warnings,
              std::vector<std::string>{"SQL script file " + missing + " was not found."});
    CreateTablesFromScript(connection_, host_, folder_.Path());  // a folder: exists, not readable
    EXPECT_EQ(host_.errors.size(), 1u);
    EXPECT_TRUE(host_.infos.empty());
    EXPECT_FALSE(std::filesystem::exists(folder_.File("site.db")));
}

TEST_F(TableScript, UnknownProviderIsReportedAsCreationError) {
    CreateTablesFromScript("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\a.mdb", host_,
                           Script("CREATE TABLE a (x INTEGER)"));
    ASSERT_EQ(host_.errors.size(), 1u);
    EXPECT_EQ(host_.errors[0].rfind("The following error occur creating tables:\r\n", 0), 0u);
    EXPECT_NE(host_.errors[0].find("SQLite"), std::string::npos);
}

}  // namespace
}  // namespace galerion
