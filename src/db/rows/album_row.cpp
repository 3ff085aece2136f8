#include "db/rows/album_row.h"

#include "core/model.h"
#include "db/query.h"
#include "db/statements.h"

#include <utility>

namespace galerion {

// A new album has no face picture yet: the database phase sets it picture by picture.
constexpr int kNoFacePicture = -1;

void ReadAlbumRow(TQuery& query, TAlbumItem& album) {
    album.AlbumId = query.FieldAsInteger("album_id");
    album.OriginalPath = query.FieldAsText("original_path");
    album.FacePictureId = query.FieldAsInteger("face_picture_id");
    album.AlbumDate = query.FieldAsDateTime("album_date");
    album.DirName = query.FieldAsText("dir_name");
    album.ShortName = query.FieldAsText("short_name");
    album.IsPrivate = query.FieldAsBool("is_private");
    album.LongName = query.FieldAsText("long_name");
    album.Description = query.FieldAsText("description");
    album.AltLongName = query.FieldAsText("alt_long_name");
    album.AltDescription = query.FieldAsText("alt_description");
}

std::string InsertAlbumStatement(const TAlbumItem& a, const std::string& folder) {
    return FormatSql(
        sqlInsertAlbum,
        {SqlQuote(folder), kNoFacePicture, SqlDateTime(a.AlbumDate), SqlQuote(a.ShortName),
         SqlBool(a.IsPrivate), SqlQuote(a.DirName), SqlQuote(a.LongName), SqlQuote(a.Description),
         SqlQuote(a.AltLongName), SqlQuote(a.AltDescription)});
}

std::string UpdateAlbumStatement(const TAlbumItem& a, const std::string& folder) {
    return FormatSql(
        sqlUpdateAlbum,
        {kNoFacePicture, SqlDateTime(a.AlbumDate), SqlQuote(a.ShortName), SqlBool(a.IsPrivate),
         SqlQuote(a.DirName), SqlQuote(a.LongName), SqlQuote(a.Description),
         SqlQuote(a.AltLongName), SqlQuote(a.AltDescription), SqlQuote(folder)});
}

std::string AlbumColumnWithNul(const TAlbumItem& a, const std::string& folder) {
    const std::pair<const char*, const std::string*> texts[] = {
        {"original_path", &folder},
        {"short_name", &a.ShortName},
        {"dir_name", &a.DirName},
        {"long_name", &a.LongName},
        {"description", &a.Description},
        {"alt_long_name", &a.AltLongName},
        {"alt_description", &a.AltDescription},
    };
    for (const auto& [column, text] : texts)
        if (text->find('\0') != std::string::npos) return column;
    return {};
}

}  // namespace galerion
