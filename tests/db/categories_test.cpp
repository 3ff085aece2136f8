// The category rows: load with usage counts, insert, update, delete.
#include "db/categories.h"

#include "platform/errors.h"
#include "support/scripted_host.h"
#include "support/temp_folder.h"
#include "support/test_backends.h"
#include "support/test_database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace galerion {
namespace {

using test::TBackend;

// Straight through the backend's client library: the checks do not use the code under test.
void RunRaw(const std::string& connection, const std::string& sql) {
    test::RawExecute(connection, sql);
}
std::string ScalarText(const std::string& connection, const std::string& sql) {
    return test::RawScalar(connection, sql);
}
int ScalarInt(const std::string& connection, const std::string& sql) {
    return std::stoi(ScalarText(connection, sql));
}

class CategoryStore : public ::testing::TestWithParam<TBackend> {
protected:
    void SetUp() override {
        GALERION_REQUIRE_BACKEND(GetParam());
        site_ = std::make_unique<test::TTestSite>(GetParam());
        connection_ = site_->Connection();
    }
    TCategoryItem Stored(const std::string& title) {
        TCategoryItem item;
        item.title = title;
        item.description = title + " description";
        InsertCategory(connection_, item, host_);
        return item;
    }

    std::unique_ptr<test::TTestSite> site_;
    std::string connection_;
    TCategoryCheckList list_;
    test::TScriptedHost host_;
};

INSTANTIATE_TEST_SUITE_P(Backends, CategoryStore, ::testing::ValuesIn(test::AllBackends()),
                         test::TBackendParamName());

TEST_P(CategoryStore, EmptyTableGivesEmptyList) {
    list_.Add("old (1)", std::make_unique<TCategoryItem>());
    LoadCategories(connection_, list_, host_);
    EXPECT_EQ(list_.Count(), 0);
}

TEST_P(CategoryStore, LoadListsTitlesWithUsageCounts) {
    const TCategoryItem family = Stored("family");
    const TCategoryItem sea = Stored("sea");
    RunRaw(connection_, "INSERT INTO picture_to_category VALUES (1, " +
                            std::to_string(family.category_id) + "), (2, " +
                            std::to_string(family.category_id) + "), (3, " +
                            std::to_string(family.category_id) + ")");
    list_.Add("stale", nullptr);
    LoadCategories(connection_, list_, host_);
    ASSERT_EQ(list_.Count(), 2);
    EXPECT_EQ(list_.Text(0), "family (3)");
    EXPECT_EQ(list_.Text(1), "sea (0)");
    const TCategoryItem* item = list_.ItemAt(0);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->usage_count, 3);
    EXPECT_EQ(item->category_id, family.category_id);
    EXPECT_EQ(item->category_guid, family.category_guid);
    EXPECT_EQ(item->description, "family description");
    EXPECT_EQ(list_.Mark(0), TCheckMark::Unticked);
    EXPECT_EQ(list_.ItemAt(1)->category_id, sea.category_id);
}

TEST_P(CategoryStore, InsertGivesGuidAndTheRowsId) {
    TCategoryItem item = Stored("family");
    EXPECT_TRUE(std::regex_match(
        item.category_guid,
        std::regex(R"(\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\})")))
        << item.category_guid;
    EXPECT_EQ(item.category_id,
              ScalarInt(connection_, "SELECT category_id FROM category WHERE category_guid = '" +
                                         item.category_guid + "'"));
    EXPECT_EQ(item.usage_count, 0);
    EXPECT_NE(Stored("second").category_guid, item.category_guid);

    item.title = "Kids' party";
    item.alt_title = "Kinder's Fest";
    item.description = "";
    UpdateCategory(connection_, item, host_);
    EXPECT_EQ(ScalarText(connection_, "SELECT title FROM category WHERE category_id = " +
                                          std::to_string(item.category_id)),
              "Kids' party");
    LoadCategories(connection_, list_, host_);
    ASSERT_EQ(list_.Count(), 2);
    // The rows come in the database's order: a server may return an updated row last.
    const int updated = list_.ItemAt(0)->category_guid == item.category_guid ? 0 : 1;
    EXPECT_EQ(list_.ItemAt(updated)->category_guid, item.category_guid);
    EXPECT_EQ(list_.ItemAt(updated)->alt_title, "Kinder's Fest");
    EXPECT_EQ(list_.ItemAt(updated)->description, "");
    EXPECT_EQ(list_.ItemAt(1 - updated)->title, "second");  // untouched

    DeleteCategory(connection_, item, host_);
    EXPECT_EQ(ScalarInt(connection_, "SELECT COUNT(*) FROM category"), 1);
    EXPECT_EQ(ScalarText(connection_, "SELECT title FROM category"), "second");
}

TEST_P(CategoryStore, FailuresLeaveListAndItemAlone) {
    list_.Add("kept (2)", std::make_unique<TCategoryItem>());
    RunRaw(connection_, "DROP TABLE category");
    EXPECT_FALSE(LoadCategories(connection_, list_, host_));
    ASSERT_EQ(host_.errors.size(), 1u);
    EXPECT_NE(host_.errors[0].find("category"), std::string::npos) << host_.errors[0];
    ASSERT_EQ(list_.Count(), 1);
    EXPECT_EQ(list_.Text(0), "kept (2)");

    TCategoryItem item;
    item.title = "x";
    EXPECT_FALSE(InsertCategory(connection_, item, host_));
    EXPECT_EQ(item.category_id, 0);
    EXPECT_EQ(item.category_guid, "");
}

TEST(CategoryStoreSqlite, MissingDatabaseFailsWithoutMakingIt) {
    test::TTempFolder folder;
    TCategoryCheckList list_;
    test::TScriptedHost host_;
    const std::string connection = test::SqliteConnection(folder.File("none.db"));
    EXPECT_FALSE(LoadCategories(connection, list_, host_));
    TCategoryItem item;
    EXPECT_FALSE(InsertCategory(connection, item, host_));
    EXPECT_FALSE(UpdateCategory(connection, item, host_));
    EXPECT_FALSE(DeleteCategory(connection, item, host_));
    EXPECT_EQ(host_.errors.size(), 4u);
    EXPECT_FALSE(std::filesystem::exists(folder.File("none.db")));
}

}  // namespace
}  // namespace galerion
