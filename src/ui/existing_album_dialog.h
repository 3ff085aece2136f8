#pragma once
// "Database choice": the question asked when an album's folder is already stored.
#include "core/host/existing_album_question.h"

#include <QDialog>

#include <string>

class QCheckBox;
class QLabel;
class QPushButton;

namespace galerion::ui {

class TfrmDB : public QDialog {
    Q_OBJECT
public:
    explicit TfrmDB(QWidget* parent = nullptr);

    void SetFoundMessage(const std::string& text);
    // The answer after the dialog closed: its result (Cancel unless Insert or Update was
    // pressed) and the "Do not ask again" box.
    TExistingAlbumReply Reply() const;

    QLabel* lblFoundMessage;
    QLabel* lblMessage;
    QCheckBox* cbxAlways;
    QPushButton* bbnInsert;
    QPushButton* bbnUpdate;
    QPushButton* bbnCancel;

public slots:
    // Escape and the close box answer Cancel.
    void reject() override;

private:
    void FitTexts();
};

// The existing-album role on this dialog, shown modally over `parent`.
class TExistingAlbumDialogs : public TExistingAlbumQuestion {
public:
    explicit TExistingAlbumDialogs(QWidget* parent) : parent_(parent) {}
    TExistingAlbumReply AskExistingAlbum(const std::string& foundMessage) override;

private:
    QWidget* parent_;
};

}  // namespace galerion::ui
