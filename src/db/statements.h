#pragma once
// Every statement text the program sends, and the only ways a value enters one.
#include "platform/date_time.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace galerion {

// Sent exactly as written here, irregular spacing included.
inline constexpr const char* sqlSelectAlbumByPath =
    "SELECT album_id, original_path, face_picture_id, album_date, short_name, is_private, "
    "dir_name, long_name, description, alt_long_name, alt_description FROM album WHERE "
    "original_path = %s";
inline constexpr const char* sqlCountAlbumByPath =
    "SELECT COUNT(*) FROM album WHERE original_path = %s";
inline constexpr const char* sqlProbeAlbums = "SELECT COUNT(*) FROM album";
inline constexpr const char* sqlInsertAlbum =
    "INSERT INTO album (original_path, face_picture_id, album_date, short_name, is_private, "
    "dir_name, long_name, description, alt_long_name, alt_description) VALUES (%s, %d, %s, %s, "
    "%s, %s, %s, %s, %s, %s)";
inline constexpr const char* sqlUpdateAlbum =
    "UPDATE album SET face_picture_id = %d, album_date = %s, short_name = %s, is_private = %s, "
    "dir_name = %s, long_name = %s, description = %s, alt_long_name= %s, alt_description = %s "
    "WHERE original_path = %s";
inline constexpr const char* sqlSetAlbumFace =
    "UPDATE album SET face_picture_id = %d WHERE album_id = %d";
inline constexpr const char* sqlSelectPicture =
    "SELECT picture_id, title, alt_title, filename_original, filename_large, filename_medium, "
    "filename_thumb, hash_original, hash_large, hash_medium, hash_thumb, hash_temp, "
    "picture_date, is_private, is_deleted, orientation, crop_X1, crop_Y1, crop_X2, crop_Y2, "
    "width, height, album_id FROM picture WHERE filename_original=%s AND album_id = %d";
inline constexpr const char* sqlInsertPicture =
    "INSERT INTO picture (title, alt_title, filename_original, filename_large, filename_medium, "
    "filename_thumb, hash_original, hash_large, hash_medium, hash_thumb, hash_temp, "
    "picture_date, is_private, is_deleted, orientation, crop_X1, crop_Y1, crop_X2, crop_Y2, "
    "width, height, album_id) VALUES (%s, %s, %s, %s, %s, %s, %s, %s, %s, %s, %s, %s, %s, %s, "
    "%d, %d, %d, %d, %d, %d, %d, %d)";
inline constexpr const char* sqlUpdatePicture =
    "UPDATE picture SET title=%s, alt_title=%s, filename_large=%s, filename_medium=%s, "
    "filename_thumb=%s, hash_original=%s, hash_large=%s, hash_medium=%s, hash_thumb=%s, "
    "hash_temp=%s, picture_date=%s, is_private=%s, is_deleted=%s, orientation=%d, crop_X1=%d, "
    "crop_Y1=%d, crop_X2=%d, crop_Y2=%d, width=%d, height=%d WHERE filename_original = %s and "
    "album_id=%d";
inline constexpr const char* sqlCountCategoryUse =
    "SELECT COUNT(*) FROM picture_to_category WHERE category_id = %s";
inline constexpr const char* sqlSelectCategories =
    "SELECT category_id, category_guid, title, description, alt_title, alt_description FROM "
    "category";
inline constexpr const char* sqlSelectCategoryIdByGuid =
    "SELECT category_id FROM category WHERE category_guid = %s";
inline constexpr const char* sqlInsertCategory =
    "INSERT INTO category (category_guid, title, description, alt_title, alt_description)  "
    "VALUES ( %s, %s, %s, %s, %s )";
inline constexpr const char* sqlUpdateCategory =
    "UPDATE category SET title = %s, description = %s, alt_title = %s,  alt_description = %s "
    "WHERE category_guid = %s";
inline constexpr const char* sqlDeleteCategory = "DELETE * FROM category WHERE category_guid = %s";
inline constexpr const char* sqlSelectPictureCategories =
    "SELECT category_id FROM picture_to_category WHERE picture_id = %d";
inline constexpr const char* sqlInsertPictureCategory =
    "INSERT INTO picture_to_category (picture_id, category_id) VALUES (%d, %s)";
inline constexpr const char* sqlDeletePictureCategories =
    "DELETE * FROM picture_to_category WHERE picture_id = %d";

class TSqlText;

// NULL for empty text, else the text between single quotes with every quote doubled.
TSqlText SqlQuote(const std::string& text);
// SqlQuote of the ISO date-time text.
TSqlText SqlDateTime(TDateTime value);
// "-1" for yes, "0" for no, unquoted.
TSqlText SqlBool(bool value);
// A text that a statement takes unquoted (category identifiers): decimal digits with an optional
// leading minus, else DataAccessError, so that no other text ever reaches a statement unquoted.
TSqlText SqlDigits(const std::string& text);

// A ready SQL fragment for a %s slot. Only the functions above make one, so a raw text can never
// reach a statement unquoted.
class TSqlText {
public:
    const std::string& Text() const { return text_; }

private:
    explicit TSqlText(std::string text) : text_(std::move(text)) {}

    friend TSqlText SqlQuote(const std::string& text);
    friend TSqlText SqlDateTime(TDateTime value);
    friend TSqlText SqlBool(bool value);
    friend TSqlText SqlDigits(const std::string& text);

    std::string text_;
};

// One slot value: an integer for %d, or a fragment for %s.
class TSqlArg {
public:
    TSqlArg(int value) : value_(value) {}
    TSqlArg(TSqlText fragment) : value_(std::move(fragment)) {}
    // A yes/no value goes through SqlBool, a wider integer must be narrowed on purpose, and a
    // text goes through SqlQuote.
    template <class T>
    TSqlArg(T) = delete;

    bool IsInteger() const { return std::holds_alternative<int>(value_); }
    int Integer() const { return std::get<int>(value_); }
    const std::string& Fragment() const { return std::get<TSqlText>(value_).Text(); }

private:
    std::variant<int, TSqlText> value_;
};

// Fills the %d and %s slots in order; a slot of the wrong kind, a missing or a surplus value
// raises DataAccessError. Any other '%' stays as written.
std::string FormatSql(std::string_view statement, std::initializer_list<TSqlArg> args);

}  // namespace galerion
