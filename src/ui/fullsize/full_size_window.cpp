#include "ui/fullsize/full_size_window.h"

#include "core/model.h"
#include "core/settings_persistence.h"
#include "image/jpeg_codec.h"
#include "image/orientation.h"
#include "platform/date_time.h"
#include "platform/settings_store.h"
#include "ui/fullsize/date_text.h"
#include "ui/fullsize/picture_view.h"
#include "ui/fullsize/scale_question.h"
#include "ui/fullsize/window_placement.h"

#include <QCheckBox>
#include <QGuiApplication>
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
    auto label = [this](const char* name, const char* text, int right, int top, unsigned anchors) {
        auto* l = new QLabel(QString::fromUtf8(text), this);
        l->setObjectName(QString::fromUtf8(name));
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        const int width = l->sizeHint().width();
        anchored_.push_back({l, QRect(right - width, top - 3, width, 21), anchors});
        return l;
    };
    auto edit = [this](const char* name, QRect r, unsigned anchors) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromUtf8(name));
        anchored_.push_back({e, r, anchors});
        return e;
    };
    auto button = [this](const char* name, const char* text, QRect r, unsigned anchors) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setObjectName(QString::fromUtf8(name));
        b->setAutoDefault(false);
        anchored_.push_back({b, r, anchors});
        return b;
    };
    auto check = [this](const char* name, const char* text, QRect r, unsigned anchors) {
        auto* c = new QCheckBox(QString::fromUtf8(text), this);
        c->setObjectName(QString::fromUtf8(name));
        anchored_.push_back({c, r, anchors});
        return c;
    };

    lblTitle_ = label("lblTitle", "Title:", 45, 6, akLeft | akTop);
    edtTitle_ = edit("edtTitle", QRect(48, 3, 488, 21), akLeft | akTop | akRight);
    lblAltTitle_ = label("lblAltTitle", "Alternative title:", 84, 30, akLeft | akTop);
    edtAltTitle_ = edit("edtAltTitle", QRect(87, 27, 345, 21), akLeft | akTop | akRight);
    lblPictureDate_ = label("lblPictureDate", "Date:", 459, 30, akTop | akRight);
    edtDate_ = edit("edtDate", QRect(462, 27, 74, 21), akTop | akRight);
    edtDate_->setText(QStringLiteral("01/01/1999"));

    imgFull_ = new TPictureView(picture_, this);
    imgFull_->setObjectName(QStringLiteral("scrFull"));
    imgFull_->setFocusPolicy(Qt::StrongFocus);
    anchored_.push_back({imgFull_, QRect(4, 52, 532, 203), akLeft | akTop | akRight | akBottom});

    cbxUseScale_ = check("cbxUseScale", "Use scale:", QRect(6, 261, 72, 17), akLeft | akBottom);
    edtScale_ = edit("edtScale", QRect(78, 259, 70, 21), akLeft | akBottom);
    edtScale_->setText(QString::fromUtf8(kScaleOneText));
    bbnApply_ = button("bbnApply", "Apply", QRect(150, 258, 60, 23), akLeft | akBottom);
    cbxCrop_ = check("cbxCrop", "Set crop:", QRect(5, 283, 72, 17), akLeft | akBottom);
    lblCrop_ = new QLabel(QStringLiteral("(X1, Y1) - (X2,Y2)"), this);
    lblCrop_->setObjectName(QStringLiteral("lblCrop"));
    lblCrop_->setVisible(false);
    anchored_.push_back({lblCrop_, QRect(80, 283, 278, 17), akLeft | akBottom});
    bbnHelp_ = button("bbnHelp_Options", "Help", QRect(361, 280, 60, 23), akRight | akBottom);
    bbnOk_ = button("bbnOk", "OK", QRect(420, 280, 60, 23), akRight | akBottom);
    bbnCancel_ = button("bbnCancel", "Cancel", QRect(479, 280, 60, 23), akRight | akBottom);
    bbnOk_->setDefault(true);

    QWidget* order[] = {edtTitle_, edtAltTitle_, edtDate_, cbxUseScale_, edtScale_, cbxCrop_,
                        bbnCancel_, bbnOk_, imgFull_, bbnApply_, bbnHelp_};
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

void TfrmFullSize::LayOut() {
    const int dx = width() - kDesignWidth, dy = height() - kDesignHeight;
    for (const TAnchored& a : anchored_) {
        QRect r = a.design;
        const bool left = a.anchors & akLeft, right = a.anchors & akRight;
        const bool top = a.anchors & akTop, bottom = a.anchors & akBottom;
        if (left && right) r.setWidth(r.width() + dx);
        else if (right) r.moveLeft(r.left() + dx);
        if (top && bottom) r.setHeight(r.height() + dy);
        else if (bottom) r.moveTop(r.top() + dy);
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
    try {
        const TBusyCursor busy;
        picture_.StretchFilter = ResizeFilter();
        LoadPicture(picture_, p.OriginalFile);
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
    ApplyOrientation(picture_, p.Orientation);
    imgFull_->PictureChanged();
    cropRect_ = CropOf(p).IsNone() ? TCropRect{} : CropOf(p);
    cbxCrop_->setChecked(!cropRect_.IsNone());
    ApplyCrop();
    return true;
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
    if (!p.Tile) return;
    TBitmap32* thumbnail = p.Tile->Thumbnail();
    if (!thumbnail) return;
    LoadPicture(*thumbnail, p.TempFile);
    ApplyOrientation(*thumbnail, p.Orientation);
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
    ApplyScale();
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
