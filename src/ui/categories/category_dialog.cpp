#include "ui/categories/category_dialog.h"

#include "core/host/messages.h"
#include "db/category_check_list.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

namespace galerion::ui {
namespace {

constexpr int kWidth = 387, kHeight = 183;

QString Q(const std::string& text) { return QString::fromStdString(text); }

bool BlankOrControl(QChar c) { return c.unicode() <= 0x20; }

}  // namespace

bool CategoryTitleIsEmpty(const QString& title) {
    for (QChar c : title)
        if (!BlankOrControl(c)) return false;
    return true;
}

TfrmAddEditCategory::TfrmAddEditCategory(TMessages& messages, TCategoryItem* item, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      messages_(messages),
      item_(item),
      edtName_(new QLineEdit(this)),
      memDescription_(new QPlainTextEdit(this)),
      edtNameR_(new QLineEdit(this)),
      memDescriptionR_(new QPlainTextEdit(this)),
      bbnOk_(new QPushButton(QStringLiteral("OK"), this)),
      bbnCancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
    setObjectName(QStringLiteral("frmAddEditCategory"));
    setFixedSize(kWidth, kHeight);
    auto place = [this](QWidget* w, const char* name, QRect r) {
        w->setObjectName(QString::fromUtf8(name));
        w->setGeometry(r);
    };
    auto caption = [this](const char* text, int left, int top) {
        auto* label = new QLabel(QString::fromUtf8(text), this);
        label->setGeometry(left, top, 180, 16);
    };
    caption("Category title:", 8, 6);
    place(edtName_, "edtName", QRect(8, 22, 180, 21));
    caption("Description:", 8, 48);
    place(memDescription_, "memDescription", QRect(8, 64, 180, 78));
    caption("Alternative category title:", 199, 6);
    place(edtNameR_, "edtNameR", QRect(199, 22, 180, 21));
    caption("Alternative description:", 199, 48);
    place(memDescriptionR_, "memDescriptionR", QRect(199, 64, 180, 78));
    place(bbnOk_, "bbnOk", QRect(226, 151, 75, 25));
    place(bbnCancel_, "bbnCancel", QRect(304, 151, 75, 25));
    memDescription_->setTabChangesFocus(true);
    memDescriptionR_->setTabChangesFocus(true);
    bbnOk_->setDefault(true);
    connect(bbnOk_, &QPushButton::clicked, this, &QDialog::accept);
    connect(bbnCancel_, &QPushButton::clicked, this, &QDialog::reject);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(kWidth / 2, kHeight / 2));
}

void TfrmAddEditCategory::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    edtName_->setText(item_ ? Q(item_->title) : QString());
    memDescription_->setPlainText(item_ ? Q(item_->description) : QString());
    edtNameR_->setText(item_ ? Q(item_->alt_title) : QString());
    memDescriptionR_->setPlainText(item_ ? Q(item_->alt_description) : QString());
    edtName_->setFocus();
}

void TfrmAddEditCategory::done(int result) {
    if (result == QDialog::Accepted) {
        if (CategoryTitleIsEmpty(edtName_->text())) {
            messages_.ShowError("Category name can not be empty.");
            edtName_->setFocus();
            return;
        }
        if (item_) {
            item_->title = edtName_->text().toStdString();
            item_->description = memDescription_->toPlainText().toStdString();
            item_->alt_title = edtNameR_->text().toStdString();
            item_->alt_description = memDescriptionR_->toPlainText().toStdString();
        }
    }
    QDialog::done(result);
}

}  // namespace galerion::ui
