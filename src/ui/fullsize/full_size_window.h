#pragma once
// The full-size view of one picture: title, alternative title and date, the picture fitted or
// at a chosen scale, and its crop set with a rubber-band frame. One instance serves every
// picture; the main window owns it.
#include "core/host/messages.h"
#include "core/settings.h"
#include "image/bitmap32.h"
#include "ui/fullsize/crop_rule.h"
#include "ui/fullsize/scale_rule.h"

#include <QDialog>
#include <QTimer>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace galerion {
class TPictureItem;
class TSettingsStore;
}  // namespace galerion

namespace galerion::ui {

class TPictureView;
struct TFittedDrawing;

class TfrmFullSize : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 311;
    // After the last move or resize event this long, the user is taken to have let go.
    static constexpr int kSizeMoveSettleMs = 200;

    // `settings` gives ResizeMode and holds Scale and ScaleChoice; the placement is kept in
    // the "FullSize_Position" section under `keyPath` of `store`.
    TfrmFullSize(TSettings& settings, TSettingsStore& store, std::string keyPath,
                 TMessages& messages, QWidget* parent = nullptr);
    ~TfrmFullSize() override;

    // Opens the view for the picture and runs it modally; true when it closed with OK, which
    // wrote the edits back. False also when the photo could not be loaded (the error was shown).
    bool Execute(TPictureItem& picture);

    // Execute in its steps, for callers that run the window themselves. Open loads the photo
    // and fills the controls (false, with the error shown, when the photo cannot be loaded);
    // Finish writes back (on OK) and cleans up.
    bool Open(TPictureItem& picture);
    void Finish(TPictureItem& picture, bool accepted);

    // Who answers the question before a scale above 1; the scale dialog unless replaced.
    void SetScaleQuestion(std::function<TScaleReply()> ask) { askScale_ = std::move(ask); }
    // What the Help button and F1 open; without it they do nothing.
    void SetHelpHandler(std::function<void(int context)> help) { help_ = std::move(help); }

    // The scale handling (Use scale ticked or not, the scale text, the question).
    void ApplyScale();
    // The crop handling (Set crop ticked or not).
    void ApplyCrop();
    // The start and end of an interactive move or resize of the window.
    void SizeMoveStarted();
    void SizeMoveEnded();

    TCropRect CropRect() const { return cropRect_; }
    bool Interactive() const { return interactive_; }
    const TBitmap32& Picture() const { return picture_; }
    TPictureView& View() const { return *imgFull_; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct TAnchored;

    void BuildControls();
    void PlaceControls();
    void LayOut();
    void RestorePlacement();
    void ReadPlacement();
    std::optional<TFittedDrawing> FittedDrawingAhead();
    void SavePlacement();
    void OnCropProposed(const TCropLocation& proposed, TCropEdges dragged, bool symmetric);
    void SetCropFrom(const TCropLocation& location);
    void OnLeftButtonMoved();
    void OnMouseReleased();
    void OnTimer();
    void InteractiveSizeMoveEvent(bool spontaneous);
    void SetFilter(TStretchFilter filter);
    TStretchFilter ResizeFilter() const;
    void ReloadTileThumbnail(TPictureItem& picture);

    TSettings& settings_;
    TSettingsStore& store_;
    std::string keyPath_;
    TMessages& messages_;
    std::function<TScaleReply()> askScale_;
    std::function<void(int)> help_;

    TBitmap32 picture_;
    TCropRect cropRect_;
    bool interactive_ = false;
    bool sizing_ = false;  // inside an interactive move or resize of the window

    QLabel* lblTitle_ = nullptr;
    QLineEdit* edtTitle_ = nullptr;
    QLabel* lblAltTitle_ = nullptr;
    QLineEdit* edtAltTitle_ = nullptr;
    QLabel* lblPictureDate_ = nullptr;
    QLineEdit* edtDate_ = nullptr;
    TPictureView* imgFull_ = nullptr;
    QCheckBox* cbxUseScale_ = nullptr;
    QLineEdit* edtScale_ = nullptr;
    QPushButton* bbnApply_ = nullptr;
    QCheckBox* cbxCrop_ = nullptr;
    QLabel* lblCrop_ = nullptr;
    QPushButton* bbnHelp_ = nullptr;
    QPushButton* bbnOk_ = nullptr;
    QPushButton* bbnCancel_ = nullptr;
    QTimer timer_;
    QTimer sizeMoveEnd_;
    std::vector<TAnchored> anchored_;
};

}  // namespace galerion::ui
