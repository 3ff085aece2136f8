#include "ui/pictures/picture_tile.h"

#include "core/host/messages.h"
#include "image/jpeg_codec.h"
#include "ui/pictures/glyphs.h"
#include "ui/pictures/raster_widgets.h"
#include "ui/pictures/tile_painting.h"

#include <QLabel>
#include <QToolButton>

#include <algorithm>
#include <exception>

namespace galerion::ui {

namespace {

constexpr int kButtonSize = 19;
constexpr int kButtonTop = 3;
constexpr int kPictureTop = 24;
constexpr int kDimmedExcluded = 100;
constexpr int kDimmedPrivate = 200;
constexpr int kOpaque = 255;
constexpr TColor32 kNoIncludedPicture = 0xFF7F7F7F;
constexpr const char* kPictureHint = "Double-click open full size image";

struct TButtonSpec {
    TTileButton which;
    int glyph;
    const char* hint;
    bool toggle;
};

constexpr std::array<TButtonSpec, kTileButtonCount> kButtons = {{
    {TTileButton::CounterClockwise, kGlyphCounterClockwise, "Rotate counter-clockwise", false},
    {TTileButton::Clockwise, kGlyphClockwise, "Rotate clockwise", false},
    {TTileButton::UTurn, kGlyphUTurn, "U-turn", false},
    {TTileButton::Flip, kGlyphFlip, "Flip horizontal", false},
    {TTileButton::Exclude, kGlyphExclude, "Exclude image", true},
    {TTileButton::Private, kGlyphPrivate, "Make private", true},
    {TTileButton::Categories, kGlyphCategories, "Select categories", true},
    {TTileButton::Face, kGlyphFace, "Make the photo represent the album", true},
}};

// The left group runs from x = 10 rightwards, the right group from the exclude button leftwards.
int ButtonLeft(TTileButton which, int panelWidth) {
    switch (which) {
        case TTileButton::CounterClockwise: return 10;
        case TTileButton::Clockwise: return 10 + kButtonSize;
        case TTileButton::UTurn: return 10 + 2 * kButtonSize;
        case TTileButton::Flip: return 10 + 3 * kButtonSize;
        case TTileButton::Exclude: return panelWidth - kButtonSize - kTileGap;
        case TTileButton::Private: return panelWidth - 2 * kButtonSize - kTileGap;
        case TTileButton::Categories: return panelWidth - 3 * kButtonSize - kTileGap;
        case TTileButton::Face: return panelWidth - 4 * kButtonSize - kTileGap;
    }
    return 0;
}

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The tile of the first included picture that has one. A photo that could not be read has no
// tile though it is not excluded; the face mark passes it by for the next picture shown.
TPictureTile* FirstIncludedTile(const TPictureList& list) {
    for (int i = 0; i < list.Count(); ++i) {
        const TPictureItem* picture = list.PictureAt(i);
        if (picture && !picture->IsDeleted && picture->Tile)
            return dynamic_cast<TPictureTile*>(picture->Tile.get());
    }
    return nullptr;
}

}  // namespace

int TilePanelWidth(int boxWidth) { return std::max(boxWidth + kTileExtraWidth, kTileMinWidth); }

TPictureTile::TPictureTile(const TTileSurroundings& surroundings, TPictureList& list,
                           TPictureItem& picture, const std::string& path, int boxWidth,
                           int boxHeight)
    : surroundings_(surroundings),
      list_(list),
      picture_(picture),
      boxWidth_(boxWidth),
      boxHeight_(boxHeight) {
    picture_.OriginalFile = path;
    const int panelWidth = TilePanelWidth(boxWidth);
    pnlTile_ = new QFrame();
    pnlTile_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlTile_->setLineWidth(1);
    pnlTile_->setFixedSize(panelWidth, boxHeight + kTileExtraHeight);

    pbxPicture_ = new TPaintBox32(pnlTile_);
    pbxPicture_->setGeometry((panelWidth - boxWidth) / 2, kPictureTop, boxWidth, boxHeight);
    pbxPicture_->setToolTip(QString::fromLatin1(kPictureHint));
    pbxPicture_->SetPainter([this](TBitmap32& buffer) {
        PaintTilePicture(buffer, bmpThumb_, picture_, surroundings_.buttonFace);
    });
    QObject::connect(pbxPicture_, &TPaintBox32::doubleClicked, pnlTile_,
                     [this] { OnDoubleClick(); });

    BuildButtons();

    lblName_ = new QLabel(pnlTile_);
    lblName_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblName_->setGeometry(2, kPictureTop + boxHeight + 2, panelWidth - 4,
                          lblName_->fontMetrics().height());
    lblName_->setTextFormat(Qt::PlainText);
    SetCaption(FileNameOf(path) + " (" + std::to_string(picture_.Categories.size()) + ")");

    EnableEditing(true);
    pnlTile_->setParent(surroundings_.area);
    pnlTile_->show();
}

TPictureTile::~TPictureTile() { delete pnlTile_.data(); }

void TPictureTile::BuildButtons() {
    const int panelWidth = pnlTile_->width();
    for (const TButtonSpec& spec : kButtons) {
        auto* button = new QToolButton(pnlTile_);
        button->setAutoRaise(true);
        button->setGeometry(ButtonLeft(spec.which, panelWidth), kButtonTop, kButtonSize,
                            kButtonSize);
        button->setIconSize(QSize(kGlyphSize, kGlyphSize));
        button->setIcon(PictureGlyph(spec.glyph));
        button->setToolTip(QString::fromLatin1(spec.hint));
        button->setCheckable(spec.toggle);
        buttons_[static_cast<size_t>(spec.which)] = button;
    }
    auto on = [this](TTileButton which, auto handler) {
        QObject::connect(&Button(which), &QToolButton::clicked, pnlTile_, handler);
    };
    on(TTileButton::CounterClockwise, [this] { RunTurn(TTurnAction::CounterClockwise); });
    on(TTileButton::Clockwise, [this] { RunTurn(TTurnAction::Clockwise); });
    on(TTileButton::UTurn, [this] { RunTurn(TTurnAction::HalfTurn); });
    on(TTileButton::Flip, [this] { RunTurn(TTurnAction::Flip); });
    on(TTileButton::Exclude, [this](bool checked) { OnExcludeClicked(checked); });
    on(TTileButton::Private, [this](bool checked) { OnPrivateClicked(checked); });
    on(TTileButton::Categories, [this] { OnCategoriesClicked(); });
    on(TTileButton::Face, [this] { MakeFace(); });
}

QToolButton& TPictureTile::Button(TTileButton which) const {
    return *buttons_[static_cast<size_t>(which)];
}

void TPictureTile::SetCaption(const std::string& caption) {
    lblName_->setText(QString::fromStdString(caption));
}

std::string TPictureTile::Caption() const { return lblName_->text().toStdString(); }

void TPictureTile::SetHint(const std::string& hint) {
    pbxPicture_->setToolTip(QString::fromStdString(hint));
}

std::string TPictureTile::Hint() const { return pbxPicture_->toolTip().toStdString(); }

void TPictureTile::LoadThumbnail() {
    LoadPicture(bmpThumb_, picture_.TempFile);
    thumbFresh_ = true;
}

void TPictureTile::ReloadThumbnail() {
    LoadThumbnail();
    ApplyOrientation(bmpThumb_, picture_.Orientation);
    thumbFresh_ = false;
    InvalidatePicture();
}

void TPictureTile::Place(int left, int top) { pnlTile_->move(left, top); }

void TPictureTile::Repaint() {
    PaintPicture();
    pnlTile_->update();
}

const TBitmap32& TPictureTile::PaintPicture() { return pbxPicture_->PaintBuffer(); }

void TPictureTile::InvalidatePicture() { pbxPicture_->update(); }

void TPictureTile::ApplyPictureState() {
    // The stored orientation turns the file's pixels, never a thumbnail already turned.
    if (!thumbFresh_) LoadThumbnail();
    ApplyOrientation(bmpThumb_, picture_.Orientation);
    thumbFresh_ = false;
    InvalidatePicture();
    if (picture_.IsFace) MakeFace();
    if (picture_.IsPrivate) {
        Button(TTileButton::Private).setChecked(true);
        SetDimming(kDimmedPrivate);
    }
    if (picture_.IsDeleted) {
        Button(TTileButton::Exclude).setChecked(true);
        SetDimming(kDimmedExcluded);
        EnableEditing(false);
    }
}

void TPictureTile::ReleaseFaceMark() {
    picture_.IsFace = false;
    Button(TTileButton::Face).setChecked(false);
    InvalidatePicture();
}

void TPictureTile::MakeFace() {
    Button(TTileButton::Face).setChecked(true);  // stays pressed until another tile takes over
    // Only pictures with a tile lose the mark: while an album is being prepared, a later
    // picture may carry the stored face mark, which wins when its tile comes.
    for (int i = 0; i < list_.Count(); ++i) {
        TVisualPictureItem* other = list_.TileAt(i);
        if (other && other != this) other->ReleaseFaceMark();
    }
    picture_.IsFace = true;
    Repaint();
    RefreshFacePreview();
}

void TPictureTile::RefreshFacePreview() {
    if (surroundings_.facePreview) surroundings_.facePreview->ShowPicture(PaintPicture());
}

void TPictureTile::RunTurn(TTurnAction action) {
    ApplyTurnAction(bmpThumb_, action);
    picture_.Orientation = NextOrientation(picture_.Orientation, action);
    CropFollowTurn(picture_, action);
    InvalidatePicture();
    if (picture_.IsFace) {
        Repaint();
        RefreshFacePreview();
    }
}

void TPictureTile::SetDimming(int masterAlpha) {
    bmpThumb_.DrawMode = dmBlend;
    bmpThumb_.MasterAlpha = masterAlpha;
    InvalidatePicture();
}

void TPictureTile::EnableEditing(bool enabled) {
    const TPictureActions* actions = surroundings_.actions;
    for (TTileButton which :
         {TTileButton::CounterClockwise, TTileButton::Clockwise, TTileButton::UTurn,
          TTileButton::Flip, TTileButton::Private, TTileButton::Face})
        Button(which).setEnabled(enabled);
    Button(TTileButton::Categories)
        .setEnabled(enabled && actions && static_cast<bool>(actions->openPictureCategories));
    pbxPicture_->setEnabled(enabled);
}

void TPictureTile::OnExcludeClicked(bool excluded) {
    SetDimming(excluded ? kDimmedExcluded : kOpaque);
    EnableEditing(!excluded);
    picture_.IsDeleted = excluded;
    if (!picture_.IsFace) return;
    if (TPictureTile* first = FirstIncludedTile(list_)) {
        first->MakeFace();
    } else if (list_.IncludedCount() == 0) {
        // The picture stays the face picture; the preview says there is nothing to show.
        if (surroundings_.facePreview) surroundings_.facePreview->FillRaster(kNoIncludedPicture);
    }
}

void TPictureTile::OnPrivateClicked(bool isPrivate) {
    SetDimming(isPrivate ? kDimmedPrivate : kOpaque);
    picture_.IsPrivate = isPrivate;
}

void TPictureTile::RunGuarded(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        if (surroundings_.messages) surroundings_.messages->ShowError(e.what());
    }
}

void TPictureTile::OnCategoriesClicked() {
    const TPictureActions* actions = surroundings_.actions;
    if (!actions || !actions->openPictureCategories) return;
    RunGuarded([&] { actions->openPictureCategories(picture_, Button(TTileButton::Categories)); });
}

void TPictureTile::OnDoubleClick() {
    const TPictureActions* actions = surroundings_.actions;
    if (!actions || !actions->openFullSize || picture_.IsDeleted) return;
    RunGuarded([&] { actions->openFullSize(picture_); });
    InvalidatePicture();
}

}  // namespace galerion::ui
