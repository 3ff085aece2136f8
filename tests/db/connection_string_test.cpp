#include "db/connection_string.h"

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

}  // namespace
}  // namespace galerion
