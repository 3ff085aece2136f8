#include "ui/pictures/album_details.h"

#include "core/model.h"
#include "ui/pictures/raster_widgets.h"

#include <QCheckBox>
#include <QDate>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QVBoxLayout>

#include <cmath>

namespace galerion::ui {

namespace {

constexpr int kFacePreviewHeight = 110;
constexpr int kFacePreviewMinHeight = 60;
constexpr int kAltDescriptionBottomGap = 9;
constexpr int kDescriptionHeight = 60;
constexpr int kAltDescriptionMinHeight = 40;

// The short date form with a four-digit year, so that a two-digit century is never guessed.
QString ScreenDateFormat() {
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QStringLiteral("yyyy")))
        format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return format;
}

QDate ToQDate(TDateTime date) {
    const TDateTimeParts parts = DecodeDateTime(date);
    return QDate(parts.year, parts.month, parts.day);
}

TDateTime FromQDate(const QDate& date) {
    TDateTimeParts parts;
    parts.year = date.year();
    parts.month = date.month();
    parts.day = date.day();
    return EncodeDateTime(parts);
}

QLabel* Caption(const char* text, QWidget* parent) {
    return new QLabel(QString::fromLatin1(text), parent);
}

}  // namespace

QString DateToScreenText(TDateTime date) {
    return QLocale().toString(ToQDate(date), ScreenDateFormat());
}

bool ScreenTextToDate(const QString& text, TDateTime& date) {
    const QString trimmed = text.trimmed();
    QDate parsed = QLocale().toDate(trimmed, ScreenDateFormat());
    if (!parsed.isValid()) {
        parsed = QLocale().toDate(trimmed, QLocale::ShortFormat);
        // The locale's two-digit years mean this century.
        if (parsed.isValid() && parsed.year() < 1950) parsed = parsed.addYears(100);
    }
    if (!parsed.isValid()) parsed = QDate::fromString(trimmed, Qt::ISODate);
    if (!parsed.isValid()) return false;
    date = FromQDate(parsed);
    return true;
}

TAlbumDetails::TAlbumDetails(std::function<TAlbumItem*()> currentAlbum, QWidget* parent)
    : QGroupBox(QStringLiteral("Album details "), parent), currentAlbum_(std::move(currentAlbum)) {
    imgFacePicture_ = new TFacePreview(this);
    imgFacePicture_->setMinimumHeight(kFacePreviewMinHeight);
    imgFacePicture_->SetPreferredHeight(kFacePreviewHeight);
    edtOriginalDirName_ = new QLineEdit(this);
    edtOriginalDirName_->setReadOnly(true);
    edtDate_ = new QLineEdit(this);
    cbxPrivate_ = new QCheckBox(QStringLiteral("Private album"), this);
    edtShortName_ = new QLineEdit(this);
    edtLongName_ = new QLineEdit(this);
    memDescription_ = new QPlainTextEdit(this);
    edtAltLongName_ = new QLineEdit(this);
    memAltDescription_ = new QPlainTextEdit(this);

    // When the window is too low for every control, the details scroll instead of overlapping.
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* content = new QWidget(scroll);
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addWidget(imgFacePicture_);
    column->addWidget(Caption("Original directory name:", content));
    column->addWidget(edtOriginalDirName_);
    column->addWidget(Caption("Date:", content));
    auto* dateRow = new QHBoxLayout();
    dateRow->addWidget(edtDate_);
    dateRow->addWidget(cbxPrivate_);
    column->addLayout(dateRow);
    column->addWidget(Caption("Short name (dir name):", content));
    column->addWidget(edtShortName_);
    column->addWidget(Caption("Long name:", content));
    column->addWidget(edtLongName_);
    column->addWidget(Caption("Description:", content));
    memDescription_->setFixedHeight(kDescriptionHeight);
    column->addWidget(memDescription_);
    column->addWidget(Caption("Alternative long name:", content));
    column->addWidget(edtAltLongName_);
    column->addWidget(Caption("Alternative description:", content));
    // The alternative description takes the group box's height down to 9 pixels above its
    // bottom edge.
    memAltDescription_->setMinimumHeight(kAltDescriptionMinHeight);
    column->addWidget(memAltDescription_, 1);
    scroll->setWidget(content);

    auto* frame = new QVBoxLayout(this);
    QMargins margins = frame->contentsMargins();
    margins.setBottom(kAltDescriptionBottomGap);
    frame->setContentsMargins(margins);
    frame->addWidget(scroll);

    for (QLineEdit* edit : {edtDate_, edtShortName_, edtLongName_, edtAltLongName_})
        connect(edit, &QLineEdit::textChanged, this, [this] { DetailChanged(); });
    for (QPlainTextEdit* memo : {memDescription_, memAltDescription_})
        connect(memo, &QPlainTextEdit::textChanged, this, [this] { DetailChanged(); });
    connect(cbxPrivate_, &QCheckBox::clicked, this, [this] { DetailChanged(); });
    connect(edtOriginalDirName_, &QLineEdit::textChanged, this,
            &TAlbumDetails::originalDirNameChanged);
}

void TAlbumDetails::DetailChanged() {
    if (filling_) return;
    if (TAlbumItem* album = currentAlbum_()) CopyInto(*album);
}

void TAlbumDetails::CopyInto(TAlbumItem& album) const {
    // The processing run looks the stored album up again.
    album.AlbumId = -1;
    album.FacePictureId = -1;
    album.OriginalPath = edtOriginalDirName_->text().toStdString();
    TDateTime date = 0;
    if (ScreenTextToDate(edtDate_->text(), date)) album.AlbumDate = date;
    album.ShortName = edtShortName_->text().toStdString();
    album.IsPrivate = cbxPrivate_->isChecked();
    album.LongName = edtLongName_->text().toStdString();
    album.Description = memDescription_->toPlainText().toStdString();
    album.AltLongName = edtAltLongName_->text().toStdString();
    album.AltDescription = memAltDescription_->toPlainText().toStdString();
}

void TAlbumDetails::Fill(const TAlbumItem* album) {
    filling_ = true;
    edtShortName_->setText(QStringLiteral("<short_name>"));
    cbxPrivate_->setChecked(false);
    edtLongName_->setText(QStringLiteral("<long_name>"));
    memDescription_->setPlainText(QStringLiteral("<description>"));
    edtAltLongName_->setText(QStringLiteral("<alt_long_name>"));
    memAltDescription_->setPlainText(QStringLiteral("<alt_description>"));
    if (album) {
        edtOriginalDirName_->setText(QString::fromStdString(album->OriginalPath));
        edtDate_->setText(DateToScreenText(album->AlbumDate));
        edtShortName_->setText(QString::fromStdString(album->ShortName));
        cbxPrivate_->setChecked(album->IsPrivate);
        edtLongName_->setText(QString::fromStdString(album->LongName));
        memDescription_->setPlainText(QString::fromStdString(album->Description));
        edtAltLongName_->setText(QString::fromStdString(album->AltLongName));
        memAltDescription_->setPlainText(QString::fromStdString(album->AltDescription));
        emit filledFrom(QString::fromStdString(album->ShortName));
    }
    filling_ = false;
}

}  // namespace galerion::ui
