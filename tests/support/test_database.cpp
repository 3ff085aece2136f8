#include "support/test_database.h"

#include "db/query.h"
#include "db/script_text.h"
#include "support/files.h"

#include <sqlite3.h>

#include <stdexcept>

namespace galerion::test {

std::string SqliteConnection(const std::string& file) {
    return "Provider=SQLite;Data Source=" + file;
}

std::string CreateDatabase(const std::string& file) {
    const std::string connection = SqliteConnection(file);
    const auto query = TQuery::Create(connection, TMissingDatabase::Create);
    for (const std::string& statement :
         SplitScriptStatements(ReadScriptFile(BuiltFile("create_tables.sql")))) {
        query->SetText(statement);
        query->Execute();
    }
    return connection;
}

std::vector<std::string> Column(const std::string& connection, const std::string& sql,
                                const std::string& column) {
    const auto query = TQuery::Create(connection);
    query->SetText(sql);
    query->Open();
    std::vector<std::string> values;
    for (; !query->Eof(); query->Next()) values.push_back(query->FieldAsText(column));
    return values;
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

}  // namespace galerion::test
