#include "processing/working_folder.h"

#include "core/model.h"

#include <sys/stat.h>
#include <unistd.h>

namespace galerion {
namespace {

bool IsRealFolder(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsFileOrLink(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode));
}

}  // namespace

void RemoveWorkingThumbnails(const std::string& albumFolder, const TAlbumItem& album) {
    const std::string folder = albumFolder + "/tmp";
    if (!IsRealFolder(folder)) return;
    const std::string prefix = folder + "/";
    for (int i = 0; i < album.PictureCount(); ++i) {
        const std::string& file = album.PictureAt(i)->TempFile;
        if (file.compare(0, prefix.size(), prefix) != 0) continue;
        if (file.find('/', prefix.size()) != std::string::npos) continue;
        if (IsFileOrLink(file)) ::unlink(file.c_str());
    }
    ::rmdir(folder.c_str());  // fails, as it should, while anything else is left
}

}  // namespace galerion
