#include "test_database.h"

#include "db/query.h"
#include "db/script_text.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace galerion::testing_db {

TTempFolder::TTempFolder() {
    std::string pattern = ::testing::TempDir() + "galerion_db_XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TTempFolder::~TTempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string ShippedScriptPath() {
    const char* bin = std::getenv("GALERION_TEST_BIN");
    if (bin && *bin) return std::string(bin) + "/create_tables.sql";
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string() +
           "/create_tables.sql";
}

std::string SqliteConnection(const std::string& file) {
    return "Provider=SQLite;Data Source=" + file;
}

std::string MakeDatabase(const std::string& file) {
    const std::string connection = SqliteConnection(file);
    const auto query = TQuery::Create(connection, TMissingDatabase::Create);
    for (const std::string& statement :
         SplitScriptStatements(ReadScriptFile(ShippedScriptPath()))) {
        query->SetText(statement);
        query->Execute();
    }
    return connection;
}

namespace {

struct TRawDatabase {
    explicit TRawDatabase(const std::string& connection) {
        const std::string prefix = "Data Source=";
        const std::string file = connection.substr(connection.find(prefix) + prefix.size());
        if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot open " + file);
        sqlite3_busy_timeout(db, 5000);
    }
    ~TRawDatabase() { sqlite3_close_v2(db); }
    sqlite3* db = nullptr;
};

}  // namespace

// Read and written straight through SQLite, so the checks do not depend on the code under test.
std::string ScalarText(const std::string& connection, const std::string& sql) {
    const TRawDatabase raw(connection);
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(raw.db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(raw.db));
    std::string result;
    if (sqlite3_step(stmt) == SQLITE_ROW)
        if (const unsigned char* text = sqlite3_column_text(stmt, 0))
            result = reinterpret_cast<const char*>(text);
    sqlite3_finalize(stmt);
    return result;
}

int ScalarInt(const std::string& connection, const std::string& sql) {
    return std::stoi(ScalarText(connection, sql));
}

std::string QueryPlan(const std::string& connection, const std::string& sql) {
    const TRawDatabase raw(connection);
    sqlite3_stmt* stmt = nullptr;
    const std::string explain = "EXPLAIN QUERY PLAN " + sql;
    if (sqlite3_prepare_v2(raw.db, explain.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(raw.db));
    std::string plan;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        if (!plan.empty()) plan += " | ";
        plan += reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3));
    }
    sqlite3_finalize(stmt);
    return plan;
}

void RunRaw(const std::string& connection, const std::string& sql) {
    const TRawDatabase raw(connection);
    char* error = nullptr;
    if (sqlite3_exec(raw.db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "?";
        sqlite3_free(error);
        throw std::runtime_error(message);
    }
}

}  // namespace galerion::testing_db
