#include "platform/file_system.h"

#include "platform/errors.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace galerion {
namespace {
namespace fs = std::filesystem;

class FileSystem : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return folder_ / name; }
    void Write(const std::string& name, const std::string& text) const {
        fs::create_directories(fs::path(Path(name)).parent_path());
        std::ofstream(Path(name), std::ios::binary) << text;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    size_t EntryCount(const std::string& folder) const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(Path(folder)), {}));
    }

    test::TTempFolder folder_;
};

TEST_F(FileSystem, RemoveFolderTreeRemovesLinksButNotWhatTheyPointTo) {
    Write("keep/precious.txt", "mine");
    Write("work/a/file.txt", "x");
    fs::create_directory_symlink(Path("keep"), Path("work/a/folder-link"));
    fs::create_symlink(Path("keep/precious.txt"), Path("work/file-link"));

    RemoveFolderTree(Path("work"));

    EXPECT_FALSE(fs::exists(fs::symlink_status(Path("work"))));
    EXPECT_EQ(Read("keep/precious.txt"), "mine");
}

TEST_F(FileSystem, RemoveFolderTreeLeavesAFolderThatIsALink) {
    Write("keep/precious.txt", "mine");
    fs::create_directory_symlink(Path("keep"), Path("work"));

    RemoveFolderTree(Path("work"));

    EXPECT_TRUE(fs::is_symlink(Path("work")));
    EXPECT_EQ(Read("keep/precious.txt"), "mine");
}

TEST_F(FileSystem, ExistenceTestsFollowLinks) {
    Write("file", "x");
    fs::create_directory(Path("folder"));
    fs::create_symlink(Path("file"), Path("link"));
    fs::create_symlink(Path("missing"), Path("dangling"));
    EXPECT_TRUE(IsRegularFile(Path("file")));
    EXPECT_TRUE(IsRegularFile(Path("link")));
    EXPECT_FALSE(IsRegularFile(Path("folder")));
    EXPECT_TRUE(PathExists(Path("folder")));
    EXPECT_FALSE(PathExists(Path("dangling")));
    EXPECT_FALSE(PathExists(Path("missing")));
}

TEST_F(FileSystem, ReplacingFileWithoutCommitLeavesTheOldContents) {
    Write("out.jpg", "old");
    {
        TReplacingFile file(Path("out.jpg"));
        file.Write("new", 3);
    }
    EXPECT_EQ(Read("out.jpg"), "old");
    EXPECT_EQ(EntryCount(""), 1u);

    TReplacingFile file(Path("out.jpg"));
    file.Write("new", 3);
    file.Commit();
    EXPECT_EQ(Read("out.jpg"), "new");
    EXPECT_EQ(EntryCount(""), 1u);
}

TEST_F(FileSystem, ReplaceFileAtomicallyWritesThroughALinkAndKeepsTheMode) {
    Write("real/settings.reg", "old");
    ::chmod(Path("real/settings.reg").c_str(), 0600);
    fs::create_symlink(Path("real/settings.reg"), Path("settings.reg"));

    ReplaceFileAtomically(Path("settings.reg"), "new");

    EXPECT_TRUE(fs::is_symlink(Path("settings.reg")));
    EXPECT_EQ(Read("real/settings.reg"), "new");
    EXPECT_EQ(fs::status(Path("real/settings.reg")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    ReplaceFileAtomically(Path("new/folder/file"), "made");
    EXPECT_EQ(Read("new/folder/file"), "made");
}

TEST_F(FileSystem, OpenRegularFileRefusesWhatIsNoRegularFile) {
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
    fs::create_directory(Path("folder"));
    for (const char* name : {"fifo", "folder", "missing"})
        EXPECT_THROW(OpenRegularFile(Path(name)), FileError) << name;
}

}  // namespace
}  // namespace galerion
