#include "processing/album_search.h"

#include "core/settings.h"
#include "support/files.h"
#include "support/test_database.h"
#include "support/wizard_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace galerion {
namespace {

using test::MakeFolder;
using test::TTempFolder;

TEST(AlbumSearch, ListsFoldersWithoutOutputAndWorkingFolders) {
    TTempFolder root;
    for (const char* f : {"2003/Summer/ps_thumb", "tmp", "2003/Summer/PS_THUMB2", "b/Tmp/inner"})
        MakeFolder(root / f);
    const auto found = SearchAlbums(root.Path() + "/*.*", ExcludedFolderNames(TSettings{}));
    const std::string r = root.Path();
    EXPECT_EQ(found, (std::vector<std::string>{r, r + "/2003", r + "/2003/Summer",
                                               r + "/2003/Summer/PS_THUMB2", r + "/b",
                                               r + "/b/Tmp/inner"}));
}

TEST(AlbumSearch, HiddenFoldersAreNeitherListedNorEntered) {
    TTempFolder root;
    for (const char* f : {".cache/thumbnails", "a/.git/objects", "a/b.c"}) MakeFolder(root / f);
    const std::string r = root.Path();
    EXPECT_EQ(SearchAlbums(r + "/*.*", {}), (std::vector<std::string>{r, r + "/a", r + "/a/b.c"}));
}

TEST(AlbumSearch, ExcludedNamesFollowTheSettingsAndIgnoreCase) {
    TTempFolder root;
    for (const char* f : {"a/ps_thumb", "a/SMALL", "a/Ps_Medium"}) MakeFolder(root / f);
    TSettings settings;
    settings.ThumbFolder = "small";
    const auto found = SearchAlbums(root.Path() + "/*.*", ExcludedFolderNames(settings));
    const std::string r = root.Path();
    EXPECT_EQ(found, (std::vector<std::string>{r, r + "/a", r + "/a/ps_thumb"}));
}

TEST(AlbumSearch, SortIgnoresLetterCaseAndTheMaskFiltersFolders) {
    TTempFolder root;
    for (const char* f : {"beta", "Alpha", "gamma", "Beta2"}) MakeFolder(root / f);
    const std::string r = root.Path();
    EXPECT_EQ(SearchAlbums(r + "/*.*", {}),
              (std::vector<std::string>{r, r + "/Alpha", r + "/beta", r + "/Beta2", r + "/gamma"}));
    EXPECT_EQ(SearchAlbums(r + "/b*", {}),
              (std::vector<std::string>{r, r + "/beta", r + "/Beta2"}));
}

TEST(AlbumSearch, MissingMainDirectoryListsOnlyItself) {
    TTempFolder root;
    EXPECT_EQ(SearchAlbums(root / "nowhere/*.*", {}), (std::vector<std::string>{root / "nowhere"}));
}

TEST(AlbumSearch, LinkLoopIsSearchedOnce) {
    TTempFolder root;
    MakeFolder(root / "a/b");
    std::filesystem::create_directory_symlink(root / "a", root / "a/b/back");
    const auto found = SearchAlbums(root.Path() + "/*.*", {});
    // "back" leads into a folder already entered: neither searched nor listed again.
    EXPECT_EQ(found, (std::vector<std::string>{root.Path(), root / "a", root / "a/b"}));
}

}  // namespace
}  // namespace galerion
