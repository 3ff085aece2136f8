#pragma once
// The album details of the Pictures page. What the user types goes straight into the current
// album; filling the controls from an album never writes back.
#include "platform/date_time.h"

#include <QGroupBox>
#include <QString>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace galerion {
class TAlbumItem;
}

namespace galerion::ui {

class TFacePreview;

// Dates on screen: the user's short date form (with the full year, so that it reads back the
// same), read back in that form, the locale's own short form or ISO. False: not a date.
QString DateToScreenText(TDateTime date);
bool ScreenTextToDate(const QString& text, TDateTime& date);

class TAlbumDetails : public QGroupBox {
    Q_OBJECT

public:
    // `currentAlbum` gives the album that changes go into, or nullptr.
    explicit TAlbumDetails(std::function<TAlbumItem*()> currentAlbum, QWidget* parent = nullptr);

    // Placeholders first, then the album's values when there is one; nothing is copied back
    // while this runs.
    void Fill(const TAlbumItem* album);
    // Every detail control into the album (a date that does not read keeps the album's date).
    void CopyInto(TAlbumItem& album) const;
    bool FillingDetails() const { return filling_; }

    TFacePreview& FacePicture() const { return *imgFacePicture_; }
    QLineEdit& OriginalDirName() const { return *edtOriginalDirName_; }
    QLineEdit& Date() const { return *edtDate_; }
    QCheckBox& Private() const { return *cbxPrivate_; }
    QLineEdit& ShortName() const { return *edtShortName_; }
    QLineEdit& LongName() const { return *edtLongName_; }
    QPlainTextEdit& Description() const { return *memDescription_; }
    QLineEdit& AltLongName() const { return *edtAltLongName_; }
    QPlainTextEdit& AltDescription() const { return *memAltDescription_; }

signals:
    // The original directory's text changed (the page names the album by it).
    void originalDirNameChanged(const QString& text);
    // Filling ended with an album: the page names the album by its short name.
    void filledFrom(const QString& shortName);

private:
    void DetailChanged();

    std::function<TAlbumItem*()> currentAlbum_;
    bool filling_ = false;
    TFacePreview* imgFacePicture_ = nullptr;
    QLineEdit* edtOriginalDirName_ = nullptr;
    QLineEdit* edtDate_ = nullptr;
    QCheckBox* cbxPrivate_ = nullptr;
    QLineEdit* edtShortName_ = nullptr;
    QLineEdit* edtLongName_ = nullptr;
    QPlainTextEdit* memDescription_ = nullptr;
    QLineEdit* edtAltLongName_ = nullptr;
    QPlainTextEdit* memAltDescription_ = nullptr;
};

}  // namespace galerion::ui
