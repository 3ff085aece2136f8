#pragma once
// A real SQLite database made by the shipped table script, and reads and writes straight through
// SQLite, so that checks do not depend on the code under test.
#include <string>
#include <vector>

namespace galerion::test {

std::string SqliteConnection(const std::string& file);
// A new database file with the tables of the shipped script; returns its connection string.
std::string CreateDatabase(const std::string& file);

// The first column of the first row as text ("" for NULL or no row).
std::string ScalarText(const std::string& connection, const std::string& sql);
int ScalarInt(const std::string& connection, const std::string& sql);
// The named column of every row as text ("" for NULL), through the program's query object.
std::vector<std::string> Column(const std::string& connection, const std::string& sql,
                                const std::string& column);
// SQLite's query plan details for a statement, joined by " | ".
std::string QueryPlan(const std::string& connection, const std::string& sql);
void RunRaw(const std::string& connection, const std::string& sql);

}  // namespace galerion::test
