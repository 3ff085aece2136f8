#include "ui/existing_album_dialog.h"

#include "ui/qt_text.h"
#include "ui/screen_centre.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace galerion::ui {
namespace {

constexpr int kClientWidth = 433;
constexpr int kClientHeight = 143;

constexpr const char* kChoicesText =
    "Insert - a new album will be added to the database with all the selected pictures.\n"
    "Update - existing records will be updated, new pictures (if any) will be added.\n"
    "Cancel - will not cause any changes in the database.";

constexpr int Result(TExistingAlbumAnswer answer) { return static_cast<int>(answer); }

QPushButton* AnswerButton(QDialog* dialog, const char* text, QRect where,
                          TExistingAlbumAnswer answer) {
    auto* button = new QPushButton(QString::fromLatin1(text), dialog);
    button->setGeometry(where);
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, dialog,
                     [dialog, answer] { dialog->done(Result(answer)); });
    return button;
}

}  // namespace

TfrmDB::TfrmDB(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Database choice"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);

    lblFoundMessage = new QLabel(this);
    lblFoundMessage->setGeometry(5, 3, 423, 37);
    lblFoundMessage->setWordWrap(true);
    lblMessage = new QLabel(QString::fromLatin1(kChoicesText), this);
    lblMessage->setGeometry(17, 40, 410, 51);
    lblMessage->setWordWrap(true);
    cbxAlways = new QCheckBox(
        QStringLiteral("Do not ask this question again. Always use selected option."), this);
    cbxAlways->setGeometry(3, 93, 424, 17);
    bbnInsert = AnswerButton(this, "Insert", {205, 113, 75, 25}, TExistingAlbumAnswer::Insert);
    bbnUpdate = AnswerButton(this, "Update", {279, 113, 75, 25}, TExistingAlbumAnswer::Update);
    bbnCancel = AnswerButton(this, "Cancel", {353, 113, 75, 25}, TExistingAlbumAnswer::Cancel);
    setTabOrder(cbxAlways, bbnInsert);
    setTabOrder(bbnInsert, bbnUpdate);
    setTabOrder(bbnUpdate, bbnCancel);
    cbxAlways->setFocus();
    setResult(Result(TExistingAlbumAnswer::Cancel));
    FitTexts();
    CentreOnScreen(*this);
}

void TfrmDB::SetFoundMessage(const std::string& text) {
    lblFoundMessage->setText(ToQt(text));
    FitTexts();
}

// The design sizes hold the texts in the designer's font; a wider font gets taller labels, and
// everything below them moves down with the dialog's bottom edge.
void TfrmDB::FitTexts() {
    const int foundHeight = std::max(37, lblFoundMessage->heightForWidth(423));
    const int messageHeight = std::max(51, lblMessage->heightForWidth(410));
    const int extra = (foundHeight - 37) + (messageHeight - 51);
    lblFoundMessage->setGeometry(5, 3, 423, foundHeight);
    lblMessage->setGeometry(17, 40 + foundHeight - 37, 410, messageHeight);
    cbxAlways->move(3, 93 + extra);
    bbnInsert->move(205, 113 + extra);
    bbnUpdate->move(279, 113 + extra);
    bbnCancel->move(353, 113 + extra);
    setFixedSize(kClientWidth, kClientHeight + extra);
}

void TfrmDB::reject() { done(Result(TExistingAlbumAnswer::Cancel)); }

TExistingAlbumReply TfrmDB::Reply() const {
    TExistingAlbumReply reply;
    switch (result()) {
        case Result(TExistingAlbumAnswer::Insert):
            reply.answer = TExistingAlbumAnswer::Insert;
            break;
        case Result(TExistingAlbumAnswer::Update):
            reply.answer = TExistingAlbumAnswer::Update;
            break;
        default: reply.answer = TExistingAlbumAnswer::Cancel; break;
    }
    reply.always = cbxAlways->isChecked();
    return reply;
}

TExistingAlbumReply TExistingAlbumDialogs::AskExistingAlbum(const std::string& foundMessage) {
    TfrmDB dialog(parent_);
    dialog.SetFoundMessage(foundMessage);
    dialog.exec();
    return dialog.Reply();
}

}  // namespace galerion::ui
