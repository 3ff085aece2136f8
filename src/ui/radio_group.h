#pragma once
// A radio group shown from a stored index.
#include <QAbstractButton>
#include <QButtonGroup>

namespace galerion::ui {

// Checks entry `index` of the group; any other value (an edited settings file) checks none.
inline void SelectRadio(QButtonGroup* group, int index) {
    if (QAbstractButton* button = group->button(index)) {
        button->setChecked(true);
        return;
    }
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons()) button->setChecked(false);
    group->setExclusive(true);
}

}  // namespace galerion::ui
