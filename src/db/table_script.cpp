#include "db/table_script.h"

#include "core/settings_defaults.h"
#include "db/connection_string.h"
#include "db/query.h"
#include "db/script_text.h"
#include "db/unit_of_work.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/program_paths.h"
#include "platform/text.h"

#include <exception>
#include <filesystem>
#include <vector>

namespace galerion {
namespace {

constexpr const char* kScriptName = "create_tables.sql";
constexpr const char* kPostgresScriptName = "create_tables.postgresql.sql";
constexpr const char* kCreateFailed = "The following error occur creating tables:\r\n";
constexpr const char* kCreated = "The tables have been created successfully.";

std::string NotFoundMessage(const std::string& path) {
    return "SQL script file " + path + " was not found.";
}

void RunStatements(const std::string& connection, const std::vector<std::string>& statements) {
    const auto query = TQuery::Create(connection, TMissingDatabase::Create);
    for (const std::string& statement : statements) {
        query->SetText(statement);
        query->Execute();
    }
}

// The SQLite file the connection string names when it does not exist yet, else empty.
std::string NewSqliteFile(const std::string& connection) {
    if (AsciiLower(ConnectionStringValue(connection, "Provider").value_or("")) != "sqlite")
        return {};
    const std::string path = ConnectionStringValue(connection, "Data Source").value_or("");
    return path.empty() || PathExists(path) ? std::string() : path;
}

// A script that failed on a file it created leaves no half-made database behind.
void RemoveNewFile(const std::string& path) {
    if (path.empty()) return;
    std::error_code ec;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        std::filesystem::remove(path + suffix, ec);
}

}  // namespace

void CreateTablesFromScript(const std::string& connection, TMessages& host) {
    CreateTablesFromScript(connection, host, TableScriptPath(connection));
}

std::string TableScriptPath(const std::string& connection) {
    const std::string provider =
        AsciiLower(ConnectionStringValue(connection, "Provider").value_or(""));
    return ResourcePath(provider == "postgresql" ? kPostgresScriptName : kScriptName);
}

void CreateTablesFromScript(const std::string& connection, TMessages& host,
                            const std::string& scriptPath) {
    std::error_code ec;
    if (!std::filesystem::exists(scriptPath, ec)) {
        host.ShowWarning(NotFoundMessage(scriptPath));
        return;
    }
    std::vector<std::string> statements;
    try {
        statements = SplitScriptStatements(ReadScriptFile(scriptPath));
    } catch (const FileError& e) {
        host.ShowError(e.what());
        return;
    }
    const std::string newFile = NewSqliteFile(connection);
    if (!newFile.empty() && connection == DefaultConnectionString()) {
        // The program's data folder does not exist before its first database.
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(newFile).parent_path(), ignored);
    }
    try {
        RunStatements(connection, statements);
    } catch (const MissingComponentsError& e) {
        host.ShowError(MissingComponentsMessage(e.what()));
        host.ExitProgram(kMissingComponentsExitCode);
    } catch (const std::exception& e) {
        RemoveNewFile(newFile);
        host.ShowError(kCreateFailed + std::string(e.what()));
        return;
    }
    host.ShowInformation(kCreated);
}

bool ProgramTablesExist(const std::string& connection) {
    if (!NewSqliteFile(connection).empty()) return false;
    try {
        const auto query = TQuery::Create(connection, TMissingDatabase::Create);
        for (const char* table : {"album", "picture", "category", "picture_to_category"}) {
            query->SetText(std::string("SELECT COUNT(*) FROM ") + table);
            query->Open();
            query->Close();
        }
        return true;
    } catch (const Error&) {
        return false;
    }
}

}  // namespace galerion
