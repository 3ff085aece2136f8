#include "db/data_source.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace galerion {
namespace {

struct TExtractCase {
    std::string connection;
    std::string path;
};

TEST(ExtractDataSource, PatternCases) {
    const std::vector<TExtractCase> cases = {
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\Photos\\site.mdb",
         "C:\\Photos\\site.mdb"},
        {"Provider=X;data source = C:\\x.mdb;Persist Security Info=False", "C:\\x.mdb"},
        {"Provider=X;DATA SOURCE=\t/srv/a.db", "/srv/a.db"},
        {"Provider=X;Persist Security Info=False", ""},
        {"Provider=X;Data Source=/srv/a$b.db", "/srv/a"},
        {"Data Source=/srv/a.db  ;x=1", "/srv/a.db  "},
        {"Data Source=", ""},
        {"Data Source /srv/a.db", ""},
        {"Data  Source=/srv/a.db", ""},  // the key has exactly one blank
        {"Provider=SQLite;Data Source=/a.db;Data Source=/b.db", "/a.db"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ExtractDataSource(c.connection), c.path) << c.connection;
}

struct TReplaceCase {
    std::string connection;
    std::string path;
    std::string result;
};

TEST(ReplaceDataSource, PatternCases) {
    const std::vector<TReplaceCase> cases = {
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\a.mdb", "D:\\b.mdb",
         "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=D:\\b.mdb"},
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\a.mdb", "",
         "Provider=Microsoft.Jet.OLEDB.4.0;Data Source="},
        {"Provider=X;Persist Security Info=False", "/b.db",
         "Provider=X;Persist Security Info=False"},
        {"Provider=X;data source = /a.db ;Mode=Share", "/b.db",
         "Provider=X;Data Source=/b.db;Mode=Share"},
        // Substitution markers in the path are taken literally.
        {"Data Source=/a.db", "/srv/$1/$&/\\1.db", "Data Source=/srv/$1/$&/\\1.db"},
        // The value ends at '$': the rest of the old path stays behind the new one.
        {"Data Source=/a$b.db", "/c.db", "Data Source=/c.db$b.db"},
        {"Data Source=/a.db;Data Source=/b.db", "/c.db", "Data Source=/c.db;Data Source=/c.db"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReplaceDataSource(c.connection, c.path), c.result) << c.connection;
}

TEST(DataSource, LongInputIsHandled) {
    const std::string path(200000, 'p');
    EXPECT_EQ(ExtractDataSource("Data Source=" + path), path);
    EXPECT_EQ(ReplaceDataSource("Data Source=" + path, "/x"), "Data Source=/x");
}

}  // namespace
}  // namespace galerion
