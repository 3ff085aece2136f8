#include "db/connection_string.h"
#include "db/postgres_connection_string.h"

#include <gtest/gtest.h>

namespace galerion {
namespace {

TEST(ConnectionStringValue, FindsKeysLikeTheBackendsDo) {
    const std::string connection =
        " provider = SQLite ; Data Source=/srv/site $1.db;Mode=\"a;b\";Empty=;Flag";
    EXPECT_EQ(ConnectionStringValue(connection, "Provider"), "SQLite");
    EXPECT_EQ(ConnectionStringValue(connection, "DATA SOURCE"), "/srv/site $1.db");
    EXPECT_EQ(ConnectionStringValue(connection, "mode"), "a;b");
    EXPECT_EQ(ConnectionStringValue(connection, "Empty"), "");
    EXPECT_EQ(ConnectionStringValue(connection, "Flag"), "");
    EXPECT_EQ(ConnectionStringValue(connection, "User"), std::nullopt);
    EXPECT_EQ(ConnectionStringValue("", "Provider"), std::nullopt);
}

TEST(ConnectionStringParts, EveryKeyedPartInOrder) {
    const auto parts = ConnectionStringParts(" A = 1 ;;=x; b='p;q' ;Flag");
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0].key, "A");
    EXPECT_EQ(parts[0].value, "1");
    EXPECT_EQ(parts[1].key, "b");
    EXPECT_EQ(parts[1].value, "p;q");
    EXPECT_EQ(parts[2].key, "Flag");
    EXPECT_EQ(parts[2].value, "");
}

TEST(PostgresConnectionKeywords, NamesBecomeTheClientLibrarysKeywords) {
    using TKeywords = std::vector<std::pair<std::string, std::string>>;
    const struct {
        std::string connection;
        TKeywords keywords;
    } cases[] = {
        {"Provider=PostgreSQL;Host=db.example;Port=5433;Database=site;User ID=web;Password=s3;",
         {{"host", "db.example"},
          {"port", "5433"},
          {"dbname", "site"},
          {"user", "web"},
          {"password", "s3"}}},
        {"provider=postgresql;SERVER=/run/pg;initial catalog=x;USERNAME=u",
         {{"host", "/run/pg"}, {"dbname", "x"}, {"user", "u"}}},
        // Other parts go on as written; the password is left to the library when missing.
        {"Provider=PostgreSQL;Host=h;SSLMode=require;connect_timeout=3;Password=",
         {{"host", "h"}, {"sslmode", "require"}, {"connect_timeout", "3"}}},
        // The program sets the client encoding; the first of two hosts counts.
        {"Provider=PostgreSQL;Host=a;client_encoding=LATIN1;Server=b;options=-c x=1",
         {{"host", "a"}, {"options", "-c x=1"}}},
        {"Provider=PostgreSQL;Password='p;w'", {{"password", "p;w"}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PostgresConnectionKeywords(c.connection), c.keywords) << c.connection;
}

}  // namespace
}  // namespace galerion
