#pragma once
// The PostgreSQL backend of the query object, through the client library loaded at run time so
// that a machine without it still runs every other backend.
#include "db/query.h"

#include <memory>
#include <string>

namespace galerion {

struct TPostgresOptions {
    std::string connection;                    // the whole connection string
    std::string clientLibrary = "libpq.so.5";  // file name or path of the client library
};

// Loads the client library now (MissingComponentsError when it cannot be loaded); the server is
// reached at the first statement. A released query object leaves its connection for the next
// one with the same connection string while the connection is sound and idle, so that units of
// work do not pay for a new server session each.
std::unique_ptr<TQuery> CreatePostgresQuery(TPostgresOptions options);

// Closes the connections kept for reuse.
void ClosePostgresConnections();

}  // namespace galerion
