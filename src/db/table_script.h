#pragma once
// "Go!" of the advanced options: creates the tables by running the script beside the program.
#include "core/host/messages.h"

#include <string>

namespace galerion {

// Runs the statements of the script one by one against the connection string (a missing
// database file is created) and tells the user the outcome. The first failing statement stops
// the script; the ones before it stay in effect. The two-argument form uses the shipped
// create_tables.sql.
void CreateTablesFromScript(const std::string& connection, TMessages& host);
void CreateTablesFromScript(const std::string& connection, TMessages& host,
                            const std::string& scriptPath);

}  // namespace galerion
