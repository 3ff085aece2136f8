#pragma once
// "Go!" of the advanced options: creates the tables by running the script beside the program.
#include "core/model.h"  // completes the tile type that the host's hooks return
#include "core/user_host.h"

#include <string>

namespace galerion {

// Runs the statements of the script one by one against the connection string (a missing
// database file is created) and tells the user the outcome. The first failing statement stops
// the script; the ones before it stay in effect. The two-argument form uses the shipped
// create_tables.sql.
void CreateTablesFromScript(const std::string& connection, TUserHost& host);
void CreateTablesFromScript(const std::string& connection, TUserHost& host,
                            const std::string& scriptPath);

}  // namespace galerion
