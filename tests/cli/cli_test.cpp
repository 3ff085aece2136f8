// galerion-cli run as a process, the way scripts and cron jobs use it.
#include "support/files.h"
#include "support/test_database.h"
#include "support/wizard_fixture.h"
#include "image/bitmap32.h"
#include "image/jpeg_codec.h"
#include "support/test_backends.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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
    TCliRun(const TTempFolder& dir, std::vector<std::string> args) : dir_(dir) {
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
            const std::string cli = CliPath();
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

TResult RunCli(const TTempFolder& dir, std::vector<std::string> args) {
    return TCliRun(dir, std::move(args)).Wait();
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
    for (std::vector<std::string> bad : {std::vector<std::string>{}, {"frobnicate"}, {"--nope"},
                                         {"process"}, {"process", "--all", "x"},
                                         {"--update-mode", "maybe", "albums"}}) {
        const TResult r = RunCli(dir, bad);
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_NE(r.err.find("galerion-cli:"), std::string::npos);
    }
}

TEST_F(Cli, SettingsSetThenGet) {
    WriteText(settingsFile, "Windows Registry Editor Version 5.00\n\n"
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
    EXPECT_NE(RunCli(dir, {"--settings", settingsFile, "settings", "list"}).out.find("ThumbWidth=200"),
              std::string::npos);
    EXPECT_EQ(RunCli(dir, {"--settings", settingsFile, "settings", "get", "NoSuch"}).status, 1);
    // The window placement it cannot judge without a screen is kept as stored.
    EXPECT_NE(ReadAll(settingsFile).find("\"Width\"=dword:0000003c"), std::string::npos);
}

TEST_F(Cli, InitDbThenProcessThenUpdate) {
    TResult r = RunCli(dir, With({"init-db"}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("The tables have been created successfully."), std::string::npos);

    // No terminal: "ask" cannot be answered.
    r = RunCli(dir, With({"process", album}));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--update-mode"), std::string::npos);

    r = RunCli(dir, With({"--update-mode", "update", "process", album}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(album + "/ps_thumb/tn_a.jpg"));
    EXPECT_TRUE(fs::exists(album + "/ps_medium/m_b.jpg"));
    EXPECT_FALSE(fs::exists(album + "/tmp"));
    const std::string connection = "Provider=SQLite;Data Source=" + db;
    EXPECT_EQ(ScalarInt(connection, "SELECT COUNT(*) FROM picture"), 2);

    // Edits stored by the window survive a batch run.
    RunRaw(connection, "UPDATE picture SET orientation = 2, title = 'Kept' "
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
    EXPECT_EQ(RawScalar(site.Connection(), "SELECT filename_thumb FROM picture WHERE "
                                           "filename_original = 'Trip/a.jpg'"),
              "Trip/ps_thumb/tn_a.jpg");

    // A server that is not there: the server's words, a failed run, nothing else.
    r = RunCli(dir, {"--settings", settingsFile, "--db",
                     "Provider=PostgreSQL;Host=/nonexistent/galerion", "--update-mode", "update",
                     "process", album});
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
    EXPECT_NE((r.out + r.err).find("Can not instantiate data access component."),
              std::string::npos)
        << r.out << r.err;
    EXPECT_NE((r.out + r.err).find("libgalerion-nothing.so.1"), std::string::npos);
}

TEST_F(Cli, InterruptStopsAfterTheCurrentPictureLeavingCompleteFiles) {
    ASSERT_EQ(RunCli(dir, With({"init-db"})).status, 0);
    for (int i = 0; i < 40; ++i) WriteJpeg(album + "/p" + std::to_string(100 + i) + ".jpg", 1600, 1200);
    TCliRun run(dir, With({"--update-mode", "insert", "--set", "ProcessLarge=1", "process", album}));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!fs::exists(album + "/ps_thumb/tn_p101.jpg") && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    run.Signal(SIGINT);
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
    EXPECT_EQ(ScalarInt("Provider=SQLite;Data Source=" + db, "SELECT COUNT(*) FROM picture"), 0);
}

}  // namespace
}  // namespace galerion
