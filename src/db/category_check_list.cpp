#include "db/category_check_list.h"

#include <stdexcept>

namespace galerion {

int TCategoryCheckList::Add(std::string text, std::unique_ptr<TCategoryItem> item,
                            TCheckMark mark) {
    entries_.push_back(TEntry{std::move(text), std::move(item), mark});
    return Count() - 1;
}

void TCategoryCheckList::Delete(int index) {
    At(index);
    entries_.erase(entries_.begin() + index);
}

TCategoryItem* TCategoryCheckList::ItemAt(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return entries_[static_cast<size_t>(index)].item.get();
}

void TCategoryCheckList::Click(int index) {
    TEntry& entry = At(index);
    switch (entry.mark) {
        case TCheckMark::Unticked: entry.mark = TCheckMark::Ticked; break;
        case TCheckMark::Ticked:
            entry.mark = allowMixed_ ? TCheckMark::Mixed : TCheckMark::Unticked;
            break;
        case TCheckMark::Mixed:
            entry.mark = allowMixed_ ? TCheckMark::Unticked : TCheckMark::Ticked;
            break;
    }
}

TCategoryCheckList::TEntry& TCategoryCheckList::At(int index) {
    if (index < 0 || index >= Count())
        throw std::out_of_range("No category entry at index " + std::to_string(index));
    return entries_[static_cast<size_t>(index)];
}

const TCategoryCheckList::TEntry& TCategoryCheckList::At(int index) const {
    return const_cast<TCategoryCheckList*>(this)->At(index);
}

}  // namespace galerion
