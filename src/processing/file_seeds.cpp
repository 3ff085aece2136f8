#include "processing/file_seeds.h"

#include "core/host/user_host.h"
#include "core/log_messages.h"
#include "core/model.h"
#include "core/processing_log.h"
#include "core/settings.h"
#include "db/categories.h"
#include "image/photo_metadata.h"
#include "platform/errors.h"
#include "platform/text.h"
#include "processing/wizard_context.h"

#include <algorithm>
#include <map>

namespace galerion {
namespace {

enum : int { kKeywordsOff = 0, kKeywordsMatch = 1, kKeywordsCreate = 2 };

bool WantsAnything(const TSettings& s) {
    return s.UseExifOrientation || s.UseExifDate || s.UseFileTexts ||
           s.KeywordCategories != kKeywordsOff;
}

// A text no database would take is left out, never the picture.
std::string Storable(TWizardContext& context, const std::string& path, const char* what,
                     std::string text) {
    if (FirstUnstorableByte(text) == std::string_view::npos) return text;
    context.log.AddLogLine(msg::FileTextDropped(path, what), msg::kLevelSkipped);
    return {};
}

TFileFacts FactsOf(TWizardContext& context, const std::string& path) {
    const TSettings& s = context.settings;
    TPhotoMetadata meta;
    try {
        meta = ReadPhotoMetadata(path);
    } catch (const Error& e) {
        context.log.AddLogLine(msg::MetadataUnreadable(path, e.what()), msg::kLevelSkipped);
        return {};
    }
    for (const std::string& problem : meta.problems)
        context.log.AddLogLine(msg::MetadataUnreadable(path, problem), msg::kLevelSkipped);
    TFileFacts facts;
    if (s.UseExifOrientation) facts.orientation = OrientationCodeFromExif(meta.orientationTag);
    if (s.UseExifDate && IsDateTimeInRange(meta.dateTaken)) facts.taken = meta.dateTaken;
    if (s.UseFileTexts) {
        facts.title = Storable(context, path, "title", FileTitle(meta));
        if (!s.AltLanguage.empty())
            facts.altTitle =
                Storable(context, path, "alternative title", FileAltTitle(meta, s.AltLanguage));
    }
    if (s.KeywordCategories != kKeywordsOff)
        for (std::string& keyword : meta.keywords)
            if (std::string kept = Storable(context, path, "keyword", std::move(keyword));
                !kept.empty())
                facts.keywords.push_back(std::move(kept));
    return facts;
}

// Category ids by title, letter case aside (as the keywords were told apart); categories are made
// on first need when the settings allow it, and a keyword that could not be made is not tried
// again.
class TKeywordCategories {
public:
    explicit TKeywordCategories(TWizardContext& context) : context_(context) {}

    std::string IdOf(const std::string& keyword) {
        if (!loaded_) Load();
        const std::u32string key = FoldedCase(keyword);
        if (const auto found = ids_.find(key); found != ids_.end()) return found->second;
        std::string id = context_.settings.KeywordCategories == kKeywordsCreate ? Create(keyword)
                                                                                : std::string();
        ids_.emplace(key, id);
        return id;
    }

private:
    void Load() {
        loaded_ = true;
        if (!context_.readDatabase) return;
        TCategoryCheckList list;
        if (!LoadCategories(context_.settings.DB, list, context_.host)) return;
        for (int e = 0; e < list.Count(); ++e)
            if (const TCategoryItem* item = list.ItemAt(e))
                ids_.emplace(FoldedCase(item->title), std::to_string(item->category_id));
    }

    std::string Create(const std::string& keyword) {
        if (!context_.createCategories) {
            std::vector<std::string>& wanted = context_.categoriesToCreate;
            const std::u32string key = FoldedCase(keyword);
            if (std::none_of(wanted.begin(), wanted.end(),
                             [&](const std::string& w) { return FoldedCase(w) == key; }))
                wanted.push_back(keyword);
            return {};
        }
        TCategoryItem item;
        item.title = keyword;
        if (!InsertCategory(context_.settings.DB, item, context_.host)) return {};
        context_.log.AddLogLine(msg::CategoryFromKeyword(keyword), msg::kLevelProgress);
        return std::to_string(item.category_id);
    }

    TWizardContext& context_;
    std::map<std::u32string, std::string> ids_;
    bool loaded_ = false;
};

void AddCategory(TPictureItem& picture, const std::string& id) {
    if (id.empty()) return;
    if (std::find(picture.Categories.begin(), picture.Categories.end(), id) ==
        picture.Categories.end())
        picture.Categories.push_back(id);
}

}  // namespace

std::vector<TFileFacts> ReadFileFacts(TWizardContext& context, const TAlbumItem& album) {
    std::vector<TFileFacts> facts(static_cast<size_t>(album.PictureCount()));
    if (!WantsAnything(context.settings)) return facts;
    for (int i = 0; i < album.PictureCount(); ++i)
        facts[static_cast<size_t>(i)] = FactsOf(context, album.PictureAt(i)->OriginalFile);
    return facts;
}

TDateTime FirstPictureDate(const TAlbumItem& album, const std::vector<TFileFacts>& facts) {
    if (album.PictureCount() == 0) return 0;
    if (!facts.empty() && facts.front().taken != 0) return facts.front().taken;
    try {
        return FileModifiedTime(album.PictureAt(0)->OriginalFile);
    } catch (const FileError&) {
        return 0;
    }
}

void SeedNewPictures(TWizardContext& context, TAlbumItem& album,
                     const std::vector<TFileFacts>& facts) {
    TKeywordCategories categories(context);
    for (int i = 0; i < album.PictureCount() && i < static_cast<int>(facts.size()); ++i) {
        TPictureItem& picture = *album.PictureAt(i);
        if (picture.PictureId != -1) continue;
        const TFileFacts& f = facts[static_cast<size_t>(i)];
        picture.Orientation = f.orientation;
        if (f.taken != 0) picture.PictureDate = f.taken;
        if (picture.Title.empty()) picture.Title = f.title;
        if (picture.AltTitle.empty()) picture.AltTitle = f.altTitle;
        for (const std::string& keyword : f.keywords)
            AddCategory(picture, categories.IdOf(keyword));
    }
}

}  // namespace galerion
