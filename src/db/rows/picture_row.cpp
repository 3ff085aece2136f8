#include "db/rows/picture_row.h"

#include "core/model.h"
#include "db/query.h"
#include "db/statements.h"

#include <utility>

namespace galerion {

void ReadPictureRow(TQuery& query, TPictureItem& picture) {
    picture.PictureId = query.FieldAsInteger("picture_id");
    picture.Title = query.FieldAsText("title");
    picture.AltTitle = query.FieldAsText("alt_title");
    if (const TDateTime date = query.FieldAsDateTime("picture_date"); date != 0)
        picture.PictureDate = date;
    picture.IsPrivate = query.FieldAsBool("is_private");
    picture.IsDeleted = query.FieldAsBool("is_deleted");
    picture.Orientation = query.FieldAsInteger("orientation");
    picture.CropX1 = query.FieldAsInteger("crop_X1");
    picture.CropY1 = query.FieldAsInteger("crop_Y1");
    picture.CropX2 = query.FieldAsInteger("crop_X2");
    picture.CropY2 = query.FieldAsInteger("crop_Y2");
    picture.PixelWidth = query.FieldAsInteger("width");
    picture.PixelHeight = query.FieldAsInteger("height");
    picture.HashOriginal = query.FieldAsText("hash_original");
    picture.HashLarge = query.FieldAsText("hash_large");
    picture.HashMedium = query.FieldAsText("hash_medium");
    picture.HashThumb = query.FieldAsText("hash_thumb");
    picture.HashTemp = query.FieldAsText("hash_temp");
}

std::string InsertPictureStatement(const TPictureItem& p, int albumId) {
    return FormatSql(sqlInsertPicture, {SqlQuote(p.Title),
                                        SqlQuote(p.AltTitle),
                                        SqlQuote(p.WebOriginal),
                                        SqlQuote(p.WebLarge),
                                        SqlQuote(p.WebMedium),
                                        SqlQuote(p.WebThumb),
                                        SqlQuote(p.HashOriginal),
                                        SqlQuote(p.HashLarge),
                                        SqlQuote(p.HashMedium),
                                        SqlQuote(p.HashThumb),
                                        SqlQuote(p.HashTemp),
                                        SqlDateTime(p.PictureDate),
                                        SqlBool(p.IsPrivate),
                                        SqlBool(p.IsDeleted),
                                        p.Orientation,
                                        p.CropX1,
                                        p.CropY1,
                                        p.CropX2,
                                        p.CropY2,
                                        p.PixelWidth,
                                        p.PixelHeight,
                                        albumId});
}

std::string UpdatePictureStatement(const TPictureItem& p, int albumId) {
    return FormatSql(sqlUpdatePicture, {SqlQuote(p.Title),
                                        SqlQuote(p.AltTitle),
                                        SqlQuote(p.WebLarge),
                                        SqlQuote(p.WebMedium),
                                        SqlQuote(p.WebThumb),
                                        SqlQuote(p.HashOriginal),
                                        SqlQuote(p.HashLarge),
                                        SqlQuote(p.HashMedium),
                                        SqlQuote(p.HashThumb),
                                        SqlQuote(p.HashTemp),
                                        SqlDateTime(p.PictureDate),
                                        SqlBool(p.IsPrivate),
                                        SqlBool(p.IsDeleted),
                                        p.Orientation,
                                        p.CropX1,
                                        p.CropY1,
                                        p.CropX2,
                                        p.CropY2,
                                        p.PixelWidth,
                                        p.PixelHeight,
                                        SqlQuote(p.WebOriginal),
                                        albumId});
}

std::string PictureColumnWithNul(const TPictureItem& p) {
    const std::pair<const char*, const std::string*> texts[] = {
        {"title", &p.Title},
        {"alt_title", &p.AltTitle},
        {"filename_original", &p.WebOriginal},
        {"filename_large", &p.WebLarge},
        {"filename_medium", &p.WebMedium},
        {"filename_thumb", &p.WebThumb},
        {"hash_original", &p.HashOriginal},
        {"hash_large", &p.HashLarge},
        {"hash_medium", &p.HashMedium},
        {"hash_thumb", &p.HashThumb},
        {"hash_temp", &p.HashTemp},
    };
    for (const auto& [column, text] : texts)
        if (text->find('\0') != std::string::npos) return column;
    return {};
}

}  // namespace galerion
