#include "ui/fullsize/scale_question.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace galerion::ui {
namespace {

constexpr int kWidth = 433, kHeight = 112;

QString QuestionText() {
    return QStringLiteral(
        "You have selected a scaling that is greater than 100%.\n"
        "Depending on the image size and amout of physical memory on your machine , this could "
        "cause your system run out of free memory.\n"
        "Are you sure you want to continue?");
}

}  // namespace

TfrmScale::TfrmScale(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      lblScale_(new QLabel(QuestionText(), this)),
      cbxScale_(new QCheckBox(QStringLiteral("Do not show again. Use selected option."), this)),
      bbnUpdate_(new QPushButton(QStringLiteral("&Yes"), this)),
      bbnCancel_(new QPushButton(QStringLiteral("&No"), this)) {
    setWindowTitle(QStringLiteral("Scale question"));
    setObjectName(QStringLiteral("frmScale"));
    setFixedSize(kWidth, kHeight);
    lblScale_->setObjectName(QStringLiteral("lblScale"));
    lblScale_->setWordWrap(true);
    lblScale_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblScale_->setGeometry(5, 4, 423, 57);
    cbxScale_->setObjectName(QStringLiteral("cbxScale"));
    cbxScale_->setGeometry(5, 84, 260, 17);
    bbnUpdate_->setObjectName(QStringLiteral("bbnUpdate"));
    bbnUpdate_->setGeometry(285, 80, 70, 25);
    bbnUpdate_->setDefault(true);
    bbnCancel_->setObjectName(QStringLiteral("bbnCancel"));
    bbnCancel_->setGeometry(358, 80, 70, 25);
    connect(bbnUpdate_, &QPushButton::clicked, this, &QDialog::accept);
    connect(bbnCancel_, &QPushButton::clicked, this, &QDialog::reject);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(kWidth / 2, kHeight / 2));
}

TScaleReply TfrmScale::Reply() const {
    return {result() == QDialog::Accepted, cbxScale_->isChecked()};
}

TScaleReply AskScaleQuestion(QWidget* parent) {
    TfrmScale dialog(parent);
    dialog.exec();
    return dialog.Reply();
}

}  // namespace galerion::ui
