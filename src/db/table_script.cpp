#include "db/table_script.h"

#include "db/connection_string.h"
#include "db/query.h"
#include "db/script_text.h"
#include "db/unit_of_work.h"
#include "platform/errors.h"
#include "platform/text.h"
#include "platform/program_paths.h"

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
    try {
        RunStatements(connection, statements);
    } catch (const MissingComponentsError& e) {
        host.ShowError(MissingComponentsMessage(e.what()));
        host.ExitProgram(kMissingComponentsExitCode);
    } catch (const std::exception& e) {
        host.ShowError(kCreateFailed + std::string(e.what()));
        return;
    }
    host.ShowInformation(kCreated);
}

}  // namespace galerion
