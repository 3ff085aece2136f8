#pragma once
// The categories window: the check-list of every photo category, opened for one picture from
// its tile or for every picture of the album, with buttons that add, edit and delete
// categories in the database. One instance for the whole run; the main window owns it.
#include "db/category_check_list.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <string>

class QAbstractButton;
class QFrame;
class QListWidget;
class QToolButton;

namespace galerion {
class TMessages;
class TPictureItem;
class TPictureList;
class TSettingsStore;
struct TSettings;
}  // namespace galerion

namespace galerion::ui {

class TfrmCategories : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMinimumWidth = 135, kMinimumHeight = 150;

    // Runs the category dialog for the item with the caption; true on OK.
    using TCategoryEditor =
        std::function<bool(QWidget* parent, const QString& caption, TCategoryItem& item)>;

    // The connection string is the program's current one (`settings.DB`) at each use; the size
    // is kept in the "Categories_Position" section under `keyPath` of `store`.
    TfrmCategories(const TSettings& settings, TSettingsStore& store, std::string keyPath,
                   TMessages& messages, QWidget* parent = nullptr);
    ~TfrmCategories() override;

    // One picture: the window opens at the button's top-right corner, the button stays pressed
    // until the run ends; OK gives the picture the ticked categories.
    bool ExecuteForPicture(TPictureItem& picture, QAbstractButton& button);
    // Every picture of the album: centred, mixed marks for categories some pictures have.
    bool ExecuteForAlbum(TPictureList& pictures);

    // The same in steps, for callers that run the window themselves: Prepare* loads and marks
    // the list; closing (OK or Cancel) applies the marks on OK and ends the run.
    void PrepareForPicture(TPictureItem& picture, QAbstractButton& button);
    void PrepareForAlbum(TPictureList& pictures);

    // The category dialog unless replaced.
    void SetCategoryEditor(TCategoryEditor editor) { editCategory_ = std::move(editor); }

    void AddCategory();
    void EditCategory();
    void DeleteCategory();

    const TCategoryCheckList& Categories() const { return categories_; }
    // Selects an entry as a click would (-1: none).
    void SelectEntry(int index);

    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    void LoadAndShow();
    void RefreshList();
    void RefreshEntry(int index);
    void OnItemChanged(int index);
    void UpdateButtons();
    void RestoreSize();
    void SaveGeometry();
    void EndRun();
    int SelectedIndex() const;
    QToolButton* MakeButton(const char* name, const char* hint);

    const TSettings& settings_;
    TSettingsStore& store_;
    std::string keyPath_;
    TMessages& messages_;
    TCategoryEditor editCategory_;

    TCategoryCheckList categories_;
    TPictureItem* picture_ = nullptr;
    TPictureList* pictures_ = nullptr;
    QPointer<QAbstractButton> tileButton_;
    bool refreshing_ = false;
    int pressedCloseKey_ = 0;  // Enter or Esc pressed while this window had the keyboard

    QFrame* pnlMain_ = nullptr;
    QListWidget* cbxCategories_ = nullptr;
    QToolButton* sbnAdd_ = nullptr;
    QToolButton* sbnEdit_ = nullptr;
    QToolButton* sbnDelete_ = nullptr;
    QToolButton* sbnOk_ = nullptr;
    QToolButton* sbnCancel_ = nullptr;
};

}  // namespace galerion::ui
