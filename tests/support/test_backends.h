#pragma once
// The database backends that the shared test cases run on, and a fresh site database on each:
// a temporary SQLite file, or a schema of its own on the PostgreSQL test server named by
// GALERION_TEST_PG (./run-tests.sh starts a throw-away server and sets it).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace galerion::test {

enum class TBackend { Sqlite, Postgres };

std::string BackendName(TBackend backend);
const std::vector<TBackend>& AllBackends();
// For INSTANTIATE_TEST_SUITE_P: the backend's name as the test name's suffix.
struct TBackendParamName {
    std::string operator()(const ::testing::TestParamInfo<TBackend>& info) const {
        return BackendName(info.param);
    }
};

// The test server's connection string, or empty text when there is none.
std::string PostgresTestConnection();
// Why the PostgreSQL tests cannot run here; empty when they can.
std::string PostgresUnavailable();
// Under CI (CI=true) a test that cannot run fails instead of reporting itself skipped.
bool EverythingMustRun();

// Skips the test when it cannot run on the backend here (fails instead under CI).
#define GALERION_REQUIRE_BACKEND(backend)                                                  \
    do {                                                                                   \
        if ((backend) != ::galerion::test::TBackend::Postgres) break;                      \
        const std::string why_ = ::galerion::test::PostgresUnavailable();                  \
        if (why_.empty()) break;                                                           \
        if (::galerion::test::EverythingMustRun())                                         \
            FAIL() << why_ << " (CI=true: the PostgreSQL tests must run, not be skipped)"; \
        GTEST_SKIP() << why_;                                                              \
    } while (false)

// Why a test cannot have a PostgreSQL server of its own here; empty when it can.
std::string PrivateServerUnavailable();

#define GALERION_REQUIRE_PRIVATE_SERVER()                                                  \
    do {                                                                                   \
        const std::string why_ = ::galerion::test::PrivateServerUnavailable();             \
        if (why_.empty()) break;                                                           \
        if (::galerion::test::EverythingMustRun())                                         \
            FAIL() << why_ << " (CI=true: the PostgreSQL tests must run, not be skipped)"; \
        GTEST_SKIP() << why_;                                                              \
    } while (false)

// A PostgreSQL server of the test's own, made by the script named in GALERION_TEST_PG_CLUSTER,
// for tests that stop and start it; stopped and removed at the end.
class TPrivateServer {
public:
    TPrivateServer();
    ~TPrivateServer();
    TPrivateServer(const TPrivateServer&) = delete;
    TPrivateServer& operator=(const TPrivateServer&) = delete;

    const std::string& Connection() const { return connection_; }
    void Stop();
    void Start();

private:
    std::string folder_;
    std::string connection_;
};

// An empty site database of one backend, with the backend's shipped tables unless told
// otherwise, removed with everything in it at the end.
class TTestSite {
public:
    explicit TTestSite(TBackend backend, bool withTables = true);
    ~TTestSite();
    TTestSite(const TTestSite&) = delete;
    TTestSite& operator=(const TTestSite&) = delete;

    TBackend Backend() const { return backend_; }
    const std::string& Connection() const { return connection_; }

private:
    TBackend backend_;
    std::string place_;  // the SQLite file's folder, or the PostgreSQL schema
    std::string connection_;
};

// Straight through the backend's own client library, so that checks do not depend on the code
// under test: the first column of the first row as text ("" for NULL or no row).
std::string RawScalar(const std::string& connection, const std::string& sql);
void RawExecute(const std::string& connection, const std::string& sql);

}  // namespace galerion::test
