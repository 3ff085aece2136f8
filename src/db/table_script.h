#pragma once
// "Go!" of the advanced options: creates the tables by running the script beside the program.
#include "core/host/messages.h"

#include <string>

namespace galerion {

// Runs the statements of the script one by one against the connection string (a missing
// database file is created) and tells the user the outcome. The first failing statement stops
// the script; the ones before it stay in effect. The two-argument form uses the shipped script
// of the connection string's provider (TableScriptPath).
void CreateTablesFromScript(const std::string& connection, TMessages& host);
void CreateTablesFromScript(const std::string& connection, TMessages& host,
                            const std::string& scriptPath);

// The shipped table script for the connection string's provider: create_tables.postgresql.sql
// for PostgreSQL, create_tables.sql for every other one.
std::string TableScriptPath(const std::string& connection);

// True when the database exists and holds the four tables of the program (album, picture,
// category, picture_to_category); it is never created by asking.
bool ProgramTablesExist(const std::string& connection);

}  // namespace galerion
