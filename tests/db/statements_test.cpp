#include "db/statements.h"

#include "platform/errors.h"

#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

namespace galerion {
namespace {

TEST(SqlQuote, QuotesAndNull) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "NULL"},     {"O'Brien", "'O''Brien'"}, {" ", "' '"},
        {"''", "''''''"}, {"a'b'c", "'a''b''c'"},    {"\xC3\xA9t\xC3\xA9", "'\xC3\xA9t\xC3\xA9'"},
    };
    for (const auto& [text, literal] : cases) EXPECT_EQ(SqlQuote(text).Text(), literal) << text;
}

TEST(SqlValues, BoolDateTimeAndDigits) {
    EXPECT_EQ(SqlBool(true).Text(), "-1");
    EXPECT_EQ(SqlBool(false).Text(), "0");
    EXPECT_EQ(SqlDateTime(EncodeDateTime({2024, 5, 17, 0, 0, 0})).Text(), "'2024-05-17'");
    EXPECT_EQ(SqlDateTime(EncodeDateTime({2024, 5, 17, 8, 30, 5})).Text(), "'2024-05-17 08:30:05'");
    EXPECT_EQ(SqlDigits("0").Text(), "0");
    EXPECT_EQ(SqlDigits("1234567890").Text(), "1234567890");
    EXPECT_EQ(SqlDigits("-3").Text(), "-3");  // a hand-made row's negative identifier
    for (const std::string bad :
         {"", "-", "--1", "1-", "- 1", " 7", "7 ", "1e3", "3 OR 1=1", "0x10", "'5'"})
        EXPECT_THROW(SqlDigits(bad), DataAccessError) << bad;
}

TEST(FormatSql, FillsSlotsInOrder) {
    EXPECT_EQ(FormatSql(sqlSetAlbumFace, {-1, 42}),
              "UPDATE album SET face_picture_id = -1 WHERE album_id = 42");
    EXPECT_EQ(FormatSql(sqlInsertPictureCategory, {7, SqlDigits("12")}),
              "INSERT INTO picture_to_category (picture_id, category_id) VALUES (7, 12)");
    EXPECT_EQ(FormatSql(sqlCountAlbumByPath, {SqlQuote("/p/it's")}),
              "SELECT COUNT(*) FROM album WHERE original_path = '/p/it''s'");
    // A value holding a slot marker is not formatted again.
    EXPECT_EQ(FormatSql("a %s b %d", {SqlQuote("%d"), 3}), "a '%d' b 3");
    EXPECT_EQ(FormatSql("100% %s", {SqlBool(true)}), "100% -1");
    EXPECT_EQ(FormatSql(sqlProbeAlbums, {}), "SELECT COUNT(*) FROM album");
}

TEST(FormatSql, SlotMismatchIsDataAccessError) {
    EXPECT_THROW(FormatSql("%d", {SqlDigits("1")}), DataAccessError);
    EXPECT_THROW(FormatSql("%s", {1}), DataAccessError);
    EXPECT_THROW(FormatSql("%s %s", {SqlQuote("a")}), DataAccessError);
    EXPECT_THROW(FormatSql("%s", {SqlQuote("a"), SqlQuote("b")}), DataAccessError);
}

// Only the quoting and value helpers make a %s value: raw text does not compile there.
static_assert(!std::is_constructible_v<TSqlArg, std::string>);
static_assert(!std::is_constructible_v<TSqlArg, const char*>);
static_assert(!std::is_constructible_v<TSqlArg, std::string_view>);
static_assert(!std::is_constructible_v<TSqlArg, bool>);
static_assert(!std::is_constructible_v<TSqlText, std::string>);
static_assert(std::is_constructible_v<TSqlArg, TSqlText>);

// The slot kinds of every statement, in order, as the callers fill them.
std::string Slots(const std::string& statement) {
    std::string kinds;
    for (size_t i = 0; i + 1 < statement.size(); ++i)
        if (statement[i] == '%') kinds += statement[i + 1];
    return kinds;
}

TEST(Statements, SlotSignatures) {
    const std::vector<std::pair<const char*, std::string>> cases = {
        {sqlSelectAlbumByPath, "s"},
        {sqlCountAlbumByPath, "s"},
        {sqlProbeAlbums, ""},
        {sqlInsertAlbum, "sdssssssss"},
        {sqlUpdateAlbum,
         "dssssssss"
         "s"},
        {sqlSetAlbumFace, "dd"},
        {sqlSelectPicture, "sd"},
        {sqlInsertPicture, std::string(14, 's') + std::string(8, 'd')},
        {sqlUpdatePicture, std::string(13, 's') + std::string(7, 'd') + "sd"},
        {sqlCountCategoryUse, "s"},
        {sqlSelectCategories, ""},
        {sqlSelectCategoryIdByGuid, "s"},
        {sqlInsertCategory, "sssss"},
        {sqlUpdateCategory, "sssss"},
        {sqlDeleteCategory, "s"},
        {sqlSelectPictureCategories, "d"},
        {sqlInsertPictureCategory, "ds"},
        {sqlDeletePictureCategories, "d"},
    };
    for (const auto& [statement, kinds] : cases) EXPECT_EQ(Slots(statement), kinds) << statement;
}

TEST(Statements, IrregularSpacingKept) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {sqlInsertCategory, "alt_description)  VALUES ( %s, %s, %s, %s, %s )"},
        {sqlUpdateCategory, "alt_title = %s,  alt_description = %s WHERE"},
        {sqlUpdateAlbum, "description = %s, alt_long_name= %s, alt_description = %s WHERE"},
        {sqlSelectPicture, "WHERE filename_original=%s AND album_id = %d"},
        {sqlUpdatePicture, "WHERE filename_original = %s and album_id=%d"},
        {sqlDeleteCategory, "DELETE * FROM category WHERE"},
    };
    for (const auto& [statement, part] : cases)
        EXPECT_NE(std::string(statement).find(part), std::string::npos) << statement;
}

}  // namespace
}  // namespace galerion
