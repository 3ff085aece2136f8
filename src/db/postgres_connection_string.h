#pragma once
// A "Provider=PostgreSQL;Host=...;Port=...;Database=...;User ID=...;Password=..." connection
// string as the keywords of the PostgreSQL client library.
#include <string>
#include <utility>
#include <vector>

namespace galerion {

// Host and Server become host, Port port, Database and Initial Catalog dbname, User ID and
// Username user, Password password (letter case of the keys ignored); Provider is dropped, and
// so is client_encoding, which the program sets itself. Every other part is handed on with
// its value as written and its key in lower case, as the library spells its keywords. Where a
// keyword comes twice, the first one counts. Parts with an empty value are left out, so that the
// library's own defaults (password file, environment) apply.
std::vector<std::pair<std::string, std::string>> PostgresConnectionKeywords(
    const std::string& connection);

}  // namespace galerion
