#include "db/query.h"

#include "core/settings_defaults.h"
#include "db/connection_string.h"
#include "db/sqlite_query.h"
#ifdef GALERION_HAVE_LIBPQ
#include "db/postgres_query.h"
#endif
#include "platform/errors.h"
#include "platform/program_paths.h"
#include "platform/text.h"

#include <cstdlib>

namespace galerion {
namespace {

#ifdef GALERION_HAVE_LIBPQ
constexpr const char* kBuiltProviders = "SQLite, PostgreSQL";
#else
constexpr const char* kBuiltProviders = "SQLite";
#endif

std::string Provider(const std::string& connection) {
    const auto provider = ConnectionStringValue(connection, "Provider");
    if (!provider || provider->empty())
        throw DataAccessError(std::string("The connection string names no provider. This build "
                                          "has the providers: ") +
                              kBuiltProviders + ".");
    return *provider;
}

#ifdef GALERION_HAVE_LIBPQ
// GALERION_PQ_LIBRARY names another client library file (a build of its own, another place).
TPostgresOptions PostgresOptions(const std::string& connectionString) {
    TPostgresOptions options{connectionString};
    if (const char* library = std::getenv("GALERION_PQ_LIBRARY"); library && *library)
        options.clientLibrary = library;
    return options;
}
#endif

}  // namespace

std::unique_ptr<TQuery> TQuery::Create(const std::string& connectionString) {
    return Create(connectionString, TMissingDatabase::Fail);
}

std::unique_ptr<TQuery> TQuery::Create(const std::string& connectionString,
                                       TMissingDatabase missing) {
    const std::string provider = Provider(connectionString);
    const std::string key = AsciiLower(provider);
    if (key == "sqlite") {
        TSqliteOptions options;
        options.path = ConnectionStringValue(connectionString, "Data Source").value_or("");
        options.missing = missing;
        // The table script makes its own tables: the first-use creation would make them first.
        if (connectionString == DefaultConnectionString() && missing == TMissingDatabase::Fail)
            options.firstUseScript = ResourcePath("create_tables.sql");
        return CreateSqliteQuery(std::move(options));
    }
    if (key == "postgresql")
#ifdef GALERION_HAVE_LIBPQ
        // The database is the server's: it is never created here, whatever `missing` says.
        return CreatePostgresQuery(PostgresOptions(connectionString));
#else
        throw MissingComponentsError("The provider " + provider +
                                     " needs the PostgreSQL client library (libpq), which this "
                                     "build of Galerion does not include.");
#endif
    throw DataAccessError("The provider " + provider +
                          " is not available. This build has the "
                          "providers: " +
                          std::string(kBuiltProviders) + ".");
}

}  // namespace galerion
