#pragma once
// The SQLite backend of the query object.
#include "db/query.h"

#include <memory>
#include <string>

namespace galerion {

struct TSqliteOptions {
    std::string path;  // the database file
    TMissingDatabase missing = TMissingDatabase::Fail;
    // When set, a missing file is made with the tables of this script (the program's default
    // database on first use).
    std::string firstUseScript;
};

std::unique_ptr<TQuery> CreateSqliteQuery(TSqliteOptions options);

}  // namespace galerion
