#pragma once
// The two ways the image layer touches files: reading a regular file without ever blocking on a
// FIFO or device, and replacing a file only once its new contents are complete.
#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

namespace galerion {

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
    void Commit();
    const std::string& TemporaryPath() const { return temporaryPath_; }

private:
    [[noreturn]] void Fail(const std::string& what, int error);

    std::string targetPath_;
    std::string temporaryPath_;
    int fd_ = -1;
};

}  // namespace galerion
