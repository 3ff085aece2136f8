#include "processing/album_database.h"

#include "core/host/user_host.h"
#include "core/log_messages.h"
#include "core/model.h"
#include "core/processing_log.h"
#include "core/settings.h"
#include "db/query.h"
#include "db/rows/album_row.h"
#include "db/rows/picture_row.h"
#include "db/statements.h"
#include "db/unit_of_work.h"
#include "platform/errors.h"
#include "processing/album_progress.h"
#include "processing/existing_album.h"
#include "processing/wizard_context.h"
#include "processing/working_folder.h"

#include <algorithm>

namespace galerion {
namespace {

class TAlbumWriter {
public:
    TAlbumWriter(TWizardContext& context, TQuery& query, const std::string& folder,
                 TAlbumItem& album)
        : context_(context), log_(context.log), query_(query), folder_(folder), album_(album) {}

    // False when the album is stored and left alone: nothing is written.
    bool Write() {
        RequireStorableTexts();
        const TExistingAlbumDecision d =
            DecideExistingAlbum(folder_, query_, context_.settings, context_.host, log_);
        if (d.stored && d.decision == TAlbumDecision::Cancel) return false;
        // An unknown UpdateMode (an edited settings file) must not double the stored pictures.
        if (d.stored && d.decision == TAlbumDecision::None) {
            log_.AddLogLine(msg::AlbumSkippedByUnknownMode(folder_, context_.settings.UpdateMode),
                            msg::kLevelWarning);
            return false;
        }
        const bool inserted = !d.stored || d.decision == TAlbumDecision::Insert;
        if (inserted) {
            Execute(InsertAlbumStatement(album_, folder_));
            log_.AddLogLine(msg::InsertAlbum(album_.LongName), msg::kLevelProgress);
        }
        if (d.decision == TAlbumDecision::Update) {
            Execute(UpdateAlbumStatement(album_, folder_));
            log_.AddLogLine(msg::UpdateAlbum(album_.LongName), msg::kLevelProgress);
        }
        albumId_ = AlbumIdInUse(d.stored && inserted);
        const bool updateMode = d.stored && d.decision == TAlbumDecision::Update;
        face_ = FacePicture();
        // A photo that failed in this run leaves its stored row (or the lack of one) as it is.
        for (int i = 0; i < album_.PictureCount(); ++i)
            if (!context_.HasFailed(*album_.PictureAt(i)))
                WritePicture(*album_.PictureAt(i), updateMode);
        return true;
    }

private:
    // A text the database cannot store stops the album before anything is written, saying where.
    void RequireStorableTexts() const {
        const auto fail = [&](const std::string& where, const std::string& column) {
            throw DataAccessError("Album " + folder_ + where + ": the column " + column +
                                  " holds a NUL character, which cannot be stored.");
        };
        if (const std::string column = AlbumColumnWithNul(album_, folder_); !column.empty())
            fail("", column);
        for (int i = 0; i < album_.PictureCount(); ++i) {
            const TPictureItem& p = *album_.PictureAt(i);
            if (context_.HasFailed(p)) continue;
            if (const std::string column = PictureColumnWithNul(p); !column.empty())
                fail(", picture " + p.WebOriginal, column);
        }
    }

    bool Usable(const TPictureItem& p) const { return !p.IsDeleted && !context_.HasFailed(p); }

    // The marked face while it is included and was read; else the mark goes to the first
    // picture that is. Without any mark the album keeps no face.
    const TPictureItem* FacePicture() const {
        const TPictureItem* first = nullptr;
        bool marked = false;
        for (int i = 0; i < album_.PictureCount(); ++i) {
            const TPictureItem& p = *album_.PictureAt(i);
            marked = marked || p.IsFace;
            if (!Usable(p)) continue;
            if (p.IsFace) return &p;
            if (!first) first = &p;
        }
        return marked ? first : nullptr;
    }

    void Execute(const std::string& sql) {
        query_.SetText(sql);
        query_.Execute();
    }

    // After an insert beside a stored album, the new row is the one with the highest id.
    int AlbumIdInUse(bool newestRow) {
        query_.SetText(FormatSql(sqlSelectAlbumByPath, {SqlQuote(folder_)}));
        query_.Open();
        int id = query_.FieldAsInteger("album_id");
        if (newestRow)
            for (query_.Next(); !query_.Eof(); query_.Next())
                id = std::max(id, query_.FieldAsInteger("album_id"));
        query_.Close();
        return id;
    }

    // Opens the picture's row in the album in use; true when there is one (left open).
    bool OpenPictureRow(const TPictureItem& p) {
        query_.SetText(FormatSql(sqlSelectPicture, {SqlQuote(p.WebOriginal), albumId_}));
        query_.Open();
        return !query_.Eof();
    }

    void InsertPicture(const TPictureItem& p) { Execute(InsertPictureStatement(p, albumId_)); }
    void UpdatePicture(const TPictureItem& p) { Execute(UpdatePictureStatement(p, albumId_)); }

    void StorePictureRow(const TPictureItem& p, bool updateMode) {
        if (!updateMode) {
            InsertPicture(p);
            log_.AddLogLine(msg::InsertPictureNew(p.WebOriginal), msg::kLevelProgress);
            return;
        }
        const bool found = OpenPictureRow(p);
        query_.Close();
        if (found) {
            UpdatePicture(p);
            log_.AddLogLine(msg::UpdatePictureExisting(p.WebOriginal), msg::kLevelProgress);
        } else {
            InsertPicture(p);
            log_.AddLogLine(msg::InsertPictureExisting(p.WebOriginal), msg::kLevelProgress);
        }
    }

    void WritePicture(const TPictureItem& p, bool updateMode) {
        StorePictureRow(p, updateMode);
        OpenPictureRow(p);
        const int pictureId = query_.FieldAsInteger("picture_id");
        query_.Close();
        if (&p == face_) {
            Execute(FormatSql(sqlSetAlbumFace, {pictureId, albumId_}));
            log_.AddLogLine(msg::SetFacePicture(p.WebOriginal), msg::kLevelProgress);
        }
        if (updateMode) {
            Execute(FormatSql(sqlDeletePictureCategories, {pictureId}));
            log_.AddLogLine(msg::DeleteCategories(p.WebOriginal), msg::kLevelProgress);
        }
        log_.AddLogLine(msg::CategoriesAdded(static_cast<int>(p.Categories.size())),
                        msg::kLevelProgress);
        for (const std::string& category : p.Categories)
            Execute(FormatSql(sqlInsertPictureCategory, {pictureId, SqlDigits(category)}));
    }

    TWizardContext& context_;
    TProcessingLog& log_;
    TQuery& query_;
    const std::string& folder_;
    TAlbumItem& album_;
    int albumId_ = -1;
    const TPictureItem* face_ = nullptr;
};

}  // namespace

TAlbumDbOutcome WriteAlbumToDatabase(TWizardContext& context, const std::string& folder,
                                     TAlbumItem& album, TAlbumProgress& progress) {
    if (progress.StopRequestedAfter(progress.Prefix() + " Database: processing.", 10))
        return TAlbumDbOutcome::Stopped;
    bool written = false;
    const bool ranToEnd = RunUnitOfWork(context.host, [&] {
        const std::unique_ptr<TQuery> query = TQuery::Create(context.settings.DB);
        written = TAlbumWriter(context, *query, folder, album).Write();
    });
    const TAlbumDbOutcome outcome = !ranToEnd ? TAlbumDbOutcome::Failed
                                    : written ? TAlbumDbOutcome::Written
                                              : TAlbumDbOutcome::Skipped;
    // The CLI writes no working thumbnails, so it has nothing to remove.
    if (outcome != TAlbumDbOutcome::Skipped && !context.settings.DeleteTemp &&
        context.makeWorkingThumbnails)
        RemoveWorkingThumbnails(folder, album);
    return outcome;
}

}  // namespace galerion
