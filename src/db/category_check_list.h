#pragma once
// The categories window's check-list as plain data: the GUI only draws it and forwards clicks.
#include <memory>
#include <string>
#include <vector>

namespace galerion {

// One photo category as held in memory.
struct TCategoryItem {
    int usage_count = 0;  // picture_to_category rows naming it at the last load
    int category_id = 0;  // 0 until the row is stored
    std::string category_guid;
    std::string title;
    std::string alt_title;
    std::string description;
    std::string alt_description;
};

enum class TCheckMark { Unticked, Ticked, Mixed };

// Entries of (text, owned item, mark). An entry may hold no item.
class TCategoryCheckList {
public:
    struct TEntry {
        std::string text;
        std::unique_ptr<TCategoryItem> item;
        TCheckMark mark = TCheckMark::Unticked;
    };

    int Count() const { return static_cast<int>(entries_.size()); }
    int Add(std::string text, std::unique_ptr<TCategoryItem> item,
            TCheckMark mark = TCheckMark::Unticked);
    void Delete(int index);
    void Clear() { entries_.clear(); }

    const std::string& Text(int index) const { return At(index).text; }
    void SetText(int index, std::string text) { At(index).text = std::move(text); }
    // Null when the index is outside the list or the entry holds no item.
    TCategoryItem* ItemAt(int index) const;
    TCheckMark Mark(int index) const { return At(index).mark; }
    void SetMark(int index, TCheckMark mark) { At(index).mark = mark; }
    bool Ticked(int index) const { return Mark(index) == TCheckMark::Ticked; }

    // Whether a click may lead to the mixed mark; the program sets mixed marks itself.
    bool AllowMixed() const { return allowMixed_; }
    void SetAllowMixed(bool allow) { allowMixed_ = allow; }
    // A click on the entry's box: unticked -> ticked -> (mixed, when allowed) -> unticked;
    // a mixed entry always becomes ticked while mixed is not allowed.
    void Click(int index);

private:
    TEntry& At(int index);
    const TEntry& At(int index) const;

    std::vector<TEntry> entries_;
    bool allowMixed_ = false;
};

}  // namespace galerion
