#include "processing/folder_listing.h"

#include "platform/file_mask.h"
#include "platform/file_system.h"
#include "platform/text.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>

namespace galerion {
namespace {

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

TFolderEntry Describe(const std::string& folder, const char* name) {
    TFolderEntry entry{name, false, false, false, {}};
    const std::string path = folder + name;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        entry.isLink = true;
        entry.linkTarget = ResolvedPath(path);
    }
    if (::stat(path.c_str(), &st) == 0) {
        entry.isFolder = S_ISDIR(st.st_mode);
        entry.isRegularFile = S_ISREG(st.st_mode);
    }
    return entry;
}

}  // namespace

std::vector<TFolderEntry> ListFolder(const std::string& folder, const std::string& pattern) {
    const std::string base = (folder.empty() || folder.back() == '/') ? folder : folder + "/";
    std::vector<TFolderEntry> entries;
    std::unique_ptr<DIR, DirCloser> dir(::opendir(base.empty() ? "." : base.c_str()));
    if (!dir) return entries;
    while (const dirent* d = ::readdir(dir.get())) {
        const std::string name = d->d_name;
        if (name == "." || name == ".." || !MatchesFileMask(name, pattern)) continue;
        entries.push_back(Describe(base, d->d_name));
    }
    std::sort(entries.begin(), entries.end(), [](const TFolderEntry& a, const TFolderEntry& b) {
        const std::string la = AsciiLower(a.name), lb = AsciiLower(b.name);
        return la != lb ? la < lb : a.name < b.name;
    });
    return entries;
}

bool StaysWithin(const TFolderEntry& entry, const std::string& resolvedRoot) {
    return !entry.isLink || LiesWithin(entry.linkTarget, resolvedRoot);
}

}  // namespace galerion
