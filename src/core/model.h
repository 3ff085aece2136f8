#pragma once
// The model of one run: albums chosen on the Albums page and their pictures. Plain data with a
// few list operations; each list owns the objects attached to its entries.
#include "platform/date_time.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace galerion {

class TPictureList;

// A picture's tile on the Pictures page. The window system implements it; the core only needs
// the caption and hint texts (categories) and a way to refresh what the tile shows.
class TVisualPictureItem {
public:
    virtual ~TVisualPictureItem() = default;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual std::string Caption() const = 0;
    virtual void SetHint(const std::string& hint) = 0;
    virtual std::string Hint() const = 0;
    // Shows orientation, flags and face mark of its picture on a freshly loaded thumbnail.
    virtual void ApplyPictureState() = 0;
    // Another picture became the face picture: the mark goes, the thumbnail keeps its turns.
    virtual void ReleaseFaceMark() {}
    // The working thumbnail read again and turned by the picture's orientation (after the
    // full-size view changed the picture); the flags stay as they are.
    virtual void ReloadThumbnail() {}
    virtual void Repaint() {}
};

// An ordered list of (text, owned object) entries. An entry may briefly hold no object.
template <class T>
class TOwningList {
public:
    struct Entry {
        std::string text;
        std::unique_ptr<T> object;
    };

    int Count() const { return static_cast<int>(entries_.size()); }
    const std::string& Text(int index) const {
        return entries_.at(static_cast<size_t>(index)).text;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        texts.reserve(entries_.size());
        for (const Entry& e : entries_) texts.push_back(e.text);
        return texts;
    }
    int Add(std::string text, std::unique_ptr<T> object = nullptr) {
        entries_.push_back(Entry{std::move(text), std::move(object)});
        return Count() - 1;
    }
    void SetObject(int index, std::unique_ptr<T> object) {
        entries_.at(static_cast<size_t>(index)).object = std::move(object);
    }
    T* ObjectAt(int index) const {
        if (index < 0 || index >= Count()) return nullptr;
        return entries_[static_cast<size_t>(index)].object.get();
    }
    void Clear() { entries_.clear(); }
    void Delete(int index) {
        if (index < 0 || index >= Count())
            throw std::out_of_range("no list entry " + std::to_string(index));
        entries_.erase(entries_.begin() + index);
    }

private:
    std::vector<Entry> entries_;
};

class TPictureItem {
public:
    explicit TPictureItem(TPictureList* owner) : Owner(owner) {}
    TPictureItem(const TPictureItem&) = delete;
    TPictureItem& operator=(const TPictureItem&) = delete;

    TPictureList* Owner;
    std::vector<std::string> Categories;  // category_id values as decimal text, in added order
    int Orientation = 1;
    int CropX1 = -1, CropY1 = -1;
    int CropX2 = -1, CropY2 = -1;
    int PictureId = -1;
    TDateTime PictureDate = 0;
    std::string Title;
    std::string AltTitle;
    std::string OriginalFile;
    std::string LargeFile;
    std::string MediumFile;
    std::string ThumbFile;
    std::string TempFile;
    std::string HashOriginal, HashLarge, HashMedium, HashThumb, HashTemp;
    std::string WebOriginal;
    std::string WebLarge;
    std::string WebMedium;
    std::string WebThumb;
    bool IsDeleted = false;
    bool IsPrivate = false;
    bool IsFace = false;
    int PixelWidth = -1;
    int PixelHeight = -1;
    std::unique_ptr<TVisualPictureItem> Tile;

    // Any corner set: the processing crops. (The turn rules test "none is -1" instead.)
    bool HasCrop() const { return CropX1 != -1 || CropY1 != -1 || CropX2 != -1 || CropY2 != -1; }
};

class TPictureList : public TOwningList<TPictureItem> {
public:
    TPictureList() = default;
    TPictureList(const TPictureList&) = delete;
    TPictureList& operator=(const TPictureList&) = delete;

    TPictureItem* PictureAt(int index) const { return ObjectAt(index); }
    TVisualPictureItem* TileAt(int index) const;
    int IncludedCount() const;
    TVisualPictureItem* FirstIncludedTile() const;
};

class TAlbumItem {
public:
    TAlbumItem() = default;
    TAlbumItem(const TAlbumItem&) = delete;
    TAlbumItem& operator=(const TAlbumItem&) = delete;

    bool Prepared = false;
    int AlbumId = -1;
    std::string OriginalPath;
    int FacePictureId = -1;
    TDateTime AlbumDate = 0;
    std::string DirName;
    std::string ShortName;
    bool IsPrivate = false;
    std::string LongName = "<long name>";
    std::string Description = "<description>";
    std::string AltLongName = "<alternative long name>";
    std::string AltDescription = "<alternative description>";
    TPictureList PictureItems;

    TPictureItem* PictureAt(int index) const { return PictureItems.PictureAt(index); }
    TVisualPictureItem* TileAt(int index) const { return PictureItems.TileAt(index); }
    void SetTile(int index, std::unique_ptr<TVisualPictureItem> tile);
    int PictureCount() const { return PictureItems.Count(); }
    void ReleaseTiles();
};

class TAlbumList : public TOwningList<TAlbumItem> {
public:
    int AddAlbum(const std::string& path) { return Add(path, std::make_unique<TAlbumItem>()); }
    TAlbumItem* AlbumAt(int index) const { return ObjectAt(index); }
    bool AnyPrepared() const { return PreparedCount() > 0; }
    int PreparedCount() const;
};

}  // namespace galerion
