#include "processing/album_preparation.h"

#include "core/log_messages.h"
#include "core/model.h"
#include "core/numbers.h"
#include "core/processing_log.h"
#include "core/settings.h"
#include "db/query.h"
#include "db/rows/album_row.h"
#include "db/rows/picture_row.h"
#include "db/statements.h"
#include "db/unit_of_work.h"
#include "image/jpeg_codec.h"
#include "image/resize.h"
#include "platform/date_time.h"
#include "platform/errors.h"
#include "platform/file_mask.h"
#include "platform/file_system.h"
#include "platform/text.h"
#include "processing/busy_state.h"
#include "processing/file_seeds.h"
#include "processing/folder_listing.h"
#include "processing/output_names.h"
#include "processing/thumbnail_prefetch.h"
#include "processing/wizard_context.h"

#include <algorithm>
#include <map>

namespace galerion {
namespace {

constexpr int kTileGap = 5;
constexpr int kTileExtraWidth = 10;
constexpr int kTileMinWidth = 170;
constexpr int kTileExtraHeight = 42;

std::string Extension(const std::string& name) {
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

bool HasPictureExtension(const std::string& name, const std::vector<std::string>& extensions) {
    const std::string ext = AsciiLower(Extension(name));
    return std::any_of(extensions.begin(), extensions.end(),
                       [&](const std::string& e) { return AsciiLower(e) == ext; });
}

std::string PhotosPrefix(const TAlbumItem& album) {
    return "Photos: " + std::to_string(album.PictureCount()) + ". ";
}

void CreatePictures(TWizardContext& context, TAlbumItem& album, const std::string& folder) {
    TPictureList& list = album.PictureItems;
    for (int i = 0; i < list.Count(); ++i) {
        auto picture = std::make_unique<TPictureItem>(&list);
        picture->IsFace = i == 0;
        picture->OriginalFile = list.Text(i);
        MakeOutputNames(*picture, folder, context.settings);
        picture->PictureDate = FileModifiedTime(picture->OriginalFile);
        list.SetObject(i, std::move(picture));
    }
}

// An unreadable time leaves the date as it is.
void SetAlbumDateFromFirstPicture(TAlbumItem& album, const std::vector<TFileFacts>& facts) {
    if (const TDateTime date = FirstPictureDate(album, facts); date != 0) album.AlbumDate = date;
}

void RestoreAlbumRow(TQuery& query, TAlbumItem& album, TProcessingLog& log) {
    query.SetText(FormatSql(sqlSelectAlbumByPath, {SqlQuote(album.OriginalPath)}));
    query.Open();
    if (!query.Eof()) {
        log.AddLogLine(msg::AlbumFound(album.OriginalPath), msg::kLevelSkipped);
        ReadAlbumRow(query, album);
    }
    query.Close();
}

void RestorePicture(TQuery& query, const TAlbumItem& album, TPictureItem& picture,
                    TProcessingLog& log) {
    query.SetText(FormatSql(sqlSelectPicture, {SqlQuote(picture.WebOriginal), album.AlbumId}));
    query.Open();
    if (!query.Eof()) {
        log.AddLogLine(msg::PictureFound(picture.WebOriginal), msg::kLevelSkipped);
        ReadPictureRow(query, picture);
        if (album.FacePictureId == picture.PictureId) picture.IsFace = true;
    }
    query.Close();
    if (picture.PictureId == -1) return;
    query.SetText(FormatSql(sqlSelectPictureCategories, {picture.PictureId}));
    query.Open();
    picture.Categories.clear();
    for (; !query.Eof(); query.Next())
        picture.Categories.push_back(std::to_string(query.FieldAsInteger("category_id")));
    query.Close();
}

void Collect(TWizardContext& context, TAlbumItem& album, const std::string& folder) {
    album.PictureItems.Clear();
    CollectPictureFiles(folder + "/*.*", album.PictureItems, true,
                        context.settings.PictureExtensions, LinkRootFor(context, folder),
                        &context.log);
    context.log.AddLogLine(msg::CollectFiles(folder), msg::kLevelProgress);
    CreatePictures(context, album, folder);
    const std::vector<TFileFacts> facts = ReadFileFacts(context, album);
    album.OriginalPath = folder;
    album.ShortName = album.DirName = LastPathComponent(folder);
    SetAlbumDateFromFirstPicture(album, facts);
    if (context.readDatabase) RestoreAlbumFromDatabase(context, album);
    SeedNewPictures(context, album, facts);
    if (album.AlbumDate == 0) SetAlbumDateFromFirstPicture(album, facts);
}

// A tile made for the face picture takes the mark from every picture before it. Their tiles
// only lose the mark: showing their state again would turn their thumbnails a second time.
void KeepSingleFaceMark(TAlbumItem& album, int index) {
    if (!album.PictureAt(index)->IsFace) return;
    for (int k = 0; k < index; ++k) {
        TPictureItem& other = *album.PictureAt(k);
        if (!other.IsFace) continue;
        other.IsFace = false;
        if (other.Tile) other.Tile->ReleaseFaceMark();
    }
}

// The working thumbnails the loop is going to make, for helper threads to make ahead. Pictures
// that share a working thumbnail are left to the loop, one after the other.
std::vector<TThumbnailPrefetch::TJob> ThumbnailJobs(const TWizardContext& context,
                                                    const TAlbumItem& album) {
    std::map<std::string, int> users;
    for (int i = 0; i < album.PictureCount(); ++i) ++users[album.PictureAt(i)->TempFile];
    std::vector<TThumbnailPrefetch::TJob> jobs;
    for (int i = 0; i < album.PictureCount(); ++i) {
        const TPictureItem& picture = *album.PictureAt(i);
        if (users[picture.TempFile] > 1) continue;
        if (!context.settings.RecreateTemp && IsRegularFile(picture.TempFile)) continue;
        if (!PathCanExist(picture.TempFile)) continue;
        jobs.push_back({i, picture.OriginalFile, picture.TempFile});
    }
    return jobs;
}

// Writes the working thumbnail of picture `index` (or takes the one made ahead); false when the
// photo cannot be decoded (it then gets no tile).
bool MakeThumbnail(TWizardContext& context, TPictureItem& picture, int index, int boxWidth,
                   int boxHeight, TThumbnailRasters& rasters, TThumbnailPrefetch& prefetch) {
    const TSettings& s = context.settings;
    const std::string name = LastPathComponent(picture.TempFile);
    const bool madeAhead = prefetch.Has(index);
    if (!madeAhead && !s.RecreateTemp && IsRegularFile(picture.TempFile)) {
        context.log.AddLogLine(msg::ThumbnailKept(name), msg::kLevelSkipped);
        return true;
    }
    if (!PathCanExist(picture.TempFile)) {
        const std::string reason = msg::NameTooLong(picture.TempFile);
        context.log.AddLogLine(msg::PictureFailed(picture.OriginalFile, reason), msg::kLevelError);
        context.failures.push_back({picture.OriginalFile, reason, &picture});
        return false;
    }
    try {
        if (madeAhead) {
            prefetch.Take(index, context.log);
        } else {
            MakeWorkingThumbnail(picture.OriginalFile, picture.TempFile, boxWidth, boxHeight,
                                 s.Upscale, sfNearest, context.log, rasters);
        }
    } catch (const ImageError& e) {
        // Not the user's exclusion: the run tries the photo again.
        context.log.AddLogLine(msg::PictureFailed(picture.OriginalFile, e.what()),
                               msg::kLevelError);
        context.failures.push_back({picture.OriginalFile, e.what(), &picture});
        return false;
    }
    context.log.AddLogLine(msg::ThumbnailDone(name), msg::kLevelProgress);
    return true;
}

void ShowTile(TWizardContext& context, TAlbumItem& album, int index, int boxWidth, int boxHeight) {
    TPictureItem& picture = *album.PictureAt(index);
    const TTilePlacement where =
        TilePosition(index, boxWidth, boxHeight, context.host.TileAreaWidth());
    album.SetTile(index, context.host.CreateTile(picture, where));
    KeepSingleFaceMark(album, index);
    if (picture.Tile) {
        picture.Tile->ApplyPictureState();
        picture.Tile->Repaint();
    }
}

// The loop of step 11: working thumbnails and tiles, four stop checks per picture.
void MakeThumbnailsAndTiles(TWizardContext& context, TAlbumItem& album, int boxWidth,
                            int boxHeight) {
    TUserHost& host = context.host;
    const std::string prefix = PhotosPrefix(album);
    TThumbnailRasters rasters;  // reused from photo to photo
    rasters.Mode = ShownColour(context.settings.ColourProfiles);
    TThumbnailPrefetch prefetch(context.makeWorkingThumbnails
                                    ? ThumbnailJobs(context, album)
                                    : std::vector<TThumbnailPrefetch::TJob>{},
                                boxWidth, boxHeight, context.settings.Upscale, rasters.Mode);
    for (int i = 0; i < album.PictureCount(); ++i) {
        if (context.busy.StopRequested()) break;
        host.SetStatusText(prefix + "Thumb for:" + std::to_string(i + 1));
        host.SetProgressPosition(i + 1);
        if (context.busy.StopRequested()) break;
        TPictureItem& picture = *album.PictureAt(i);
        const bool usable =
            !context.makeWorkingThumbnails ||
            MakeThumbnail(context, picture, i, boxWidth, boxHeight, rasters, prefetch);
        if (context.busy.StopRequested()) break;
        if (context.makeWorkingThumbnails && usable)
            ShowTile(context, album, i, boxWidth, boxHeight);
        else
            KeepSingleFaceMark(album, i);
        if (context.busy.StopRequested()) break;
    }
}

}  // namespace

void CollectPictureFiles(const std::string& mask, TPictureList& list, bool filter,
                         const std::vector<std::string>& extensions, const std::string& linkRoot,
                         TProcessingLog* log) {
    const TSplitMask split = SplitMask(mask);
    const std::string root = linkRoot.empty() ? split.folder : linkRoot;
    const std::string resolvedRoot = ResolvedPath(root.empty() ? "." : root);
    for (const TFolderEntry& entry : ListFolder(split.folder, split.pattern)) {
        if (!entry.isRegularFile) continue;
        if (filter && !HasPictureExtension(entry.name, extensions)) continue;
        if (!StaysWithin(entry, resolvedRoot)) {
            if (log)
                log->AddLogLine(msg::LinkLeavesTree(split.folder + entry.name, entry.linkTarget),
                                msg::kLevelSkipped);
            continue;
        }
        list.Add(split.folder + entry.name);
    }
}

std::string LinkRootFor(const TWizardContext& context, const std::string& albumFolder) {
    if (!context.linksStayInAlbum) {
        const std::string mainDir = ResolvedPath(SplitMask(context.settings.MainDir).folder);
        if (LiesWithin(ResolvedPath(albumFolder), mainDir)) return mainDir;
    }
    return albumFolder;
}

void RestoreAlbumFromDatabase(TWizardContext& context, TAlbumItem& album) {
    RunUnitOfWork(context.host, [&] {
        const std::unique_ptr<TQuery> query = TQuery::Create(context.settings.DB);
        RestoreAlbumRow(*query, album, context.log);
        for (int i = 0; i < album.PictureCount(); ++i)
            RestorePicture(*query, album, *album.PictureAt(i), context.log);
    });
}

TTilePlacement TilePosition(int index, int boxWidth, int boxHeight, int areaWidth) {
    const int cellWidth = std::max(boxWidth + kTileExtraWidth, kTileMinWidth);
    const int columns = std::max(areaWidth / (kTileGap + cellWidth), 2);
    TTilePlacement where;
    where.left = (index % columns) * (kTileGap + cellWidth) + kTileGap;
    where.top = (index / columns) * (boxHeight + kTileExtraHeight + kTileGap) + kTileGap;
    where.boxWidth = boxWidth;
    where.boxHeight = boxHeight;
    return where;
}

std::string ProcessButtonCaption(const TAlbumList& albums) {
    const int count = albums.Count();
    if (count == 0) return "Process album (0) >";
    if (count == 1) return "Process album (1 of 1) >";
    return "Process albums (" + std::to_string(albums.PreparedCount()) + " of " +
           std::to_string(count) + ") >";
}

void PrepareAlbum(TWizardContext& context, int current) {
    TAlbumItem* album = context.albums.AlbumAt(current);
    if (!album) return;
    TUserHost& host = context.host;
    host.ClearFacePicture();
    const std::string folder = context.albums.Text(current);
    if (album->Prepared) {
        context.log.AddLogLine(msg::AlreadyProcessed(folder), msg::kLevelProgress);
    } else {
        Collect(context, *album, folder);
        host.ShowAlbumDetails(*album);
    }
    const std::string prefix = PhotosPrefix(*album);
    host.SetStatusText(prefix);
    host.SetProgressMax(album->PictureCount());
    const int boxWidth = StrToInt(context.settings.ThumbWidth);
    const int boxHeight = StrToInt(context.settings.ThumbHeight);
    if (context.makeWorkingThumbnails) {
        RequireNoLinkOutside(folder + "/tmp", folder);
        CreateFolder(folder + "/tmp");
        context.log.AddLogLine(msg::CreatingThumbnails(album->OriginalPath), msg::kLevelProgress);
    }
    MakeThumbnailsAndTiles(context, *album, boxWidth, boxHeight);
    if (context.makeWorkingThumbnails)
        context.log.AddLogLine(msg::kThumbnailsCreated, msg::kLevelProgress);
    if (!context.busy.StopFlag()) album->Prepared = true;
    host.RepaintAlbumList();
    host.SetStatusText(prefix + "Thumbs: finished.");
    host.SetProgressPosition(0);
    host.SetProcessButton(ProcessButtonCaption(context.albums), context.albums.AnyPrepared());
}

}  // namespace galerion
