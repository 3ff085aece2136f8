#include "ui/fullsize/full_size_window.h"

#include "core/model.h"
#include "core/settings_persistence.h"
#include "image/jpeg_codec.h"
#include "image/oriented_load.h"
#include "platform/date_time.h"
#include "platform/settings_store.h"
#include "ui/fullsize/date_text.h"
#include "ui/fullsize/drawing_ahead.h"
#include "ui/fullsize/picture_view.h"
#include "ui/fullsize/scale_question.h"
#include "ui/fullsize/window_placement.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <optional>

namespace galerion::ui {
namespace {

constexpr int kDesignWidth = 542, kDesignHeight = 307;
constexpr int kDisplayTimerMs = 50;

enum TAnchor : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };

QString Q(const std::string& text) { return QString::fromStdString(text); }

class TBusyCursor {
public:
    TBusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

// The scale text in the user's locale; the program's own "1.0" reads in every locale.
std::optional<double> ReadScaleText(const QString& text) {
    bool ok = false;
    double value = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok) value = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

std::string FormatScale(double value) {
    return QLocale().toString(value, 'g', QLocale::FloatingPointShortest).toStdString();
}

std::string DateText(const TPictureItem& p) {
    try {
        return ShortDateText(p.PictureDate != 0 ? p.PictureDate : FileModifiedTime(p.OriginalFile));
    } catch (const std::exception&) {
        return {};
    }
}

TCropRect CropOf(const TPictureItem& p) { return {p.CropX1, p.CropY1, p.CropX2, p.CropY2}; }

}  // namespace

struct TfrmFullSize::TAnchored {
    QWidget* widget;
    QRect design;
    unsigned anchors;
};

TfrmFullSize::TfrmFullSize(TSettings& settings, TSettingsStore& store, std::string keyPath,
                           TMessages& messages, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowSystemMenuHint | Qt::WindowTitleHint |
                          Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      settings_(settings),
      store_(store),
      keyPath_(std::move(keyPath)),
      messages_(messages),
      askScale_([this] { return AskScaleQuestion(this); }) {
    setObjectName(QStringLiteral("frmFullSize"));
    setWindowTitle(QStringLiteral("Full size"));
    setModal(true);
    setMinimumSize(550, 300);
    BuildControls();
    resize(kDesignWidth, kDesignHeight);
    timer_.setInterval(kDisplayTimerMs);
    connect(&timer_, &QTimer::timeout, this, &TfrmFullSize::OnTimer);
    sizeMoveEnd_.setSingleShot(true);
    sizeMoveEnd_.setInterval(kSizeMoveSettleMs);
    connect(&sizeMoveEnd_, &QTimer::timeout, this, &TfrmFullSize::SizeMoveEnded);
}

TfrmFullSize::~TfrmFullSize() = default;

void TfrmFullSize::BuildControls() {
    auto make = [this]<class T>(T* widget, const char* name) {
        widget->setObjectName(QString::fromUtf8(name));
        return widget;
    };
    const auto text = [](const char* t) { return QString::fromUtf8(t); };
    lblTitle_ = make(new QLabel(text("Title:"), this), "lblTitle");
    edtTitle_ = make(new QLineEdit(this), "edtTitle");
    lblAltTitle_ = make(new QLabel(text("Alternative title:"), this), "lblAltTitle");
    edtAltTitle_ = make(new QLineEdit(this), "edtAltTitle");
    lblPictureDate_ = make(new QLabel(text("Date:"), this), "lblPictureDate");
    edtDate_ = make(new QLineEdit(text("01/01/1999"), this), "edtDate");
    imgFull_ = make(new TPictureView(picture_, this), "scrFull");
    imgFull_->setFocusPolicy(Qt::StrongFocus);
    cbxUseScale_ = make(new QCheckBox(text("Use scale:"), this), "cbxUseScale");
    edtScale_ = make(new QLineEdit(text(kScaleOneText), this), "edtScale");
    bbnApply_ = make(new QPushButton(text("Apply"), this), "bbnApply");
    cbxCrop_ = make(new QCheckBox(text("Set crop:"), this), "cbxCrop");
    lblCrop_ = make(new QLabel(text("(X1, Y1) - (X2,Y2)"), this), "lblCrop");
    lblCrop_->setVisible(false);
    lblCrop_->setWordWrap(true);  // two lines where the window is too narrow for one
    bbnHelp_ = make(new QPushButton(text("Help"), this), "bbnHelp_Options");
    bbnOk_ = make(new QPushButton(text("OK"), this), "bbnOk");
    bbnCancel_ = make(new QPushButton(text("Cancel"), this), "bbnCancel");
    for (QPushButton* b : {bbnApply_, bbnHelp_, bbnOk_, bbnCancel_}) b->setAutoDefault(false);
    bbnOk_->setDefault(true);
    for (QLabel* l : {lblTitle_, lblAltTitle_, lblPictureDate_})
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    PlaceControls();

    QWidget* order[] = {edtTitle_,  edtAltTitle_, edtDate_, cbxUseScale_, edtScale_, cbxCrop_,
                        bbnCancel_, bbnOk_,       imgFull_, bbnApply_,    bbnHelp_};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    connect(cbxUseScale_, &QCheckBox::clicked, this, &TfrmFullSize::ApplyScale);
    connect(bbnApply_, &QPushButton::clicked, this, &TfrmFullSize::ApplyScale);
    connect(cbxCrop_, &QCheckBox::clicked, this, &TfrmFullSize::ApplyCrop);
    connect(bbnHelp_, &QPushButton::clicked, this, [this] {
        if (help_) help_(kHelpContext);
    });
    connect(bbnOk_, &QPushButton::clicked, this, &QDialog::accept);
    connect(bbnCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(imgFull_, &TPictureView::cropProposed, this, &TfrmFullSize::OnCropProposed);
    connect(imgFull_, &TPictureView::leftButtonMoved, this, &TfrmFullSize::OnLeftButtonMoved);
    connect(imgFull_, &TPictureView::mouseReleased, this, &TfrmFullSize::OnMouseReleased);
}

// The design's arrangement at its client size, with room for the desktop font's texts: the
// labels and check boxes take their natural width and the controls after them follow.
void TfrmFullSize::PlaceControls() {
    const int editHeight = std::max(21, edtTitle_->sizeHint().height());
    const int buttonHeight = std::max(23, bbnOk_->sizeHint().height());
    const int buttonWidth = std::max(60, bbnCancel_->sizeHint().width());
    const int row1 = 3, row2 = row1 + editHeight + 3;
    const int bottomRow = kDesignHeight - 4 - buttonHeight;
    const int scaleRow = bottomRow - 2 - std::max(editHeight, buttonHeight);
    auto width = [](QWidget* w) { return w->sizeHint().width(); };
    auto add = [this](QWidget* w, QRect r, unsigned anchors) {
        anchored_.push_back({w, r, anchors});
    };

    const int titleRight = 6 + width(lblTitle_);
    add(lblTitle_, QRect(6, row1, width(lblTitle_), editHeight), akLeft | akTop);
    add(edtTitle_, QRect(titleRight + 3, row1, kDesignWidth - 6 - titleRight - 3, editHeight),
        akLeft | akTop | akRight);
    const int dateWidth =
        std::max(74, edtDate_->fontMetrics().horizontalAdvance(QStringLiteral("00/00/0000")) + 12);
    const int dateLeft = kDesignWidth - 6 - dateWidth;
    const int dateLabelLeft = dateLeft - 3 - width(lblPictureDate_);
    const int altRight = 6 + width(lblAltTitle_);
    add(lblAltTitle_, QRect(6, row2, width(lblAltTitle_), editHeight), akLeft | akTop);
    add(edtAltTitle_, QRect(altRight + 3, row2, dateLabelLeft - 6 - altRight - 3, editHeight),
        akLeft | akTop | akRight);
    add(lblPictureDate_, QRect(dateLabelLeft, row2, width(lblPictureDate_), editHeight),
        akTop | akRight);
    add(edtDate_, QRect(dateLeft, row2, dateWidth, editHeight), akTop | akRight);
    const int viewTop = row2 + editHeight + 4;
    add(imgFull_, QRect(4, viewTop, kDesignWidth - 10, scaleRow - 4 - viewTop),
        akLeft | akTop | akRight | akBottom);

    const int scaleEditLeft = 6 + width(cbxUseScale_) + 2;
    add(cbxUseScale_, QRect(6, scaleRow, width(cbxUseScale_), editHeight), akLeft | akBottom);
    add(edtScale_, QRect(scaleEditLeft, scaleRow, 70, editHeight), akLeft | akBottom);
    add(bbnApply_, QRect(scaleEditLeft + 72, scaleRow, buttonWidth, buttonHeight),
        akLeft | akBottom);
    const int helpLeft = kDesignWidth - 3 - 3 * buttonWidth;
    const int cropLabelLeft = 6 + width(cbxCrop_) + 2;
    add(cbxCrop_, QRect(6, bottomRow, width(cbxCrop_), buttonHeight), akLeft | akBottom);
    add(lblCrop_, QRect(cropLabelLeft, bottomRow, helpLeft - 4 - cropLabelLeft, buttonHeight),
        akLeft | akRight | akBottom);
    add(bbnHelp_, QRect(helpLeft, bottomRow, buttonWidth, buttonHeight), akRight | akBottom);
    add(bbnOk_, QRect(helpLeft + buttonWidth, bottomRow, buttonWidth, buttonHeight),
        akRight | akBottom);
    add(bbnCancel_, QRect(helpLeft + 2 * buttonWidth, bottomRow, buttonWidth, buttonHeight),
        akRight | akBottom);
}

void TfrmFullSize::LayOut() {
    const int dx = width() - kDesignWidth, dy = height() - kDesignHeight;
    for (const TAnchored& a : anchored_) {
        QRect r = a.design;
        const bool left = a.anchors & akLeft, right = a.anchors & akRight;
        const bool top = a.anchors & akTop, bottom = a.anchors & akBottom;
        if (left && right)
            r.setWidth(r.width() + dx);
        else if (right)
            r.moveLeft(r.left() + dx);
        if (top && bottom)
            r.setHeight(r.height() + dy);
        else if (bottom)
            r.moveTop(r.top() + dy);
        a.widget->setGeometry(r);
    }
}

// --- Opening and closing -------------------------------------------------------------------

bool TfrmFullSize::Execute(TPictureItem& picture) {
    if (!Open(picture)) return false;
    const bool accepted = exec() == QDialog::Accepted;
    Finish(picture, accepted);
    return accepted;
}

bool TfrmFullSize::Open(TPictureItem& p) {
    std::optional<TFittedDrawing> ahead;
    try {
        const TBusyCursor busy;
        picture_.StretchFilter = ResizeFilter();
        ahead = FittedDrawingAhead();
        const TColourProfiles colour = ShownColour(settings_.ColourProfiles);
        if (ahead) {
            ahead->Colour = colour;
            LoadPictureDrawingFitted(picture_, p.OriginalFile, p.Orientation, *ahead);
        } else {
            LoadPictureOriented(picture_, p.OriginalFile, p.Orientation, colour);
        }
    } catch (const std::exception& e) {
        imgFull_->PictureChanged();
        messages_.ShowError(e.what());
        return false;
    }
    setWindowTitle(QStringLiteral("Fullsize image - ") +
                   Q(std::filesystem::path(p.OriginalFile).filename().string()));
    edtTitle_->setText(Q(p.Title));
    edtAltTitle_->setText(Q(p.AltTitle));
    edtDate_->setText(Q(DateText(p)));
    imgFull_->PictureChanged();
    if (ahead) imgFull_->AdoptFittedDrawing(std::move(ahead->View), ahead->PictureRect);
    imgFull_->ReleaseCropFrame();  // a frame left from an opening that was not finished
    cropRect_ = CropOf(p).IsNone() ? TCropRect{} : CropOf(p);
    cbxCrop_->setChecked(!cropRect_.IsNone());
    ApplyCrop();
    return true;
}

// When the window will show the picture fitted, at a size known now, the first drawing is made
// while the photo is decoded.
std::optional<TFittedDrawing> TfrmFullSize::FittedDrawingAhead() {
    ReadPlacement();
    if (cbxUseScale_->isChecked() || isMaximized() || windowState().testFlag(Qt::WindowMaximized))
        return std::nullopt;
    LayOut();
    TFittedDrawing drawing;
    drawing.ViewWidth = imgFull_->width();
    drawing.ViewHeight = imgFull_->height();
    const QColor background = imgFull_->palette().color(QPalette::Window);
    drawing.Background = Color32(background.red(), background.green(), background.blue());
    return drawing;
}

void TfrmFullSize::Finish(TPictureItem& p, bool accepted) {
    std::string thumbnailError;
    if (accepted) {
        // The edits are written even when the working thumbnail cannot be read again.
        try {
            ReloadTileThumbnail(p);
        } catch (const std::exception& e) {
            thumbnailError = e.what();
        }
        p.Title = edtTitle_->text().toStdString();
        p.AltTitle = edtAltTitle_->text().toStdString();
        if (const std::optional<TDateTime> date = ReadLocalDateTime(edtDate_->text().toStdString()))
            p.PictureDate = *date;
        const TCropRect crop = cbxCrop_->isChecked() ? cropRect_ : TCropRect{};
        p.CropX1 = crop.X1;
        p.CropY1 = crop.Y1;
        p.CropX2 = crop.X2;
        p.CropY2 = crop.Y2;
    }
    p.PixelWidth = picture_.Width();
    p.PixelHeight = picture_.Height();
    imgFull_->ReleaseCropFrame();
    if (p.Tile) p.Tile->Repaint();
    if (!thumbnailError.empty()) messages_.ShowError(thumbnailError);
}

void TfrmFullSize::ReloadTileThumbnail(TPictureItem& p) {
    if (p.Tile) p.Tile->ReloadThumbnail();
}

void TfrmFullSize::done(int result) {
    std::fill(picture_.Bits(), picture_.Bits() + picture_.PixelCount(), Color32(0, 0, 0));
    imgFull_->PictureChanged();
    SavePlacement();
    timer_.stop();
    sizeMoveEnd_.stop();
    sizing_ = false;
    interactive_ = false;
    QDialog::done(result);
}

// --- Placement ------------------------------------------------------------------------------

void TfrmFullSize::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) RestorePlacement();
}

void TfrmFullSize::RestorePlacement() {
    ReadPlacement();
    ApplyScale();
}

void TfrmFullSize::ReadPlacement() {
    const QRect screenArea = screen()->availableGeometry();
    WithProgramKeyIgnoringErrors(store_, keyPath_, [&](TSettingsStore& s) {
        TWindowPlacement p;
        p.Top = ReadStoredInteger(s, kFullSizeSection, "Top", p.Top);
        p.Left = ReadStoredInteger(s, kFullSizeSection, "Left", p.Left);
        p.Width = ReadStoredInteger(s, kFullSizeSection, "Width", p.Width);
        p.Heigth = ReadStoredInteger(s, kFullSizeSection, "Heigth", p.Heigth);
        p = ClampPlacement(p, screenArea.width(), screenArea.height());
        setWindowState(windowState() & ~Qt::WindowMaximized);
        move(p.Left, p.Top);
        resize(p.Width, p.Heigth);
        if (ReadStoredBool(s, kFullSizeSection, "Restore", false))
            setWindowState(windowState() | Qt::WindowMaximized);
        edtScale_->setText(Q(ReadStoredString(s, kFullSizeSection, "ScaleValue", kScaleOneText)));
        cbxUseScale_->setChecked(ReadStoredBool(s, kFullSizeSection, "UseScale", false));
    });
}

void TfrmFullSize::SavePlacement() {
    WithProgramKeyIgnoringErrors(store_, keyPath_, [&](TSettingsStore& s) {
        WriteStoredBool(s, kFullSizeSection, "Restore", isMaximized());
        QRect normal = normalGeometry();
        if (!normal.isValid()) {
            setWindowState(Qt::WindowNoState);
            normal = geometry();
        }
        // Stored as the frame's corner, which is what moving the window takes back.
        const QPoint frameOffset = geometry().topLeft() - pos();
        WriteStoredInteger(s, kFullSizeSection, "Top", normal.top() - frameOffset.y());
        WriteStoredInteger(s, kFullSizeSection, "Left", normal.left() - frameOffset.x());
        WriteStoredInteger(s, kFullSizeSection, "Width", normal.width());
        WriteStoredInteger(s, kFullSizeSection, "Heigth", normal.height());
        WriteStoredString(s, kFullSizeSection, "ScaleValue", edtScale_->text().toStdString());
        WriteStoredBool(s, kFullSizeSection, "UseScale", cbxUseScale_->isChecked());
    });
}

// --- Scale and crop -------------------------------------------------------------------------

void TfrmFullSize::ApplyScale() {
    const bool useScale = cbxUseScale_->isChecked();
    bbnApply_->setEnabled(useScale);
    if (!useScale) {
        imgFull_->SetFitMode();
        return;
    }
    const TScaleOutcome outcome = ResolveScale(ReadScaleText(edtScale_->text()), imgFull_->Scale(),
                                               settings_, askScale_, &FormatScale);
    if (outcome.Text) edtScale_->setText(Q(*outcome.Text));
    imgFull_->SetScaleMode(outcome.Scale);
}

void TfrmFullSize::ApplyCrop() {
    const bool crop = cbxCrop_->isChecked();
    lblCrop_->setVisible(crop);
    if (!crop) {
        // The rectangle keeps its values; OK looks at the tick.
        imgFull_->ReleaseCropFrame();
        return;
    }
    if (imgFull_->CropFrame()) return;
    const TCropLocation location = cropRect_.IsNone()
                                       ? DefaultCropLocation(picture_.Width(), picture_.Height())
                                       : LocationOf(cropRect_);
    SetCropFrom(location);
    imgFull_->ShowCropFrame(location);
}

void TfrmFullSize::SetCropFrom(const TCropLocation& location) {
    lblCrop_->setText(Q(CropLabelText(location)));
    cropRect_ = CropRectOf(location);
}

void TfrmFullSize::OnCropProposed(const TCropLocation& proposed, TCropEdges dragged,
                                  bool symmetric) {
    const std::optional<TCropLocation> previous = imgFull_->CropFrame();
    if (!previous) return;
    const TCropRuleOutcome outcome = ApplyResizingRule(proposed, *previous, dragged, symmetric,
                                                       picture_.Width(), picture_.Height());
    SetCropFrom(outcome.Stored);
    interactive_ = true;
    imgFull_->MoveCropFrame(outcome.Shown);
}

// --- Display quality while the user drags -----------------------------------------------------

TStretchFilter TfrmFullSize::ResizeFilter() const {
    return static_cast<TStretchFilter>(std::clamp(settings_.ResizeMode, 0, 4));
}

void TfrmFullSize::SetFilter(TStretchFilter filter) {
    if (picture_.StretchFilter == filter) return;
    picture_.StretchFilter = filter;
    imgFull_->viewport()->update();
}

void TfrmFullSize::OnLeftButtonMoved() {
    if (interactive_) SetFilter(sfNearest);
}

void TfrmFullSize::OnMouseReleased() {
    if (!interactive_) return;
    interactive_ = false;
    timer_.start();
}

void TfrmFullSize::OnTimer() {
    if (interactive_) return;
    SetFilter(ResizeFilter());
    imgFull_->viewport()->update();
    timer_.stop();
}

void TfrmFullSize::SizeMoveStarted() {
    sizing_ = true;
    if (cbxUseScale_->isChecked()) return;
    interactive_ = true;
    SetFilter(sfNearest);
    timer_.stop();
}

void TfrmFullSize::SizeMoveEnded() {
    sizing_ = false;
    interactive_ = false;
    timer_.start();
}

// The window system's own moves and resizes while the window is up are the user's: the first
// starts an interaction and a pause in them ends it.
void TfrmFullSize::InteractiveSizeMoveEvent(bool spontaneous) {
    if (!spontaneous || !isVisible()) return;
    if (!sizing_) SizeMoveStarted();
    sizeMoveEnd_.start();
}

void TfrmFullSize::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && help_) {
        help_(kHelpContext);
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmFullSize::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    LayOut();
    InteractiveSizeMoveEvent(event->spontaneous());
}

void TfrmFullSize::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    InteractiveSizeMoveEvent(event->spontaneous());
}

}  // namespace galerion::ui
