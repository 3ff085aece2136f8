#include "platform/file_mask.h"

#include <gtest/gtest.h>

namespace galerion {
namespace {

TEST(FileMask, WindowsMatchingRules) {
    struct Case {
        const char* name;
        const char* mask;
        bool matches;
    };
    const Case cases[] = {
        {"photo.jpg", "*.*", true}, {"README", "*.*", true},    {".hidden", "*.*", true},
        {"A.JPG", "*.jpg", true},   {"a.jpeg", "*.jpg", false}, {"a.jpeg", "*.j*", true},
        {"2003", "20??", true},     {"2003", "20?", false},     {"Summer", "s*", true},
        {"noext", "*.", true},      {"with.ext", "*.", false},  {"noext", "noext.*", true},
        {"abc", "a*c", true},       {"abxc", "a*c", true},      {"abcd", "a*c", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchesFileMask(c.name, c.mask), c.matches) << c.name << " ~ " << c.mask;
}

TEST(FileMask, Split) {
    EXPECT_EQ(SplitMask("/home/u/Photos/*.*").folder, "/home/u/Photos/");
    EXPECT_EQ(SplitMask("/home/u/Photos/*.*").pattern, "*.*");
    EXPECT_EQ(SplitMask("*.*").folder, "");
}

}  // namespace
}  // namespace galerion
