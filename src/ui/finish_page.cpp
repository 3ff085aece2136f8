#include "ui/finish_page.h"

#include "ui/log_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace galerion::ui {

TFinishPage::TFinishPage(QWidget* parent) : QWidget(parent) {
    lblTitle = new QLabel(QStringLiteral("Congratulations! Process has finished."));
    QFont title = lblTitle->font();
    title.setPixelSize(19);
    title.setBold(true);
    lblTitle->setFont(title);
    memLog = new TLogViewWidget;

    bbnHelp_Final = new QPushButton(QStringLiteral("Help"));
    bbnStartAgain = new QPushButton(QStringLiteral("Start again"));
    bbnStartAgain->setToolTip(QStringLiteral("Start again"));
    bbnClose = new QPushButton(QStringLiteral("Close"));
    bbnClose->setToolTip(QStringLiteral("Close application"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bbnHelp_Final);
    buttons->addStretch();
    buttons->addWidget(bbnStartAgain);
    buttons->addWidget(bbnClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTitle);
    layout->addWidget(memLog, 1);
    layout->addLayout(buttons);
}

}  // namespace galerion::ui
