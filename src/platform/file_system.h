#pragma once
// The file-system operations of every layer: existence tests, folders, reading a regular file
// without blocking, and replacing a file only once its new contents are complete.
#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

namespace galerion {

// True when something is at the path; a link counts by what it points to.
bool PathExists(const std::string& path);
// True when the path names a regular file, or a link to one.
bool IsRegularFile(const std::string& path);

// The path with every link resolved, or empty when it cannot be resolved (a dangling link).
std::string ResolvedPath(const std::string& path);
// True when `path` is `root` or lies below it; both with their links resolved.
bool LiesWithin(const std::string& path, const std::string& root);
// Raises FileError naming the path when it is a link whose target does not lie within `root`
// (a folder that must not be written through).
void RequireNoLinkOutside(const std::string& path, const std::string& root);

// False when the path cannot exist on its file system: a name longer than its folder allows,
// or the whole path longer than the system's limit.
bool PathCanExist(const std::string& path);

// Creates the folder with any missing parents; FileError when that fails.
void CreateFolder(const std::string& path);
// Removes the folder and everything in it without ever following a link: a link inside is
// removed as an entry and what it points to stays. A path that is itself a link is left alone.
// Whatever cannot be removed is left, silently, with its parents.
void RemoveFolderTree(const std::string& path);

struct TFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using TFilePtr = std::unique_ptr<std::FILE, TFileCloser>;

// Opens the path for reading when it names a regular file; anything else (missing, folder, FIFO,
// device) raises FileError without blocking.
TFilePtr OpenRegularFile(const std::string& path);

// A temporary file beside the target. Commit renames it over the target; without Commit the
// destructor removes it, so a failed write leaves any previous target untouched.
class TReplacingFile {
public:
    explicit TReplacingFile(const std::string& targetPath);
    ~TReplacingFile();
    TReplacingFile(const TReplacingFile&) = delete;
    TReplacingFile& operator=(const TReplacingFile&) = delete;

    // Writes everything or raises FileError.
    void Write(const void* data, std::size_t size);
    // Gives the new file the permission bits of the file it replaces, when there is one.
    void KeepTargetMode();
    void Commit();
    // Commit, with the contents flushed to disk before the rename and the rename after it.
    void CommitDurably();
    const std::string& TemporaryPath() const { return temporaryPath_; }

private:
    [[noreturn]] void Fail(const std::string& what, int error);
    void CloseAndRename(bool durable);

    std::string targetPath_;
    std::string temporaryPath_;
    int fd_ = -1;
};

// True for the names TReplacingFile gives its temporary files, now (".galerion-1a2b3c4d.tmp")
// and formerly (".name.jpg.1a2b3c4d.tmp").
bool IsReplacementTemporaryName(const std::string& name);
// Removes the temporary files that interrupted replacements left in the folder (not below it),
// unless they were written in the last minute (another writer may be at work). Links and
// anything else stay.
void RemoveStaleTemporaryFiles(const std::string& folder);

// Replaces the file (the file a link names, when the path is a link) with `bytes`, durably and
// atomically, keeping its permission bits; creates its folder when missing.
void ReplaceFileAtomically(const std::string& path, const std::string& bytes);

}  // namespace galerion
