#pragma once
// Every text the program writes into the processing log, in one place, spelled as the users
// have always seen it (the missing period after "is already processed", "Operation was
// cancel."). Log levels: 0 error, 3 progress, 4 skipped or taken from the database, 7 warning.
#include <string>

namespace galerion::msg {

inline constexpr int kLevelError = 0;
inline constexpr int kLevelProgress = 3;
inline constexpr int kLevelSkipped = 4;
inline constexpr int kLevelWarning = 7;

// Settings
inline constexpr const char* kLoadError = "Error occur while LoadFromRegistry procedure.";
inline constexpr const char* kSaveError = "Error occur while SaveToRegistry procedure.";
inline constexpr const char* kLoadStart = "LoadFromRegistry procedure is about to start.";
inline constexpr const char* kLoadDone = "LoadFromRegistry procedure finished successfully.";
inline constexpr const char* kSaveStart = "SaveToRegistry procedure is about to start.";
inline constexpr const char* kSaveDone = "SaveToRegistry procedure finished successfully.";

// Links
inline std::string LinkLeavesTree(const std::string& link, const std::string& target) {
    return "Link " + link + " -> " + (target.empty() ? std::string("(missing target)") : target) +
           " leads outside the chosen folder; skipped.";
}

inline std::string NameTooLong(const std::string& path) {
    return "The output name is too long for its file system: " + path;
}

// Preparation
inline std::string AlreadyProcessed(const std::string& folder) {
    return "Directory " + folder + " is already processed";
}
inline std::string CollectFiles(const std::string& folder) {
    return "Collect files from " + folder + "/" + "*.j*";
}
inline std::string CreatingThumbnails(const std::string& originalPath) {
    return "Creating thumbnails for " + originalPath + "...";
}
inline std::string ThumbnailDone(const std::string& fileName) {
    return "Thumbnail for \"" + fileName + "\" done.";
}
inline std::string ThumbnailKept(const std::string& fileName) {
    return "Thumbnail has not been created again for \"" + fileName + "\".";
}
inline constexpr const char* kThumbnailsCreated = "Thumbnails created successfully.";
inline std::string AlbumFound(const std::string& originalPath) {
    return "Album found in database: " + originalPath;
}
inline std::string PictureFound(const std::string& webOriginal) {
    return "Picture found in database: " + webOriginal;
}

// A photo that could not be used is excluded; the rest of the album goes on.
inline std::string MetadataUnreadable(const std::string& path, const std::string& reason) {
    return "The metadata of " + path + " cannot be read and is left aside: " + reason;
}
inline std::string FileTextDropped(const std::string& path, const std::string& what) {
    return "The " + what + " in " + path + " cannot be stored and is left out.";
}
inline std::string CategoryFromKeyword(const std::string& title) {
    return "Category created from a keyword: " + title;
}
inline std::string PictureFailed(const std::string& path, const std::string& reason) {
    return "Picture " + path + " can not be used in this run: " + reason;
}
inline std::string SameOutputNames(const std::string& later, const std::string& earlier) {
    return "Picture " + later + " would overwrite the output files of " + earlier +
           " and is left out of this run.";
}

inline std::string AlbumFilesFailed(const std::string& folder, const std::string& reason) {
    return "Album " + folder + " failed, its rows are not written: " + reason;
}
inline std::string FailureSummary(int count) {
    return std::to_string(count) + " picture(s) could not be used in this run:";
}
inline std::string FailedPicture(const std::string& path, const std::string& reason) {
    return "  " + path + ": " + reason;
}

// Processing run
inline std::string BeginProcess(int albumCount) {
    return "Begin pictures process for " + std::to_string(albumCount) + " albums.";
}
inline std::string AlbumSkipped(const std::string& folder) {
    return "Album is skipped of being processed: " + folder;
}
inline std::string RotateClockwise(const std::string& web) { return "Rotate clockwise: " + web; }
inline std::string RoundPicture(const std::string& web) { return "Round picture: " + web; }
inline std::string RotateCounterClockwise(const std::string& web) {
    return "Rotate counter-clockwise: " + web;
}
inline std::string FlipPicture(const std::string& web) { return "Flip picture: " + web; }
inline std::string CropPicture(const std::string& web) { return "Crop picture: " + web; }
inline std::string SaveLarge(const std::string& file) { return "Save large picture: " + file; }
inline std::string SaveMedium(const std::string& file) { return "Save medium picture: " + file; }
inline std::string SaveThumb(const std::string& file) { return "Save thumbnail picture: " + file; }

// Existing-album decision; the path arrives already written as an SQL literal.
inline std::string ExistingAlbumInsert(const std::string& quotedPath) {
    return "Existing album " + quotedPath + " is found in the database. New album will be added.";
}
inline std::string ExistingAlbumUpdate(const std::string& quotedPath) {
    return "Existing album " + quotedPath + " is found in the database. It will be updated.";
}
inline std::string ExistingAlbumCancel(const std::string& quotedPath) {
    return "Existing album " + quotedPath + " is found in the database. Operation was cancel.";
}
inline std::string AlbumSkippedByCancel(const std::string& folder) {
    return "Album skipped. " + folder + ". Update options set in \"Cancel\".";
}
inline std::string AlbumSkippedByUnknownMode(const std::string& folder, int updateMode) {
    return "Album skipped. " + folder + ". Update options hold the unknown value " +
           std::to_string(updateMode) + ".";
}

// Database phase
inline std::string InsertAlbum(const std::string& longName) {
    return "Database: insert album " + longName + ".";
}
inline std::string UpdateAlbum(const std::string& longName) {
    return "Database: update album " + longName + ".";
}
inline std::string UpdatePictureExisting(const std::string& web) {
    return "Database: update picture " + web + " in existing album.";
}
inline std::string InsertPictureExisting(const std::string& web) {
    return "Database: insert picture " + web + " in existing album.";
}
inline std::string InsertPictureNew(const std::string& web) {
    return "Database: insert picture " + web + " in new album.";
}
inline std::string SetFacePicture(const std::string& web) {
    return "Database: set face picture " + web + ".";
}
inline std::string DeleteCategories(const std::string& web) {
    return "Database: delete categories in picture " + web + ".";
}
inline std::string CategoriesAdded(int count) {
    return "Database: " + std::to_string(count) + " categories added.";
}

// Resizing (level 7)
inline constexpr const char* kNoScale =
    "Original picture is smaller than desired size. No scale will be done. ";
inline constexpr const char* kUpscaleAnyway =
    "Original picture is smaller than desired size. Picture will be upscaled anyway. ";
inline std::string SmallerThanBox(bool keepSize, const std::string& source) {
    return std::string(keepSize ? kNoScale : kUpscaleAnyway) + source + ".";
}
inline std::string SmallerThanBox(bool keepSize, const std::string& source,
                                  const std::string& target) {
    return std::string(keepSize ? kNoScale : kUpscaleAnyway) + source + "->" + target + ".";
}

// A photo's colour profile that cannot be used: the photo is taken as sRGB.
inline std::string ColourProfileUnused(const std::string& path, const std::string& reason) {
    return "Colour profile of " + path + " not used: " + reason;
}

}  // namespace galerion::msg
