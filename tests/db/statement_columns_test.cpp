#include "db/statement_columns.h"

#include "db/statements.h"

#include <gtest/gtest.h>

namespace galerion {
namespace {

// The column of the value that holds the marker '#'.
std::string ColumnOfMarker(const std::string& sql) { return ColumnAt(sql, sql.find('#')); }

TEST(StatementColumns, NamesTheColumnOfAQuotedValue) {
    const auto q = [](const std::string& text) { return SqlQuote(text); };
    const auto none = q("");
    const struct {
        std::string sql;
        std::string column;
    } cases[] = {
        {FormatSql(sqlInsertAlbum, {q("/p"), -1, q("2024-05-17"), q("s"), SqlBool(false), q("d"),
                                    q("it's #"), none, none, none}),
         "album.long_name"},
        {FormatSql(sqlInsertPicture, {q("t"),
                                      q("a, (b)"),
                                      q("Trip/a.jpg"),
                                      none,
                                      none,
                                      none,
                                      none,
                                      none,
                                      none,
                                      none,
                                      q("#"),
                                      q("2024-05-17"),
                                      SqlBool(true),
                                      SqlBool(false),
                                      1,
                                      2,
                                      3,
                                      4,
                                      5,
                                      6,
                                      7,
                                      8}),
         "picture.hash_temp"},
        {FormatSql(sqlUpdatePicture, {q("#"),
                                      none,
                                      none,
                                      none,
                                      none,
                                      none,
                                      none,
                                      none,
                                      none,
                                      none,
                                      q("2024-05-17"),
                                      SqlBool(true),
                                      SqlBool(false),
                                      1,
                                      2,
                                      3,
                                      4,
                                      5,
                                      6,
                                      7,
                                      q("Trip/a.jpg"),
                                      8}),
         "picture.title"},
        {FormatSql(sqlUpdateAlbum, {1, q("2024-05-17"), none, SqlBool(true), none, none, none,
                                    q("x#"), none, q("/p")}),
         "album.alt_long_name"},
        {FormatSql(sqlUpdateCategory, {none, none, none, none, q("{#}")}),
         "category.category_guid"},
        {FormatSql(sqlSelectPicture, {q("Trip/#.jpg"), 3}), "picture.filename_original"},
        {FormatSql(sqlInsertCategory, {q("{G}"), q("''#''"), none, none, none}), "category.title"},
        {"SELECT 1 WHERE '#' = 'x'", ""},    // no column before the value
        {"INSERT INTO t VALUES ('#')", ""},  // no column list
        {"UPDATE t SET a = 1 -- #", ""},     // not inside a quoted value
    };
    for (const auto& c : cases) EXPECT_EQ(ColumnOfMarker(c.sql), c.column) << c.sql;
}

}  // namespace
}  // namespace galerion
