#include "image/file_access.h"

#include "platform/errors.h"

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace galerion {

namespace {

std::string SystemMessage(int error) { return std::error_code(error, std::generic_category()).message(); }

std::string RandomSuffix() {
    std::random_device device;
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string suffix;
    for (int i = 0; i < 8; ++i) suffix += kDigits[device() % 16];
    return suffix;
}

// ".name.jpg.1a2b3c4d.tmp" in the target's folder: same file system, so the rename is atomic,
// and the name never matches the picture masks of a later run.
std::string TemporaryNameFor(const std::string& target) {
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    return folder + "." + name + "." + RandomSuffix() + ".tmp";
}

}  // namespace

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

void TReplacingFile::Commit() {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) Fail("Cannot write file", errno);
    if (::rename(temporaryPath_.c_str(), targetPath_.c_str()) != 0) Fail("Cannot replace file", errno);
    temporaryPath_.clear();
}

}  // namespace galerion
