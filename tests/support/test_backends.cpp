#include "support/test_backends.h"

#include "db/postgres_connection_string.h"
#ifdef GALERION_TEST_HAVE_LIBPQ
#include "db/postgres_query.h"
#endif
#include "db/query.h"
#include "db/script_text.h"
#include "db/table_script.h"

#include <sqlite3.h>
#include <stdlib.h>
#ifdef GALERION_TEST_HAVE_LIBPQ
#include <libpq-fe.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

namespace galerion::test {
namespace {

bool IsPostgres(const std::string& connection) {
    return connection.find("Provider=PostgreSQL") != std::string::npos;
}

void RunScript(const std::string& connection) {
    const auto query = TQuery::Create(connection, TMissingDatabase::Create);
    for (const std::string& statement :
         SplitScriptStatements(ReadScriptFile(TableScriptPath(connection)))) {
        query->SetText(statement);
        query->Execute();
    }
}

std::string RandomName(const std::string& prefix) {
    std::random_device random;
    std::string name = prefix;
    for (int i = 0; i < 12; ++i) name += "0123456789abcdef"[random() % 16];
    return name;
}

// SQLite: the file named by "Data Source=".
struct TRawSqlite {
    explicit TRawSqlite(const std::string& connection) {
        const std::string prefix = "Data Source=";
        const std::string file = connection.substr(connection.find(prefix) + prefix.size());
        if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot open " + file);
        sqlite3_busy_timeout(db, 5000);
    }
    ~TRawSqlite() { sqlite3_close_v2(db); }
    std::string Scalar(const std::string& sql) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
        std::string result;
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW && sqlite3_column_type(stmt, 0) != SQLITE_NULL)
            result.assign(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)),
                          static_cast<size_t>(sqlite3_column_bytes(stmt, 0)));
        sqlite3_finalize(stmt);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db));
        return result;
    }
    sqlite3* db = nullptr;
};

#ifdef GALERION_TEST_HAVE_LIBPQ
struct TRawPostgres {
    explicit TRawPostgres(const std::string& connection) {
        std::vector<const char*> names, values;
        const auto keywords = PostgresConnectionKeywords(connection);
        for (const auto& [keyword, value] : keywords) {
            names.push_back(keyword.c_str());
            values.push_back(value.c_str());
        }
        names.push_back(nullptr);
        values.push_back(nullptr);
        conn = PQconnectdbParams(names.data(), values.data(), 0);
        if (PQstatus(conn) != CONNECTION_OK) {
            const std::string message = PQerrorMessage(conn);
            PQfinish(conn);
            throw std::runtime_error(message);
        }
        PQsetNoticeProcessor(
            conn, [](void*, const char*) {}, nullptr);
    }
    ~TRawPostgres() { PQfinish(conn); }
    std::string Scalar(const std::string& sql) {
        PGresult* result = PQexec(conn, sql.c_str());
        const ExecStatusType status = PQresultStatus(result);
        std::string value;
        if (status == PGRES_TUPLES_OK && PQntuples(result) > 0 && !PQgetisnull(result, 0, 0))
            value.assign(PQgetvalue(result, 0, 0), static_cast<size_t>(PQgetlength(result, 0, 0)));
        const std::string error = PQresultErrorMessage(result);
        PQclear(result);
        if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK)
            throw std::runtime_error(error);
        return value;
    }
    PGconn* conn = nullptr;
};
#endif

}  // namespace

std::string BackendName(TBackend backend) {
    return backend == TBackend::Sqlite ? "SQLite" : "PostgreSQL";
}

const std::vector<TBackend>& AllBackends() {
    static const std::vector<TBackend> all{TBackend::Sqlite, TBackend::Postgres};
    return all;
}

std::string PostgresTestConnection() {
    const char* value = std::getenv("GALERION_TEST_PG");
    return value ? value : "";
}

std::string PostgresUnavailable() {
#ifndef GALERION_TEST_HAVE_LIBPQ
    return "this build has no PostgreSQL client library";
#else
    if (PostgresTestConnection().empty())
        return "no PostgreSQL test server: GALERION_TEST_PG is not set (./run-tests.sh starts one)";
    return {};
#endif
}

bool EverythingMustRun() {
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
}

std::string PrivateServerUnavailable() {
    const std::string why = PostgresUnavailable();
    if (!why.empty()) return why;
    const char* script = std::getenv("GALERION_TEST_PG_CLUSTER");
    if (!script || !*script)
        return "no PostgreSQL cluster script: GALERION_TEST_PG_CLUSTER is not set "
               "(./run-tests.sh sets it)";
    return {};
}

namespace {

// Runs the cluster script; its output, or runtime_error with it when the script fails.
std::string RunClusterScript(const std::string& verb, const std::string& folder) {
    const std::string command = std::string("'") + std::getenv("GALERION_TEST_PG_CLUSTER") + "' " +
                                verb + " '" + folder + "' 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) throw std::runtime_error("cannot run " + command);
    std::string output;
    char buffer[4096];
    while (const size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
    if (::pclose(pipe) != 0) throw std::runtime_error(command + " failed: " + output);
    while (!output.empty() && output.back() == '\n') output.pop_back();
    return output.substr(output.rfind('\n') + 1);
}

}  // namespace

TPrivateServer::TPrivateServer() {
    // Below /tmp itself: the server's own user must reach the folder.
    folder_ = "/tmp/galerion-pg-test-XXXXXX";
    if (!::mkdtemp(folder_.data())) throw std::runtime_error("mkdtemp failed");
    Start();
}

TPrivateServer::~TPrivateServer() {
    try {
#ifdef GALERION_TEST_HAVE_LIBPQ
        ClosePostgresConnections();
#endif
        RunClusterScript("stop", folder_);
    } catch (...) {
        // Removing the folder below still ends what is left.
    }
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
}

void TPrivateServer::Stop() { RunClusterScript("stop", folder_); }

void TPrivateServer::Start() { connection_ = RunClusterScript("start", folder_); }

TTestSite::TTestSite(TBackend backend, bool withTables) : backend_(backend) {
    if (backend == TBackend::Sqlite) {
        place_ = ::testing::TempDir() + "galerion_site_XXXXXX";
        if (!::mkdtemp(place_.data())) throw std::runtime_error("mkdtemp failed");
        connection_ = "Provider=SQLite;Data Source=" + place_ + "/site.db";
        if (withTables)
            RunScript(connection_);
        else
            std::ofstream(place_ + "/site.db");  // an empty file is an empty database
        return;
    }
    const std::string server = PostgresTestConnection();
    if (server.empty()) throw std::runtime_error(PostgresUnavailable());
    place_ = RandomName("galerion_t_");
    RawExecute(server, "CREATE SCHEMA " + place_);
    connection_ = server + ";options=-c search_path=" + place_;
    if (withTables) RunScript(connection_);
}

TTestSite::~TTestSite() {
    try {
        if (backend_ == TBackend::Sqlite)
            std::filesystem::remove_all(place_);
        else
            RawExecute(PostgresTestConnection(), "DROP SCHEMA " + place_ + " CASCADE");
    } catch (...) {
        // A server stopped by the test itself: its cluster goes with its folder.
    }
}

std::string RawScalar(const std::string& connection, const std::string& sql) {
    if (!IsPostgres(connection)) return TRawSqlite(connection).Scalar(sql);
#ifdef GALERION_TEST_HAVE_LIBPQ
    return TRawPostgres(connection).Scalar(sql);
#else
    throw std::runtime_error("no PostgreSQL client library");
#endif
}

void RawExecute(const std::string& connection, const std::string& sql) {
    RawScalar(connection, sql);
}

}  // namespace galerion::test
