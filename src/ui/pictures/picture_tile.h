#pragma once
// A picture's tile on the Pictures page: the working thumbnail with eight small buttons above it
// and the file name below it. Every button changes the picture at once and shows the result.
#include "core/model.h"
#include "image/bitmap32.h"
#include "image/orientation.h"
#include "ui/pictures/picture_actions.h"

#include <QFrame>
#include <QPointer>

#include <array>
#include <functional>
#include <string>

class QLabel;
class QToolButton;
class QWidget;

namespace galerion {
class TMessages;
}

namespace galerion::ui {

class TFacePreview;
class TPaintBox32;

// Layout constants shared with the Pictures page's grid.
inline constexpr int kTileGap = 5;
inline constexpr int kTileExtraWidth = 10;
inline constexpr int kTileMinWidth = 170;
inline constexpr int kTileExtraHeight = 42;

enum class TTileButton {
    CounterClockwise,
    Clockwise,
    UTurn,
    Flip,
    Exclude,
    Private,
    Categories,
    Face,
};
inline constexpr int kTileButtonCount = 8;

// What all tiles of the page share.
struct TTileSurroundings {
    QWidget* area = nullptr;        // the scroll box content, parent of the panels
    TMessages* messages = nullptr;  // errors of the windows a tile opens
    TFacePreview* facePreview = nullptr;
    const TPictureActions* actions = nullptr;
    TColor32 buttonFace = 0xFFF0F0F0;
};

class TPictureTile : public TVisualPictureItem {
public:
    // Builds the controls (the panel's parent last) with an empty thumbnail; the picture's
    // OriginalFile becomes `path`.
    TPictureTile(const TTileSurroundings& surroundings, TPictureList& list, TPictureItem& picture,
                 const std::string& path, int boxWidth, int boxHeight);
    ~TPictureTile() override;
    TPictureTile(const TPictureTile&) = delete;
    TPictureTile& operator=(const TPictureTile&) = delete;

    // TVisualPictureItem
    void SetCaption(const std::string& caption) override;
    std::string Caption() const override;
    void SetHint(const std::string& hint) override;
    std::string Hint() const override;
    void ApplyPictureState() override;
    void Repaint() override;
    void ReleaseFaceMark() override;
    void ReloadThumbnail() override;

    // The working thumbnail (TempFile) read afresh into bmpThumb; raises the decoder's error.
    void LoadThumbnail();
    void Place(int left, int top);

    // A button's action as a click does it, also on a disabled button (the page's toolbar
    // runs every tile's own turn buttons).
    void RunTurn(TTurnAction action);
    void MakeFace();

    QFrame& Panel() const { return *pnlTile_; }
    TPaintBox32& PictureBox() const { return *pbxPicture_; }
    QToolButton& Button(TTileButton which) const;
    QLabel& NameLabel() const { return *lblName_; }
    const TBitmap32& Thumb() const { return bmpThumb_; }
    TPictureItem& Picture() const { return picture_; }
    // Paints the picture area's back buffer now and returns it.
    const TBitmap32& PaintPicture();

private:
    void BuildButtons();
    void OnExcludeClicked(bool excluded);
    void OnPrivateClicked(bool isPrivate);
    void OnCategoriesClicked();
    void OnDoubleClick();
    void RunGuarded(const std::function<void()>& action);
    void EnableEditing(bool enabled);
    void SetDimming(int masterAlpha);
    void RefreshFacePreview();
    void InvalidatePicture();

    TTileSurroundings surroundings_;
    TPictureList& list_;
    TPictureItem& picture_;
    int boxWidth_, boxHeight_;
    TBitmap32 bmpThumb_;
    bool thumbFresh_ = false;  // bmpThumb holds the file's pixels, not yet turned

    // Guarded: the page may have taken the panel down with its scroll box already.
    QPointer<QFrame> pnlTile_;
    TPaintBox32* pbxPicture_ = nullptr;
    std::array<QToolButton*, kTileButtonCount> buttons_{};
    QLabel* lblName_ = nullptr;
};

// Panel width for a thumbnail box width: box + 10, at least 170.
int TilePanelWidth(int boxWidth);

}  // namespace galerion::ui
