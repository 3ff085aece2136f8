#include "cli/cli_options.h"

#include <gtest/gtest.h>

namespace galerion {
namespace {

TEST(CliOptions, ParsesCommonOptionsAnywhere) {
    const TCliOptions o = ParseCommandLine({"--quiet", "process", "--db", "x.db", "/a", "--set",
                                            "ResizeMode=1", "--update-mode", "cancel", "/b"});
    EXPECT_EQ(o.command, TCliCommand::Process);
    EXPECT_EQ(o.arguments, (std::vector<std::string>{"/a", "/b"}));
    EXPECT_EQ(*o.database, "x.db");
    EXPECT_EQ(o.overrides.at(0), (std::pair<std::string, std::string>{"ResizeMode", "1"}));
    EXPECT_EQ(*o.updateMode, 3);
    EXPECT_TRUE(o.quiet);
}

TEST(CliOptions, ConnectionFromArgument) {
    EXPECT_EQ(ConnectionFromArgument("Provider=SQLite;Data Source=/x.db"),
              "Provider=SQLite;Data Source=/x.db");
    EXPECT_EQ(ConnectionFromArgument("/srv/site.db"), "Provider=SQLite;Data Source=/srv/site.db");
}

TEST(CliOptions, RejectsWhatItCannotUnderstand) {
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"settings", "get"},
                                                {"settings", "set", "Name"},
                                                {"albums", "a", "b"},
                                                {"--quiet", "--verbose", "albums"},
                                                {"--db"},
                                                {"init-db", "--all"}})
        EXPECT_THROW(ParseCommandLine(bad), TUsageError);
}

}  // namespace
}  // namespace galerion
