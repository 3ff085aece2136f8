#include "db/script_text.h"

#include "platform/errors.h"
#include "support/scripted_host.h"
#include "support/temp_folder.h"
#include "support/test_database.h"

#include <gtest/gtest.h>

#include <fstream>

namespace galerion {
namespace {

using TStatements = std::vector<std::string>;

TEST(SplitScriptStatements, BlankLinesSeparate) {
    const std::vector<std::pair<std::string, TStatements>> cases = {
        {"", {}},
        {"\n\n \t\n", {}},
        {"A\n\n\nB", {" A", " B"}},
        {"\nA\n", {" A"}},
        {"A\n \t \nB\n", {" A", " B"}},
        {"CREATE TABLE t (\n  a INTEGER\n)\n", {" CREATE TABLE t (   a INTEGER )"}},
        {"A\r\nB\r\n\r\nC\rD\r\rE", {" A B", " C D", " E"}},
        {"A \n\x01\x7F\nB", {" A ", " B"}},  // control characters only: a blank line
        {"\xEF\xBB\xBF"
         "A",
         {" A"}},
    };
    for (const auto& [script, statements] : cases)
        EXPECT_EQ(SplitScriptStatements(script), statements) << script;
}

TEST(ReadScriptFile, ReadsBytesAndReportsFailures) {
    test::TTempFolder folder;
    const std::string file = folder.File("s.sql");
    std::ofstream(file, std::ios::binary) << "A\r\n\r\nB";
    EXPECT_EQ(ReadScriptFile(file), "A\r\n\r\nB");
    EXPECT_THROW(ReadScriptFile(folder.File("none.sql")), FileError);
    EXPECT_THROW(ReadScriptFile(folder.Path()), FileError);
}

}  // namespace
}  // namespace galerion
