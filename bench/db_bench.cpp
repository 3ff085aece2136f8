// The database phase of one album of 1 000 pictures against a site that already holds 100 000
// pictures: the statements the processing run sends per picture, one by one, each its own
// commit, on every backend of the build in the same run. Goals: under 2 ms per picture in
// update mode, and PostgreSQL (on a local server) within 3 x SQLite.
//
// PostgreSQL runs when GALERION_TEST_PG names a server, e.g. with a throw-away one:
//   tools/pg-test-cluster.sh run build/bin/db_bench
#include "core/model.h"
#include "db/query.h"
#include "db/statements.h"
#include "db/table_script.h"
#include "support/scripted_host.h"
#include "support/temp_folder.h"
#include "support/test_database.h"

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace galerion {
namespace {

constexpr int kStoredPictures = 100000;
constexpr int kPicturesPerStoredAlbum = 100;
constexpr int kAlbumPictures = 1000;
constexpr int kCategoriesPerPicture = 2;
const std::string kAlbumPath = "/photos/bench";

void Execute(TQuery& query, const std::string& sql) {
    query.SetText(sql);
    query.Execute();
}

// A site of kStoredPictures pictures in albums of kPicturesPerStoredAlbum, with categories: a
// SQLite file in a temporary folder, or a schema of its own on the PostgreSQL server.
class TBenchSite {
public:
    explicit TBenchSite(const std::string& postgresServer) : server_(postgresServer) {
        if (server_.empty()) {
            connection_ = test::CreateDatabase(folder_.File("site.db"));
        } else {
            std::random_device random;
            schema_ = "galerion_bench_" + std::to_string(random() % 1000000000u);
            Execute(*TQuery::Create(server_), "CREATE SCHEMA " + schema_);
            connection_ = server_ + ";options=-c search_path=" + schema_;
            test::TScriptedHost host;
            CreateTablesFromScript(connection_, host);
            if (!host.errors.empty()) throw std::runtime_error(host.errors.front());
        }
        Fill();
    }
    ~TBenchSite() {
        try {
            if (!schema_.empty())
                Execute(*TQuery::Create(server_), "DROP SCHEMA " + schema_ + " CASCADE");
        } catch (const std::exception& e) {
            std::fprintf(stderr, "could not drop %s: %s\n", schema_.c_str(), e.what());
        }
    }
    const std::string& Connection() const { return connection_; }

private:
    void Fill() {
        const auto query = TQuery::Create(connection_);
        const std::string numbers =
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
            "FROM n WHERE i < " +
            std::to_string(kStoredPictures) + ") ";
        Execute(*query,
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE "
                "i < 20) INSERT INTO category (category_guid, title) SELECT '{' || i || "
                "'}', 'category ' || i FROM n");
        Execute(*query, numbers +
                            "INSERT INTO album (original_path, long_name) SELECT "
                            "'/photos/a' || i, 'Album ' || i FROM n WHERE i <= " +
                            std::to_string(kStoredPictures / kPicturesPerStoredAlbum));
        Execute(*query, numbers +
                            "INSERT INTO picture (title, filename_original, album_id, "
                            "picture_date, orientation, width, height) SELECT 'Picture "
                            "' || i, 'a' || ((i - 1) / " +
                            std::to_string(kPicturesPerStoredAlbum) +
                            " + 1) || '/IMG_' || i "
                            "|| '.jpg', (i - 1) / " +
                            std::to_string(kPicturesPerStoredAlbum) +
                            " + 1, '2024-05-17 08:30:00', 1, 4000, 3000 FROM n");
        Execute(*query, numbers + "INSERT INTO picture_to_category SELECT i, i % 20 + 1 FROM n");
        Execute(*query, numbers +
                            "INSERT INTO picture_to_category SELECT i, (i + 7) % 20 + 1 "
                            "FROM n");
        // The server plans with fresh statistics, as it would after its autovacuum.
        if (!schema_.empty()) Execute(*query, "ANALYZE");
    }

    std::string server_;
    test::TTempFolder folder_{"db_bench_"};
    std::string schema_;
    std::string connection_;
};

std::string WebOriginal(int i) { return "bench/IMG_" + std::to_string(i) + ".jpg"; }

std::string InsertAlbumSql() {
    return FormatSql(sqlInsertAlbum,
                     {SqlQuote(kAlbumPath), -1, SqlDateTime(45000), SqlQuote("bench"),
                      SqlBool(false), SqlQuote("bench"), SqlQuote("Bench album"),
                      SqlQuote("Its description"), SqlQuote(""), SqlQuote("")});
}

std::string UpdateAlbumSql() {
    return FormatSql(sqlUpdateAlbum,
                     {-1, SqlDateTime(45000), SqlQuote("bench"), SqlBool(false), SqlQuote("bench"),
                      SqlQuote("Bench album"), SqlQuote("Its description"), SqlQuote(""),
                      SqlQuote(""), SqlQuote(kAlbumPath)});
}

std::string PictureValues(int i) { return "Title of picture " + std::to_string(i); }

std::string InsertPictureSql(int i, int albumId) {
    return FormatSql(sqlInsertPicture,
                     {SqlQuote(PictureValues(i)),
                      SqlQuote(""),
                      SqlQuote(WebOriginal(i)),
                      SqlQuote("bench/ps_large/pl_" + std::to_string(i) + ".jpg"),
                      SqlQuote("bench/ps_medium/pm_" + std::to_string(i) + ".jpg"),
                      SqlQuote("bench/ps_thumb/tn_" + std::to_string(i) + ".jpg"),
                      SqlQuote(""),
                      SqlQuote(""),
                      SqlQuote(""),
                      SqlQuote(""),
                      SqlQuote(""),
                      SqlDateTime(45000.5),
                      SqlBool(false),
                      SqlBool(false),
                      1,
                      -1,
                      -1,
                      -1,
                      -1,
                      4000,
                      3000,
                      albumId});
}

std::string UpdatePictureSql(int i, int albumId) {
    return FormatSql(sqlUpdatePicture,
                     {SqlQuote(PictureValues(i)),
                      SqlQuote(""),
                      SqlQuote("bench/ps_large/pl_" + std::to_string(i) + ".jpg"),
                      SqlQuote("bench/ps_medium/pm_" + std::to_string(i) + ".jpg"),
                      SqlQuote("bench/ps_thumb/tn_" + std::to_string(i) + ".jpg"),
                      SqlQuote(""),
                      SqlQuote(""),
                      SqlQuote(""),
                      SqlQuote(""),
                      SqlQuote(""),
                      SqlDateTime(45000.5),
                      SqlBool(false),
                      SqlBool(false),
                      2,
                      -1,
                      -1,
                      -1,
                      -1,
                      3000,
                      4000,
                      SqlQuote(WebOriginal(i)),
                      albumId});
}

// Opens a text, tells whether it returned a row and the first row's integer column.
bool OpenFirst(TQuery& query, const std::string& sql, const char* column, int& value) {
    query.SetText(sql);
    query.Open();
    const bool found = !query.Eof();
    if (found) value = query.FieldAsInteger(column);
    query.Close();
    return found;
}

// The statements of one album's database phase; returns how many were sent.
long DatabasePhase(const std::string& connection, bool updateMode) {
    const auto query = TQuery::Create(connection);
    long statements = 0;
    int stored = 0;
    query->SetText(FormatSql(sqlCountAlbumByPath, {SqlQuote(kAlbumPath)}));
    query->Open();
    stored = query->FirstFieldAsInteger();
    query->Close();
    ++statements;
    Execute(*query, stored > 0 && updateMode ? UpdateAlbumSql() : InsertAlbumSql());
    ++statements;
    int albumId = 0;
    OpenFirst(*query, FormatSql(sqlSelectAlbumByPath, {SqlQuote(kAlbumPath)}), "album_id", albumId);
    ++statements;
    for (int i = 1; i <= kAlbumPictures; ++i) {
        const std::string select = FormatSql(sqlSelectPicture, {SqlQuote(WebOriginal(i)), albumId});
        int pictureId = 0;
        if (updateMode) {
            const bool found = OpenFirst(*query, select, "picture_id", pictureId);
            Execute(*query, found ? UpdatePictureSql(i, albumId) : InsertPictureSql(i, albumId));
            statements += 2;
        } else {
            Execute(*query, InsertPictureSql(i, albumId));
            ++statements;
        }
        OpenFirst(*query, select, "picture_id", pictureId);
        ++statements;
        if (i == 1) {
            Execute(*query, FormatSql(sqlSetAlbumFace, {pictureId, albumId}));
            ++statements;
        }
        if (updateMode) {
            Execute(*query, FormatSql(sqlDeletePictureCategories, {pictureId}));
            ++statements;
        }
        for (int c = 0; c < kCategoriesPerPicture; ++c) {
            Execute(*query,
                    FormatSql(sqlInsertPictureCategory,
                              {pictureId, SqlDigits(std::to_string((i + c * 7) % 20 + 1))}));
            ++statements;
        }
    }
    return statements;
}

void Report(benchmark::State& state, long statements) {
    state.counters["statements_per_second"] =
        benchmark::Counter(static_cast<double>(statements), benchmark::Counter::kIsRate);
    state.counters["pictures_per_second"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kAlbumPictures, benchmark::Counter::kIsRate);
}

// The album is stored and decided Update: every picture is found and updated.
void DatabasePhaseUpdateMode(benchmark::State& state, const TBenchSite* site) {
    DatabasePhase(site->Connection(), false);  // the album and its pictures from an earlier run
    long statements = 0;
    for (auto _ : state) statements += DatabasePhase(site->Connection(), true);
    Report(state, statements);
}

// A new album: every picture is inserted.
void DatabasePhaseNewAlbum(benchmark::State& state, const TBenchSite* site) {
    long statements = 0;
    for (auto _ : state) statements += DatabasePhase(site->Connection(), false);
    Report(state, statements);
}

// Keeps each benchmark's time per iteration for the summary against the goals.
class TGoalReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // With --benchmark_repetitions the median stands for the benchmark.
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Iteration || median)
                perIteration_[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // Milliseconds per picture, or a negative value when the benchmark did not run.
    double MsPerPicture(const std::string& name) const {
        const auto it = perIteration_.find(name);
        return it == perIteration_.end() ? -1 : it->second / kAlbumPictures;
    }

private:
    std::map<std::string, double> perIteration_;  // in the benchmarks' unit, milliseconds
};

void Register(const std::string& backend, const TBenchSite* site) {
    benchmark::RegisterBenchmark(("DatabasePhaseUpdateMode/" + backend).c_str(),
                                 DatabasePhaseUpdateMode, site)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(("DatabasePhaseNewAlbum/" + backend).c_str(),
                                 DatabasePhaseNewAlbum, site)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

void PrintGoals(const TGoalReporter& reporter, bool postgres) {
    const double sqlite = reporter.MsPerPicture("DatabasePhaseUpdateMode/SQLite");
    const double pg = reporter.MsPerPicture("DatabasePhaseUpdateMode/PostgreSQL");
    if (sqlite > 0)
        std::printf("update mode, SQLite:     %.3f ms per picture (goal < 2)\n", sqlite);
    if (pg > 0) {
        std::printf("update mode, PostgreSQL: %.3f ms per picture (goal < 2)\n", pg);
        if (sqlite > 0) std::printf("PostgreSQL / SQLite:     %.2f (goal <= 3)\n", pg / sqlite);
    }
    if (!postgres)
        std::printf(
            "PostgreSQL not measured: GALERION_TEST_PG names no server (run "
            "tools/pg-test-cluster.sh run build/bin/db_bench)\n");
}

}  // namespace
}  // namespace galerion

int main(int argc, char** argv) {
    using namespace galerion;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    const char* server = std::getenv("GALERION_TEST_PG");
    const bool postgres = server && *server;
    // Both sites are made before any timing starts.
    const TBenchSite sqlite("");
    Register("SQLite", &sqlite);
    std::unique_ptr<TBenchSite> pg;
    if (postgres) {
        pg = std::make_unique<TBenchSite>(server);
        Register("PostgreSQL", pg.get());
    }
    TGoalReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintGoals(reporter, postgres);
    benchmark::Shutdown();
    return 0;
}
