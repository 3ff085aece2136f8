// galerion-cli run as a process, the way scripts and cron jobs use it.
#include "db/query.h"
#include "image/bitmap32.h"
#include "image/jpeg_codec.h"
#include "support/files.h"
#include "support/test_backends.h"
#include "support/test_database.h"
#include "support/wizard_fixture.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <thread>

namespace galerion {
namespace {

using namespace test;
namespace fs = std::filesystem;

std::string CliPath() { return BuiltFile("galerion-cli"); }

struct TResult {
    int status = -1;
    std::string out, err;
};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class TCliRun {
public:
    TCliRun(const TTempFolder& dir, std::vector<std::string> args,
            const std::string& program = CliPath(), bool withHome = true)
        : dir_(dir) {
        outPath_ = dir / "stdout.txt";
        errPath_ = dir / "stderr.txt";
        pid_ = ::fork();
        if (pid_ == 0) {
            const int in = ::open("/dev/null", O_RDONLY);
            const int out = ::open(outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int err = ::open(errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(in, 0);
            ::dup2(out, 1);
            ::dup2(err, 2);
            ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
            ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
            ::setenv("HOME", dir.Path().c_str(), 1);
            if (!withHome) {
                ::unsetenv("HOME");
                ::unsetenv("XDG_CONFIG_HOME");
            }
            const std::string& cli = program;
            std::vector<char*> argv{const_cast<char*>(cli.c_str())};
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(cli.c_str(), argv.data());
            ::_exit(127);
        }
    }
    void Signal(int sig) const { ::kill(pid_, sig); }
    TResult Wait() {
        int raw = 0;
        ::waitpid(pid_, &raw, 0);
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw), ReadAll(outPath_),
                ReadAll(errPath_)};
    }
    std::string Output() const { return ReadAll(outPath_); }

private:
    const TTempFolder& dir_;
    std::string outPath_, errPath_;
    pid_t pid_ = -1;
};

TResult RunCli(const TTempFolder& dir, std::vector<std::string> args, bool withHome = true) {
    return TCliRun(dir, std::move(args), CliPath(), withHome).Wait();
}

class Cli : public testing::Test {
protected:
    TTempFolder dir;
    std::string settingsFile = dir / "Galerion.reg";
    std::string album = dir / "photos/Trip";
    std::string db = dir / "site.db";

    void SetUp() override {
        MakeFolder(album);
        WriteJpeg(album + "/a.jpg", 64, 48);
        WriteJpeg(album + "/b.jpg", 48, 64);
    }
    std::vector<std::string> With(std::vector<std::string> args) {
        args.insert(args.begin(), {"--settings", settingsFile, "--db", db});
        return args;
    }
};

TEST_F(Cli, UsageErrorsAndHelp) {
    EXPECT_EQ(RunCli(dir, {"--help"}).status, 0);
    EXPECT_NE(RunCli(dir, {"--help"}).out.find("process [--all | ALBUM...]"), std::string::npos);
    EXPECT_EQ(RunCli(dir, {"--version"}).status, 0);
    for (std::vector<std::string> bad : {std::vector<std::string>{},
                                         {"frobnicate"},
                                         {"--nope"},
                                         {"process"},
                                         {"process", "--all", "x"},
                                         {"--update-mode", "maybe", "albums"}}) {
        const TResult r = RunCli(dir, bad);
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_NE(r.err.find("galerion-cli:"), std::string::npos);
    }
}

TEST_F(Cli, SettingsSetThenGet) {
    WriteText(settingsFile,
              "Windows Registry Editor Version 5.00\n\n"
              "[HKEY_CURRENT_USER\\Software\\Tarnwick\\Galerion\\1.0\\Position]\n"
              "\"Width\"=dword:0000003c\n");
    TResult r = RunCli(dir, {"--settings", settingsFile, "settings", "set", "ThumbWidth=200"});
    ASSERT_EQ(r.status, 0) << r.err;
    r = RunCli(dir, {"--settings", settingsFile, "settings", "get", "thumbwidth"});
    EXPECT_EQ(r.out, "200\n");
    // --set lasts for one run only.
    r = RunCli(dir, {"--settings", settingsFile, "--set", "ThumbWidth=90", "settings", "get",
                     "ThumbWidth"});
    EXPECT_EQ(r.out, "90\n");
    EXPECT_EQ(RunCli(dir, {"--settings", settingsFile, "settings", "get", "ThumbWidth"}).out,
              "200\n");
    EXPECT_NE(
        RunCli(dir, {"--settings", settingsFile, "settings", "list"}).out.find("ThumbWidth=200"),
        std::string::npos);
    EXPECT_EQ(RunCli(dir, {"--settings", settingsFile, "settings", "get", "NoSuch"}).status, 1);
    // The window placement it cannot judge without a screen is kept as stored.
    EXPECT_NE(ReadAll(settingsFile).find("\"Width\"=dword:0000003c"), std::string::npos);
}

TEST_F(Cli, ASettingsLineThatCannotBeReadNeedsForce) {
    ASSERT_EQ(RunCli(dir, With({"init-db"})).status, 0);
    const std::string text =
        "Windows Registry Editor Version 5.00\n\n"
        "[HKEY_CURRENT_USER\\Software\\Tarnwick\\Galerion\\1.0\\Options]\n"
        "\"ThumbWidth\"=dword:-1\n"
        "\"ThumbPrefix\"=\"t_\"\n";
    WriteText(settingsFile, text);
    for (std::vector<std::string> refused :
         {std::vector<std::string>{"--update-mode", "insert", "process", album},
          {"settings", "set", "ThumbHeight=90"}}) {
        const TResult r = RunCli(dir, With(refused));
        EXPECT_EQ(r.status, 1) << refused[0];
        EXPECT_NE(r.err.find(settingsFile + "' line 4: invalid dword"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("--force"), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(album + "/ps_thumb"));
    EXPECT_EQ(ReadAll(settingsFile), text);
    EXPECT_FALSE(fs::exists(settingsFile + ".broken"));
    // Reading goes on with every good value.
    EXPECT_EQ(RunCli(dir, With({"settings", "get", "ThumbPrefix"})).out, "t_\n");

    const TResult forced = RunCli(dir, With({"--force", "settings", "set", "ThumbHeight=90"}));
    ASSERT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(ReadAll(settingsFile + ".broken"), text);
    EXPECT_EQ(RunCli(dir, With({"settings", "get", "ThumbPrefix"})).out, "t_\n");
    EXPECT_EQ(RunCli(dir, With({"settings", "get", "ThumbHeight"})).out, "90\n");
}

TEST_F(Cli, SettingsPathsThatCannotBeUsedAreErrors) {
    ASSERT_EQ(::mkfifo(settingsFile.c_str(), 0600), 0);
    TResult r = RunCli(dir, With({"settings", "list"}));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("'" + settingsFile + "' is not a regular file"), std::string::npos)
        << r.err;
    EXPECT_TRUE(fs::is_fifo(settingsFile));

    r = RunCli(dir, {"settings", "list"}, false);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("HOME"), std::string::npos) << r.err;

    // A save that cannot be written is a failure, not a success.
    r = RunCli(dir,
               {"--settings", "/proc/galerion-settings.reg", "settings", "set", "ThumbHeight=90"});
    EXPECT_EQ(r.status, 1) << r.out;
}

TEST_F(Cli, InitDbOnTheDefaultDatabaseTwice) {
    TResult r = RunCli(dir, {"--settings", settingsFile, "init-db"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("The tables have been created successfully."), std::string::npos) << r.out;
    EXPECT_TRUE(fs::exists(dir / "data/Galerion/galerion.db"));
    r = RunCli(dir, {"--settings", settingsFile, "init-db"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("The tables already exist"), std::string::npos) << r.out;
}

TEST_F(Cli, InitDbThenProcessThenUpdate) {
    TResult r = RunCli(dir, With({"init-db"}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("The tables have been created successfully."), std::string::npos);

    r = RunCli(dir, With({"--update-mode", "update", "process", album}));
    ASSERT_EQ(r.status, 0) << r.err;

    // No terminal: "ask" cannot be answered for the album now stored.
    r = RunCli(dir, With({"process", album}));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--update-mode"), std::string::npos);
    EXPECT_NE(r.err.find(album), std::string::npos);
    EXPECT_TRUE(fs::exists(album + "/ps_thumb/tn_a.jpg"));
    EXPECT_TRUE(fs::exists(album + "/ps_medium/m_b.jpg"));
    EXPECT_FALSE(fs::exists(album + "/tmp"));
    const std::string connection = "Provider=SQLite;Data Source=" + db;
    EXPECT_EQ(ScalarInt(connection, "SELECT COUNT(*) FROM picture"), 2);

    // Edits stored by the window survive a batch run.
    RunRaw(connection,
           "UPDATE picture SET orientation = 2, title = 'Kept' "
           "WHERE filename_original = 'Trip/a.jpg'");
    r = RunCli(dir, With({"--update-mode", "update", "process", "--all", "--set",
                          "MainDir=" + dir / "photos/*.*"}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ScalarInt(connection, "SELECT COUNT(*) FROM album"), 2);  // photos and photos/Trip
    EXPECT_EQ(ScalarInt(connection, "SELECT COUNT(*) FROM picture"), 2);
    EXPECT_EQ(ScalarInt(connection, "SELECT width FROM picture WHERE title = 'Kept'"), 48);
    EXPECT_EQ(ReadJpegSize(album + "/ps_medium/m_a.jpg").Height, 768);

    r = RunCli(dir, With({"albums", dir / "photos"}));
    EXPECT_EQ(r.out, dir / "photos" + "\n" + album + "\n");
}

TEST_F(Cli, InitDbThenProcessIntoPostgreSQL) {
    using test::RawScalar;
    GALERION_REQUIRE_BACKEND(test::TBackend::Postgres);
    const test::TTestSite site(test::TBackend::Postgres, false);
    const std::vector<std::string> common = {"--settings", settingsFile, "--db", site.Connection()};
    auto with = [&](std::vector<std::string> args) {
        args.insert(args.begin(), common.begin(), common.end());
        return args;
    };
    TResult r = RunCli(dir, with({"init-db"}));
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("The tables have been created successfully."), std::string::npos);
    for (int run = 0; run < 2; ++run) {
        r = RunCli(dir, with({"--update-mode", "update", "process", album}));
        ASSERT_EQ(r.status, 0) << r.out << r.err;
        EXPECT_EQ(RawScalar(site.Connection(), "SELECT COUNT(*) FROM album"), "1");
        EXPECT_EQ(RawScalar(site.Connection(), "SELECT COUNT(*) FROM picture"), "2");
    }
    EXPECT_EQ(RawScalar(site.Connection(),
                        "SELECT filename_thumb FROM picture WHERE "
                        "filename_original = 'Trip/a.jpg'"),
              "Trip/ps_thumb/tn_a.jpg");

    // A server that is not there: the server's words, a failed run, nothing else.
    r = RunCli(
        dir, {"--settings", settingsFile, "--db", "Provider=PostgreSQL;Host=/nonexistent/galerion",
              "--update-mode", "update", "process", album});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE((r.out + r.err).find("/nonexistent/galerion/.s.PGSQL"), std::string::npos)
        << r.out << r.err;
}

TEST_F(Cli, BrokenPhotoFailsTheRunButNotTheAlbum) {
    ASSERT_EQ(RunCli(dir, With({"init-db"})).status, 0);
    WriteText(album + "/broken.jpg", "no picture");
    const TResult r = RunCli(dir, With({"--update-mode", "insert", "process", album}));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("failed: " + album + "/broken.jpg"), std::string::npos) << r.out;
    // Once as it happens (standard error), once in the summary (standard output).
    const auto times = [](const std::string& text, const std::string& what) {
        int n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(times(r.err, album + "/broken.jpg"), 1) << r.err;
    EXPECT_EQ(times(r.out, album + "/broken.jpg"), 1) << r.out;
    EXPECT_TRUE(fs::exists(album + "/ps_thumb/tn_b.jpg"));
}

TEST_F(Cli, MissingDatabaseIsAnError) {
    const TResult r = RunCli(dir, With({"--update-mode", "insert", "process", album}));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Database file not found or structure is invalid."), std::string::npos);
}

TEST_F(Cli, MissingClientLibraryEndsWith77) {
    ::setenv("GALERION_PQ_LIBRARY", "libgalerion-nothing.so.1", 1);
    const TResult r = RunCli(dir, {"--settings", settingsFile, "--db", "Provider=PostgreSQL;Host=h",
                                   "--update-mode", "insert", "process", album});
    ::unsetenv("GALERION_PQ_LIBRARY");
    EXPECT_EQ(r.status, 77);
    EXPECT_NE((r.out + r.err).find("Can not instantiate data access component."), std::string::npos)
        << r.out << r.err;
    EXPECT_NE((r.out + r.err).find("libgalerion-nothing.so.1"), std::string::npos);
}

TEST_F(Cli, InterruptStopsAfterTheCurrentPictureLeavingCompleteFiles) {
    ASSERT_EQ(RunCli(dir, With({"init-db"})).status, 0);
    for (int i = 0; i < 40; ++i)
        WriteJpeg(album + "/p" + std::to_string(100 + i) + ".jpg", 1600, 1200);
    TCliRun run(dir,
                With({"--update-mode", "insert", "--set", "ProcessLarge=1", "process", album}));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!fs::exists(album + "/ps_thumb/tn_p101.jpg") &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    run.Signal(SIGINT);
    run.Signal(SIGINT);  // pressed twice in a row: still the same stop, not an abrupt end
    const TResult r = run.Wait();
    EXPECT_EQ(r.status, 130) << r.err;
    EXPECT_NE(r.out.find("Operation was cancelled."), std::string::npos);
    int written = 0;
    for (const auto& folder : {"ps_large", "ps_medium", "ps_thumb"})
        for (const auto& entry : fs::directory_iterator(album + "/" + folder)) {
            TBitmap32 bitmap;
            EXPECT_NO_THROW(LoadPicture(bitmap, entry.path().string())) << entry.path();
            ++written;
        }
    EXPECT_GT(written, 0);
    EXPECT_LT(written, 3 * 42);
    // The summary counts exactly the pictures whose three files were written.
    EXPECT_EQ(written % 3, 0);
    EXPECT_NE(r.out.find("Albums: 0 written, 0 skipped, 0 failed, 1 not finished (stopped).\n"
                         "Pictures: " +
                         std::to_string(written / 3) + " written, 0 unchanged"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(ScalarInt("Provider=SQLite;Data Source=" + db, "SELECT COUNT(*) FROM picture"), 0);
}

TEST_F(Cli, ASecondInterruptASecondLaterEndsAtOnce) {
    ASSERT_EQ(RunCli(dir, With({"init-db"})).status, 0);
    // Another writer holds the database: the run waits in its database phase.
    const std::unique_ptr<TQuery> writer = TQuery::Create(SqliteConnection(db));
    writer->SetText("BEGIN EXCLUSIVE");
    writer->Execute();
    TCliRun run(dir, With({"--update-mode", "insert", "process", album}));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!fs::exists(album + "/ps_thumb/tn_b.jpg") && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    run.Signal(SIGINT);
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    run.Signal(SIGINT);
    const TResult r = run.Wait();
    EXPECT_EQ(r.status, 130);
    EXPECT_EQ(r.out.find("Albums:"), std::string::npos) << "ended at once, no summary: " << r.out;
}

// Every file below the folder with its bytes, for "nothing changed" checks.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        files[entry.path().string()] = entry.is_regular_file() ? ReadAll(entry.path()) : "<folder>";
    return files;
}

std::string RegFile(const std::string& options) {
    return "Windows Registry Editor Version 5.00\n\n"
           "[HKEY_CURRENT_USER\\Software\\Tarnwick\\Galerion\\1.0\\Options]\n" +
           options;
}

TEST_F(Cli, NeverWandersOutsideTheFoldersGiven) {
    // The default main directory is the Pictures folder, which this home does not have.
    for (std::vector<std::string> args :
         {std::vector<std::string>{"albums"}, {"--update-mode", "update", "process", "--all"}}) {
        const TResult r = RunCli(dir, args);
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_NE(r.err.find(dir / "Pictures"), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(dir / "config"));
    EXPECT_FALSE(fs::exists(dir / "data"));
    EXPECT_FALSE(fs::exists(album + "/ps_thumb"));

    // A file or a missing folder is no main directory and no album.
    WriteText(dir / "notes.txt", "x");
    for (std::vector<std::string> args :
         {std::vector<std::string>{"albums", dir / "notes.txt"},
          {"albums", dir / "missing"},
          {"--update-mode", "update", "process", dir / "missing"}}) {
        const TResult r = RunCli(dir, With(args));
        EXPECT_EQ(r.status, 2) << args.back();
        EXPECT_NE(r.err.find(args.back()), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }

    // Hidden folders are neither listed nor processed.
    MakeFolder(dir / "photos/.cache");
    WriteJpeg(dir / "photos/.cache/c.jpg", 32, 32);
    TResult r = RunCli(dir, With({"albums", dir / "photos"}));
    EXPECT_EQ(r.out, dir / "photos" + "\n" + album + "\n");
    ASSERT_EQ(RunCli(dir, With({"init-db"})).status, 0);
    r = RunCli(dir, With({"--update-mode", "update", "--set", "MainDir=" + dir / "photos/*.*",
                          "process", "--all"}));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(album + "/ps_thumb/tn_a.jpg"));
    EXPECT_FALSE(fs::exists(dir / "photos/.cache/ps_thumb"));
}

TEST_F(Cli, NoTerminalIsFineWhileNoAlbumIsStored) {
    ASSERT_EQ(RunCli(dir, With({"init-db"})).status, 0);
    const TResult r = RunCli(dir, With({"process", album}));  // UpdateMode "ask"
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ScalarInt("Provider=SQLite;Data Source=" + db, "SELECT COUNT(*) FROM album"), 1);
}

TEST_F(Cli, DryRunSaysWhatWouldHappenAndChangesNothing) {
    ASSERT_EQ(RunCli(dir, With({"init-db"})).status, 0);
    ASSERT_EQ(RunCli(dir, With({"--update-mode", "update", "process", album})).status, 0);
    const auto before = Snapshot(dir / "photos");
    const std::string dbBefore = ReadAll(db);

    const TResult r = RunCli(dir, With({"--update-mode", "update", "--set", "ThumbWidth=120",
                                        "process", "--dry-run", "--incremental", album}));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Album " + album + " (2 picture(s)): stored; its rows would be updated"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("a.jpg: write thumbnail; keep medium"), std::string::npos) << r.out;
    EXPECT_EQ(Snapshot(dir / "photos"), before);
    EXPECT_EQ(ReadAll(db), dbBefore);

    // Before the first run there is no database, and none is made.
    const TResult fresh = RunCli(dir, {"--settings", settingsFile, "--update-mode", "update",
                                       "process", "--dry-run", album});
    EXPECT_EQ(fresh.status, 0) << fresh.err;
    EXPECT_NE(fresh.out.find("not stored; it would be inserted"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "data"));
    EXPECT_EQ(Snapshot(dir / "photos"), before);
}

TEST_F(Cli, OneAlbumsFailureIsNotTheBatchs) {
    const std::string second = dir / "photos/Zoo";
    MakeFolder(second);
    WriteJpeg(second + "/z.jpg", 40, 30);
    WriteText(album + "/ps_thumb", "a file where the thumbnail folder belongs");
    ASSERT_EQ(RunCli(dir, With({"init-db"})).status, 0);
    const TResult r = RunCli(dir, With({"--update-mode", "update", "process", album, second}));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Albums: 1 written, 0 skipped, 1 failed."), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("failed album: " + album + ": "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Database: " + db), std::string::npos) << r.out;
    EXPECT_NE(r.err.find(album), std::string::npos) << r.err;
    EXPECT_TRUE(fs::exists(second + "/ps_thumb/tn_z.jpg"));
    EXPECT_EQ(Column("Provider=SQLite;Data Source=" + db, "SELECT original_path FROM album",
                     "original_path"),
              (std::vector<std::string>{second}));
}

TEST_F(Cli, IncrementalRunsRewriteExactlyWhatChanged) {
    ASSERT_EQ(RunCli(dir, With({"init-db"})).status, 0);
    WriteJpeg(album + "/c.jpg", 50, 40);
    const std::vector<std::string> run = With(
        {"--update-mode", "update", "--set", "ProcessLarge=1", "process", "--incremental", album});
    ASSERT_EQ(RunCli(dir, run).status, 0);
    const auto outputs = [&] {
        auto files = Snapshot(album);
        for (auto it = files.begin(); it != files.end();)
            it = it->first.find("/ps_") == std::string::npos ? files.erase(it) : std::next(it);
        return files;
    };
    // Which outputs differ from `before`, as file names.
    const auto changed = [&](const std::map<std::string, std::string>& before) {
        std::vector<std::string> names;
        for (const auto& [path, bytes] : outputs())
            if (before.at(path) != bytes) names.push_back(fs::path(path).filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };

    auto before = outputs();
    TResult r = RunCli(dir, run);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Pictures: 0 written, 3 unchanged, 0 failed."), std::string::npos)
        << r.out;
    EXPECT_TRUE(changed(before).empty());

    WriteJpeg(album + "/b.jpg", 48, 66);  // the photo replaced
    before = outputs();
    r = RunCli(dir, run);
    EXPECT_NE(r.out.find("Pictures: 1 written, 2 unchanged, 0 failed."), std::string::npos)
        << r.out;
    EXPECT_EQ(changed(before), (std::vector<std::string>{"l_b.jpg", "m_b.jpg", "tn_b.jpg"}));

    RunRaw("Provider=SQLite;Data Source=" + db,
           "UPDATE picture SET crop_X1 = 2, crop_Y1 = 2, crop_X2 = 30, crop_Y2 = 20 "
           "WHERE filename_original = 'Trip/c.jpg'");
    before = outputs();
    r = RunCli(dir, run);
    EXPECT_EQ(changed(before), (std::vector<std::string>{"l_c.jpg", "m_c.jpg", "tn_c.jpg"}));
    EXPECT_EQ(ReadJpegSize(album + "/ps_large/l_c.jpg").Width, 28);
}

TEST_F(Cli, HelpForEveryCommand) {
    for (const char* command : {"albums", "process", "init-db", "settings"}) {
        for (std::vector<std::string> args :
             {std::vector<std::string>{command, "--help"}, {"help", command}}) {
            const TResult r = RunCli(dir, args);
            EXPECT_EQ(r.status, 0) << command;
            EXPECT_EQ(r.out.rfind(std::string("Usage: galerion-cli ") + command, 0), 0u) << r.out;
            EXPECT_NE(r.out.find("Examples:"), std::string::npos) << command;
        }
    }
    const std::string examples = fs::path(CliPath()).parent_path() / "galerion-make-examples";
    const TResult r = TCliRun(dir, {"--help"}, examples).Wait();
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Usage: galerion-make-examples DIR"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "--help"));
}

TEST_F(Cli, SettingsShowAndCheckWhatTheyAllow) {
    const std::vector<std::string> base = {"--settings", settingsFile, "settings"};
    const auto settings = [&](std::vector<std::string> args) {
        args.insert(args.begin(), base.begin(), base.end());
        return RunCli(dir, args);
    };
    struct Case {
        const char* assignment;
        int status;
        const char* shown;  // on stdout when accepted, on stderr when refused
    };
    const Case cases[] = {
        {"UpdateMode=update", 0, "UpdateMode=2 (update)"},
        {"OutputFilenames=lower", 0, "OutputFilenames=0 (lower)"},
        {"ResizeMode=lanczos", 0, "ResizeMode=3 (lanczos)"},
        {"ResizeMode=1", 0, "ResizeMode=1 (linear)"},
        {"UpdateMode=4", 2, "0 ask, 1 insert, 2 update, 3 cancel"},
        {"JpegCompressionThumb=0", 2, "1-100"},
        {"JpegCompressionThumb=101", 2, "1-100"},
        {"ThumbWidth=-3", 2, "1-65500"},
        {"ProcessLarge=maybe", 2, "0, 1, true or false"},
    };
    for (const Case& c : cases) {
        const TResult r = settings({"set", c.assignment});
        EXPECT_EQ(r.status, c.status) << c.assignment << r.err;
        EXPECT_NE((c.status ? r.err : r.out).find(c.shown), std::string::npos)
            << c.assignment << ": " << r.out << r.err;
    }
    EXPECT_EQ(settings({"get", "JpegCompressionThumb"}).out, "90\n");  // nothing refused got stored

    TResult r = settings({"set", "MainDir=" + dir / "photos"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("MainDir=" + dir / "photos/*.*"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("The main directory is " + dir / "photos"), std::string::npos) << r.out;
    EXPECT_EQ(settings({"get", "MainDir"}).out, dir / "photos/*.*\n");
    EXPECT_EQ(RunCli(dir, {"--settings", settingsFile, "--set", "MainDir=" + album, "settings",
                           "get", "MainDir"})
                  .out,
              album + "/*.*\n");

    r = settings({"list"});
    EXPECT_NE(r.out.find("UpdateMode=2 (update)\n    what to do with an album already in the "
                         "database; allowed: 0 ask, 1 insert, 2 update, 3 cancel\n"),
              std::string::npos)
        << r.out;
}

TEST_F(Cli, AQualityOutsideItsRangeIsRefusedBeforeAnyFile) {
    ASSERT_EQ(RunCli(dir, With({"init-db"})).status, 0);
    WriteText(settingsFile, RegFile("\"JpegCompressionMedium\"=dword:00000000\n"));
    const TResult r = RunCli(dir, With({"--update-mode", "update", "process", album}));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("JpegCompressionMedium takes 1-100, not 0"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(album + "/ps_thumb"));
    EXPECT_FALSE(fs::exists(album + "/ps_medium"));
}

}  // namespace
}  // namespace galerion
