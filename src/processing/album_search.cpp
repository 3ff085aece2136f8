#include "processing/album_search.h"

#include "core/log_messages.h"
#include "core/processing_log.h"
#include "core/settings.h"
#include "platform/file_mask.h"
#include "platform/file_system.h"
#include "platform/text.h"
#include "processing/folder_listing.h"

#include <sys/stat.h>

#include <algorithm>
#include <set>
#include <utility>

namespace galerion {
namespace {

using TFolderIdentity = std::pair<dev_t, ino_t>;

bool IsExcluded(const std::string& name, const std::vector<std::string>& excluded) {
    const std::string lower = AsciiLower(name);
    return std::any_of(excluded.begin(), excluded.end(),
                       [&](const std::string& x) { return AsciiLower(x) == lower; });
}

// A link may lead back into a folder already entered; each folder is searched once.
bool EnterOnce(const std::string& folder, std::set<TFolderIdentity>& entered) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) return false;
    return entered.insert({st.st_dev, st.st_ino}).second;
}

struct TSearch {
    const std::vector<std::string>& excluded;
    std::string root;  // links resolved; links leading elsewhere are not entered
    TProcessingLog* log;
    std::set<TFolderIdentity> entered;
};

// A name starting with a dot is hidden here: such folders hold caches and settings, not albums.
bool IsHidden(const std::string& name) { return !name.empty() && name[0] == '.'; }

bool Enterable(const std::string& folder, const TFolderEntry& entry, TSearch& search) {
    if (!entry.isFolder || IsHidden(entry.name)) return false;
    if (StaysWithin(entry, search.root)) return true;
    if (search.log)
        search.log->AddLogLine(msg::LinkLeavesTree(folder + entry.name, entry.linkTarget),
                               msg::kLevelSkipped);
    return false;
}

// Returns false when the folder was entered before (through a link) or cannot be read.
bool Search(const std::string& mask, std::vector<std::string>& found, TSearch& search) {
    const TSplitMask split = SplitMask(mask);
    if (!EnterOnce(split.folder.empty() ? "./" : split.folder, search.entered)) return false;
    const std::vector<TFolderEntry> entries = ListFolder(split.folder, split.pattern);
    std::vector<bool> fresh(entries.size(), false);
    for (size_t i = 0; i < entries.size(); ++i)
        if (Enterable(split.folder, entries[i], search))
            fresh[i] = Search(split.folder + entries[i].name + "/" + split.pattern, found, search);
    for (size_t i = 0; i < entries.size(); ++i)
        if (fresh[i] && !IsExcluded(entries[i].name, search.excluded))
            found.push_back(split.folder + entries[i].name);
    return true;
}

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace

void RecursiveAlbumSearch(const std::string& mask, std::vector<std::string>& found,
                          const std::vector<std::string>& excludedNames, TProcessingLog* log) {
    const std::string folder = SplitMask(mask).folder;
    TSearch search{excludedNames, ResolvedPath(folder.empty() ? "." : folder), log, {}};
    Search(mask, found, search);
}

std::vector<std::string> SearchAlbums(const std::string& mainDirMask,
                                      const std::vector<std::string>& excludedNames,
                                      TProcessingLog* log) {
    std::vector<std::string> found{WithoutTrailingSlash(SplitMask(mainDirMask).folder)};
    RecursiveAlbumSearch(mainDirMask, found, excludedNames, log);
    std::stable_sort(found.begin(), found.end(), [](const std::string& a, const std::string& b) {
        return AsciiLower(a) < AsciiLower(b);
    });
    return found;
}

std::vector<std::string> ExcludedFolderNames(const TSettings& settings) {
    return {settings.ThumbFolder, settings.MediumFolder, settings.LargeFolder, "tmp"};
}

}  // namespace galerion
