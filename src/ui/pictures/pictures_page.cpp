#include "ui/pictures/pictures_page.h"

#include "core/host/messages.h"
#include "core/model.h"
#include "core/numbers.h"
#include "core/settings.h"
#include "platform/errors.h"
#include "processing/album_preparation.h"
#include "processing/busy_state.h"
#include "processing/wizard_context.h"
#include "ui/pictures/album_details.h"
#include "ui/pictures/album_list_box.h"
#include "ui/pictures/glyphs.h"
#include "ui/pictures/picture_tile.h"
#include "ui/pictures/raster_widgets.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

namespace galerion::ui {

namespace {

constexpr int kSplitterHandle = 5;
constexpr int kMinAlbumsHeight = 70;
constexpr int kMinLeftWidth = 200;
constexpr int kToolbarButtonSize = 23;
constexpr TColor32 kBlack = 0xFF000000;

// Toolbar order from the left, by glyph.
constexpr int kToolbarGlyphs[5] = {kGlyphCategories, kGlyphCounterClockwise, kGlyphClockwise,
                                   kGlyphUTurn, kGlyphFlip};
constexpr const char* kToolbarHints[5] = {"", "Rotate counter-clockwise", "Rotate clockwise",
                                          "U-turn", "Flip horizontal"};

// A thumbnail edit: empty reads as 0, anything else must be a decimal integer.
int ThumbSide(const std::string& text) { return text.empty() ? 0 : StrToInt(text); }

QPushButton* PageButton(const char* caption, const char* hint, QWidget* parent) {
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    if (*hint) button->setToolTip(QString::fromLatin1(hint));
    return button;
}

}  // namespace

TPicturesPage::TPicturesPage(TWizardContext& context, TMessages& messages, QWidget* parent)
    : QWidget(parent), context_(context), messages_(messages) {
    auto* page = new QVBoxLayout(this);
    splitPictures_ = new QSplitter(Qt::Horizontal, this);
    splitPictures_->setHandleWidth(kSplitterHandle);
    splitPictures_->setOpaqueResize(true);
    splitPictures_->setChildrenCollapsible(false);
    BuildLeftColumn(*splitPictures_);
    BuildRightSide(*splitPictures_);
    splitPictures_->setStretchFactor(1, 1);
    page->addWidget(splitPictures_, 1);
    page->addWidget(BuildBottomRow());

    connect(splitPictures_, &QSplitter::splitterMoved, this, [this] {
        context_.settings.SplitPictures = splitPictures_->sizes().value(0);
        emit picturesSplitterMoved();
    });
    connect(splitAlbums_, &QSplitter::splitterMoved, this,
            [this] { context_.settings.SplitAlbums = splitAlbums_->sizes().value(0); });
    ApplySettings();
    SetPictureActions({});
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this, nullptr, nullptr,
                               Qt::WidgetWithChildrenShortcut);
    connect(help, &QShortcut::activated, this,
            [this] { emit helpRequested(kPicturesHelpContext); });
}

TPicturesPage::~TPicturesPage() = default;

void TPicturesPage::BuildLeftColumn(QSplitter& columns) {
    splitAlbums_ = new QSplitter(Qt::Vertical, &columns);
    splitAlbums_->setHandleWidth(kSplitterHandle);
    splitAlbums_->setOpaqueResize(true);
    splitAlbums_->setChildrenCollapsible(false);
    splitAlbums_->setMinimumWidth(kMinLeftWidth);

    auto* pnlAlbums = new QWidget(splitAlbums_);
    pnlAlbums->setMinimumHeight(kMinAlbumsHeight);
    auto* albumsColumn = new QVBoxLayout(pnlAlbums);
    albumsColumn->setContentsMargins(0, 0, 0, 0);
    albumsColumn->addWidget(new QLabel(QStringLiteral("Processing albums:"), pnlAlbums));
    cmbListOfAlbums_ = new TAlbumListBox(
        context_.albums, [this] { return currentAlbum_; }, pnlAlbums);
    albumsColumn->addWidget(cmbListOfAlbums_, 1);
    connect(cmbListOfAlbums_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { SwitchAlbum(cmbListOfAlbums_->row(item)); });

    details_ = new TAlbumDetails([this] { return Album(); }, splitAlbums_);
    connect(details_, &TAlbumDetails::originalDirNameChanged, this, [this](const QString& text) {
        lblPhotosReady_->setText(QStringLiteral("Album \"") + text + QStringLiteral("\" photos:"));
    });
    connect(details_, &TAlbumDetails::filledFrom, this, [this](const QString& shortName) {
        lblPhotosReady_->setText(QStringLiteral("Album \"") + shortName +
                                 QStringLiteral("\" photos:"));
    });
    splitAlbums_->setStretchFactor(1, 1);
}

void TPicturesPage::BuildRightSide(QSplitter& columns) {
    auto* pnlPictures = new QWidget(&columns);
    pnlPictures->setMinimumWidth(kMinLeftWidth);
    auto* column = new QVBoxLayout(pnlPictures);
    column->setContentsMargins(0, 0, 0, 0);
    auto* toolbar = new QHBoxLayout();
    lblPhotosReady_ = new QLabel(pnlPictures);
    lblPhotosReady_->setTextFormat(Qt::PlainText);
    toolbar->addWidget(lblPhotosReady_, 1);
    for (int k = 0; k < 5; ++k) {
        auto* button = new QToolButton(pnlPictures);
        button->setFixedSize(kToolbarButtonSize, kToolbarButtonSize);
        button->setIconSize(QSize(kGlyphSize, kGlyphSize));
        button->setIcon(PictureGlyph(kToolbarGlyphs[k]));
        button->setAutoRaise(true);
        if (*kToolbarHints[k]) button->setToolTip(QString::fromLatin1(kToolbarHints[k]));
        const int glyph = kToolbarGlyphs[k];
        connect(button, &QToolButton::clicked, this, [this, glyph] {
            if (glyph == kGlyphCategories)
                RunAlbumCategories();
            else
                RunToolbarTurn(glyph);
        });
        toolbar_[k] = button;
        toolbar->addWidget(button);
    }
    column->addLayout(toolbar);

    scrPhotos_ = new QScrollArea(pnlPictures);
    scrPhotos_->setWidgetResizable(false);
    tileArea_ = new QWidget();
    tileArea_->resize(0, 0);
    scrPhotos_->setWidget(tileArea_);
    scrPhotos_->installEventFilter(this);
    column->addWidget(scrPhotos_, 1);
}

QWidget* TPicturesPage::BuildBottomRow() {
    auto* row = new QWidget(this);
    auto* buttons = new QHBoxLayout(row);
    buttons->setContentsMargins(0, 0, 0, 0);
    QPushButton* help = PageButton("Help", "", row);
    QPushButton* advanced = PageButton("Advanced options...", "Open advanced options form", row);
    QPushButton* options = PageButton("Options", "", row);
    QPushButton* albums = PageButton("Select albums", "Go back to the select directory page", row);
    bbnProcess_ = PageButton("Process >", "Make image fils and database records", row);
    buttons->addWidget(help);
    buttons->addStretch(1);
    for (QPushButton* b : {advanced, options, albums, bbnProcess_}) buttons->addWidget(b);
    connect(help, &QPushButton::clicked, this,
            [this] { emit helpRequested(kPicturesHelpContext); });
    connect(advanced, &QPushButton::clicked, this, &TPicturesPage::advancedOptionsRequested);
    connect(options, &QPushButton::clicked, this, &TPicturesPage::optionsPageRequested);
    connect(albums, &QPushButton::clicked, this, &TPicturesPage::albumsPageRequested);
    connect(bbnProcess_, &QPushButton::clicked, this, &TPicturesPage::processRequested);
    return row;
}

void TPicturesPage::ApplySettings() {
    const int total =
        std::max(splitPictures_->width(), context_.settings.SplitPictures + kMinLeftWidth);
    splitPictures_->setSizes(
        {context_.settings.SplitPictures, total - context_.settings.SplitPictures});
    const int height =
        std::max(splitAlbums_->height(), context_.settings.SplitAlbums + kMinAlbumsHeight);
    splitAlbums_->setSizes({context_.settings.SplitAlbums, height - context_.settings.SplitAlbums});
}

void TPicturesPage::SetPictureActions(TPictureActions actions) {
    actions_ = std::move(actions);
    UpdateCategoriesButton();
}

void TPicturesPage::UpdateCategoriesButton() {
    toolbar_[0]->setEnabled(static_cast<bool>(actions_.openAlbumCategories));
}

TFacePreview& TPicturesPage::FacePreview() const { return details_->FacePicture(); }

QAbstractButton& TPicturesPage::ToolbarButton(int glyph) const {
    for (int k = 0; k < 5; ++k)
        if (kToolbarGlyphs[k] == glyph) return *toolbar_[k];
    return *toolbar_[0];
}

TAlbumItem* TPicturesPage::Album() const { return context_.albums.AlbumAt(currentAlbum_); }

void TPicturesPage::StartWithAlbums() {
    cmbListOfAlbums_->Reload();
    cmbListOfAlbums_->setCurrentRow(0);
    currentAlbum_ = context_.albums.Count() > 0 ? 0 : -1;
    // The controls show the new first album, never what the previous run's album held.
    details_->Fill(Album());
    tileArea_->resize(0, 0);
    bbnProcess_->setEnabled(false);
}

void TPicturesPage::SwitchAlbum(int index) {
    // The page is disabled while busy; a click that still gets through must not start a second
    // preparation inside the first.
    if (context_.busy.Busy()) return;
    if (TAlbumItem* leaving = Album()) {
        details_->CopyInto(*leaving);
        leaving->ReleaseTiles();
    }
    tileArea_->resize(0, 0);
    currentAlbum_ = index;
    details_->Fill(Album());
    RepaintAlbumList();
    try {
        TBusyScope busy(context_.busy);
        PrepareAlbum(context_, currentAlbum_);
    } catch (const std::exception& e) {
        messages_.ShowError(e.what());
    }
    emit albumPrepared();
    if (context_.busy.StopFlag()) context_.host.SetStatusText(kOperationCancelled);
}

bool TPicturesPage::LayoutTiles() {
    const TAlbumItem* album = Album();
    if (currentAlbum_ == -1 || context_.albums.Count() == 0 || !album) return true;
    int boxWidth = 0, boxHeight = 0;
    try {
        boxWidth = ThumbSide(context_.settings.ThumbWidth);
        boxHeight = ThumbSide(context_.settings.ThumbHeight);
    } catch (const ConvertError& e) {
        messages_.ShowError(e.what());
        return false;
    }
    const int areaWidth = TileAreaWidth();
    QRect bounds;
    for (int i = 0; i < album->PictureCount(); ++i) {
        auto* tile = dynamic_cast<TPictureTile*>(album->TileAt(i));
        if (!tile) continue;
        const TTilePlacement where = TilePosition(i, boxWidth, boxHeight, areaWidth);
        tile->Place(where.left, where.top);
        bounds |= tile->Panel().geometry();
    }
    tileArea_->resize(bounds.isEmpty() ? 0 : bounds.right() + 1 + kTileGap,
                      bounds.isEmpty() ? 0 : bounds.bottom() + 1 + kTileGap);
    return true;
}

void TPicturesPage::RelayoutAfterResize() {
    if (!LayoutTiles()) return;
    RepaintAlbumList();
    scrPhotos_->horizontalScrollBar()->setValue(0);
    scrPhotos_->verticalScrollBar()->setValue(0);
    LayoutTiles();
}

bool TPicturesPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == scrPhotos_ && event->type() == QEvent::Resize) RelayoutAfterResize();
    return QWidget::eventFilter(watched, event);
}

void TPicturesPage::RunToolbarTurn(int glyph) {
    TAlbumItem* album = Album();
    if (!album) return;
    const TTurnAction action = glyph == kGlyphCounterClockwise ? TTurnAction::CounterClockwise
                               : glyph == kGlyphClockwise      ? TTurnAction::Clockwise
                               : glyph == kGlyphUTurn          ? TTurnAction::HalfTurn
                                                               : TTurnAction::Flip;
    for (int i = 0; i < album->PictureCount(); ++i)
        if (auto* tile = dynamic_cast<TPictureTile*>(album->TileAt(i))) tile->RunTurn(action);
}

void TPicturesPage::RunAlbumCategories() {
    TAlbumItem* album = Album();
    if (!album || !actions_.openAlbumCategories) return;
    try {
        actions_.openAlbumCategories(album->PictureItems);
    } catch (const std::exception& e) {
        messages_.ShowError(e.what());
    }
}

void TPicturesPage::GrowTileArea(const QRect& tile) {
    tileArea_->resize(std::max(tileArea_->width(), tile.right() + 1 + kTileGap),
                      std::max(tileArea_->height(), tile.bottom() + 1 + kTileGap));
}

int TPicturesPage::TileAreaWidth() const { return scrPhotos_->width(); }

std::unique_ptr<TVisualPictureItem> TPicturesPage::CreateTile(TPictureItem& picture,
                                                              const TTilePlacement& where) {
    TTileSurroundings surroundings;
    surroundings.area = tileArea_;
    surroundings.messages = &messages_;
    surroundings.facePreview = &details_->FacePicture();
    surroundings.actions = &actions_;
    surroundings.buttonFace = ToColor32(palette().color(QPalette::Button));
    auto tile =
        std::make_unique<TPictureTile>(surroundings, *picture.Owner, picture, picture.OriginalFile,
                                       where.boxWidth, where.boxHeight);
    tile->Place(where.left, where.top);
    GrowTileArea(tile->Panel().geometry());
    tile->LoadThumbnail();
    return tile;
}

void TPicturesPage::ClearFacePicture() { details_->FacePicture().FillRaster(kBlack); }

void TPicturesPage::ShowAlbumDetails(const TAlbumItem& album) { details_->Fill(&album); }

void TPicturesPage::RepaintAlbumList() { cmbListOfAlbums_->viewport()->update(); }

void TPicturesPage::SetProcessButton(const std::string& caption, bool enabled) {
    bbnProcess_->setText(QString::fromStdString(caption));
    bbnProcess_->setEnabled(enabled);
}

}  // namespace galerion::ui
