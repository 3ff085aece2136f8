#include "ui/host/message_boxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

#include <cstdlib>

namespace galerion::ui {
namespace {

// Program texts carry Windows line ends; a box shows them as one break each.
QString BoxText(const std::string& text) {
    return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString Caption() { return QApplication::applicationDisplayName(); }

}  // namespace

void TMessageBoxes::ShowError(const std::string& text) {
    QMessageBox::critical(parent_, Caption(), BoxText(text));
}

void TMessageBoxes::ShowWarning(const std::string& text) {
    QMessageBox::warning(parent_, Caption(), BoxText(text));
}

void TMessageBoxes::ShowInformation(const std::string& text) {
    QMessageBox::information(parent_, Caption(), BoxText(text));
}

bool TMessageBoxes::Confirm(const std::string& text) {
    return QMessageBox::question(parent_, Caption(), BoxText(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void TMessageBoxes::ExitProgram(int code) { std::_Exit(code); }

}  // namespace galerion::ui
