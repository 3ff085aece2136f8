#pragma once
// The Pictures page: the albums of the run with the current album's details on the left, the
// current album's picture tiles on the right. It also plays the pictures-view role for album
// preparation (tile creation, face preview, details, album list, "Process >").
#include "core/host/pictures_view.h"
#include "ui/pictures/picture_actions.h"

#include <QWidget>

#include <memory>
#include <string>

class QAbstractButton;
class QEvent;
class QRect;
class QLabel;
class QPushButton;
class QScrollArea;
class QSplitter;

namespace galerion {
class TMessages;
struct TWizardContext;
}  // namespace galerion

namespace galerion::ui {

class TAlbumListBox;
class TAlbumDetails;
class TFacePreview;

// Help context of the page and its panels.
inline constexpr int kPicturesHelpContext = 308;

class TPicturesPage : public QWidget, public TPicturesView {
    Q_OBJECT

public:
    TPicturesPage(TWizardContext& context, TMessages& messages, QWidget* parent = nullptr);
    ~TPicturesPage() override;

    // Empty actions leave their controls disabled (tile double-click, tile and toolbar
    // categories buttons).
    void SetPictureActions(TPictureActions actions);
    const TPictureActions& PictureActions() const { return actions_; }

    // After "Pictures >" rebuilt the album list: the list shows its albums, the first one is
    // current and "Process >" is disabled until a preparation says otherwise.
    void StartWithAlbums();
    int CurrentAlbum() const { return currentAlbum_; }

    // The album switch, as a click on entry `index` of the album list (the current one too).
    void SwitchAlbum(int index);

    // The window's resize step for this page: tiles laid out with the scroll position at 0,
    // album list repainted. The page runs it itself whenever the tile area changes size (a
    // window resize, a splitter move); the alternative description follows its group box by
    // the layout.
    void RelayoutAfterResize();
    // Tile layout by the grid rule; a thumbnail edit that is no number shows the conversion
    // error, leaves the tiles where they were and gives false.
    bool LayoutTiles();

    // Splitter positions from the settings record (after loading it); moving a splitter writes
    // SplitAlbums / SplitPictures back into the record.
    void ApplySettings();

    // TPicturesView
    int TileAreaWidth() const override;
    std::unique_ptr<TVisualPictureItem> CreateTile(TPictureItem& picture,
                                                   const TTilePlacement& where) override;
    void ClearFacePicture() override;
    void ShowAlbumDetails(const TAlbumItem& album) override;
    void RepaintAlbumList() override;
    void SetProcessButton(const std::string& caption, bool enabled) override;

    // Controls that the window and the tests reach.
    QPushButton& ProcessButton() const { return *bbnProcess_; }
    QLabel& PhotosReadyLabel() const { return *lblPhotosReady_; }
    QScrollArea& PhotosArea() const { return *scrPhotos_; }
    TAlbumListBox& AlbumListBox() const { return *cmbListOfAlbums_; }
    TAlbumDetails& Details() const { return *details_; }
    TFacePreview& FacePreview() const;
    QAbstractButton& ToolbarButton(int glyph) const;  // by glyph index: 0 U-turn .. 6 categories

signals:
    void helpRequested(int context);
    void advancedOptionsRequested();
    void optionsPageRequested();
    void albumsPageRequested();
    void processRequested();
    // A switch prepared its album: the categories window reloads its list.
    void albumPrepared();
    // The splitter between the album column and the tiles moved (the window's resize rule runs).
    void picturesSplitterMoved();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLeftColumn(QSplitter& columns);
    void BuildRightSide(QSplitter& columns);
    QWidget* BuildBottomRow();
    void RunToolbarTurn(int glyph);
    void RunAlbumCategories();
    void UpdateCategoriesButton();
    void GrowTileArea(const QRect& tile);
    TAlbumItem* Album() const;

    TWizardContext& context_;
    TMessages& messages_;
    TPictureActions actions_;
    int currentAlbum_ = -1;

    QSplitter* splitPictures_ = nullptr;
    QSplitter* splitAlbums_ = nullptr;
    TAlbumListBox* cmbListOfAlbums_ = nullptr;
    TAlbumDetails* details_ = nullptr;
    QLabel* lblPhotosReady_ = nullptr;
    QScrollArea* scrPhotos_ = nullptr;
    QWidget* tileArea_ = nullptr;
    QAbstractButton* toolbar_[5] = {};
    QPushButton* bbnProcess_ = nullptr;
};

}  // namespace galerion::ui
