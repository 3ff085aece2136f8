#include "platform/file_system.h"

#include "platform/errors.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <system_error>
#include <vector>

namespace galerion {
namespace fs = std::filesystem;

namespace {

std::string SystemMessage(int error) {
    return std::error_code(error, std::generic_category()).message();
}

std::string RandomSuffix() {
    std::random_device device;
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string suffix;
    for (int i = 0; i < 8; ++i) suffix += kDigits[device() % 16];
    return suffix;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

constexpr const char* kTemporaryPrefix = ".galerion-";
constexpr const char* kTemporarySuffix = ".tmp";
constexpr std::size_t kSuffixDigits = 8;

// ".galerion-1a2b3c4d.tmp" in the target's folder: same file system, so the rename is atomic;
// short and of fixed length, so that any target name that can exist has a temporary name that
// can; hidden, so it never matches the picture masks of a later run.
std::string TemporaryNameFor(const std::string& target) {
    return FolderOf(target) + kTemporaryPrefix + RandomSuffix() + kTemporarySuffix;
}

bool IsHexDigits(const std::string& text) {
    return text.size() == kSuffixDigits &&
           text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

void SyncFolder(const std::string& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // best effort: the rename itself has happened
    ::close(fd);
}

// A link to the file is followed, so that the file it names is replaced and the link stays.
fs::path WriteTarget(const std::string& path) {
    std::error_code ec;
    if (fs::is_symlink(path, ec)) {
        auto resolved = fs::weakly_canonical(path, ec);
        if (!ec) return resolved;
    }
    return fs::absolute(path, ec);
}

}  // namespace

bool PathExists(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

bool IsRegularFile(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

std::string ResolvedPath(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                         &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

bool LiesWithin(const std::string& path, const std::string& root) {
    if (path.empty() || root.empty()) return false;
    if (path.compare(0, root.size(), root) != 0) return false;
    return path.size() == root.size() || root.back() == '/' || path[root.size()] == '/';
}

void RequireNoLinkOutside(const std::string& path, const std::string& root) {
    std::error_code ec;
    if (!fs::is_symlink(path, ec)) return;
    const std::string target = ResolvedPath(path);
    if (LiesWithin(target, ResolvedPath(root))) return;
    const std::string shown = target.empty() ? fs::read_symlink(path, ec).string() : target;
    throw FileError("The folder " + path + " is a link to " + shown + ", outside " + root +
                    "; nothing is written through it");
}

bool PathCanExist(const std::string& path) {
    if (path.size() >= PATH_MAX) return false;
    std::string folder = FolderOf(path);
    long nameMax = -1;
    for (std::string at = folder; nameMax < 0 && !at.empty();
         at = FolderOf(at.substr(0, at.size() - 1)))
        nameMax = ::pathconf(at.c_str(), _PC_NAME_MAX);
    if (nameMax < 0) nameMax = NAME_MAX;
    for (const fs::path& part : fs::path(path))
        if (part.native().size() > static_cast<size_t>(nameMax)) return false;
    return true;
}

void CreateFolder(const std::string& path) {
    std::error_code ec;
    fs::create_directories(path, ec);
    if (ec || !fs::is_directory(path))
        throw FileError("Unable to create directory " + path + ": " +
                        (ec ? ec.message() : std::string("not a folder")));
}

void RemoveFolderTree(const std::string& path) {
    std::error_code ec;
    if (!fs::is_directory(fs::symlink_status(path, ec))) return;
    std::vector<fs::path> folders;
    // The iterator does not follow links by default: a link is removed as an entry.
    for (auto it = fs::recursive_directory_iterator(path, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        std::error_code entryError;
        if (it->is_directory(entryError) && !it->is_symlink(entryError))
            folders.push_back(it->path());
        else
            fs::remove(it->path(), entryError);
    }
    // A folder is listed before its sub-folders: remove in reverse, deepest first.
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
        std::error_code removeError;
        fs::remove(*folder, removeError);
    }
    fs::remove(path, ec);
}

TFilePtr OpenRegularFile(const std::string& path) {
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) throw FileError("Cannot open file \"" + path + "\": " + SystemMessage(errno));
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        throw FileError("Cannot read file \"" + path + "\": " + SystemMessage(error));
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        throw FileError("Not a regular file: \"" + path + "\"");
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    std::FILE* file = ::fdopen(fd, "rb");
    if (file == nullptr) {
        const int error = errno;
        ::close(fd);
        throw FileError("Cannot open file \"" + path + "\": " + SystemMessage(error));
    }
    return TFilePtr(file);
}

TReplacingFile::TReplacingFile(const std::string& targetPath) : targetPath_(targetPath) {
    for (int attempt = 0; attempt < 16 && fd_ < 0; ++attempt) {
        temporaryPath_ = TemporaryNameFor(targetPath);
        fd_ = ::open(temporaryPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) {
        const int error = errno;
        temporaryPath_.clear();
        throw FileError("Cannot create file \"" + targetPath_ + "\": " + SystemMessage(error));
    }
}

TReplacingFile::~TReplacingFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!temporaryPath_.empty()) ::unlink(temporaryPath_.c_str());
}

void TReplacingFile::Fail(const std::string& what, int error) {
    throw FileError(what + " \"" + targetPath_ + "\": " + SystemMessage(error));
}

void TReplacingFile::Write(const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd_, bytes, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            Fail("Cannot write file", errno);
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
}

void TReplacingFile::KeepTargetMode() {
    struct stat old {};
    if (::stat(targetPath_.c_str(), &old) == 0) ::fchmod(fd_, old.st_mode & 07777);
}

void TReplacingFile::Commit() { CloseAndRename(false); }

void TReplacingFile::CommitDurably() { CloseAndRename(true); }

void TReplacingFile::CloseAndRename(bool durable) {
    if (durable && ::fsync(fd_) != 0) Fail("Cannot flush file", errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) Fail("Cannot write file", errno);
    if (::rename(temporaryPath_.c_str(), targetPath_.c_str()) != 0)
        Fail("Cannot replace file", errno);
    temporaryPath_.clear();
    if (durable) SyncFolder(FolderOf(targetPath_));
}

bool IsReplacementTemporaryName(const std::string& name) {
    const std::string suffix = kTemporarySuffix;
    const std::size_t tail = kSuffixDigits + suffix.size();
    if (name.size() <= tail + 1 || name[0] != '.' ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    if (!IsHexDigits(name.substr(name.size() - tail, kSuffixDigits))) return false;
    const std::string head = name.substr(0, name.size() - tail);
    return head == kTemporaryPrefix || (head.size() > 2 && head.back() == '.');
}

void RemoveStaleTemporaryFiles(const std::string& folder) {
    std::error_code ec;
    const auto recent = fs::file_time_type::clock::now() - std::chrono::minutes(1);
    for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        std::error_code entryError;
        if (!IsReplacementTemporaryName(it->path().filename().string())) continue;
        if (!it->is_regular_file(entryError) || it->is_symlink(entryError)) continue;
        if (it->last_write_time(entryError) > recent || entryError) continue;
        fs::remove(it->path(), entryError);
    }
}

void ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
    const fs::path target = WriteTarget(path);
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    if (ec)
        throw FileError("Cannot create folder '" + target.parent_path().string() +
                        "': " + ec.message());
    TReplacingFile file(target.string());
    file.KeepTargetMode();
    file.Write(bytes.data(), bytes.size());
    file.CommitDurably();
}

}  // namespace galerion
