#pragma once
// The Finish page: the congratulation and the processing log.
#include <QWidget>

class QLabel;
class QPushButton;

namespace galerion::ui {

class TLogViewWidget;

class TFinishPage : public QWidget {
    Q_OBJECT
public:
    explicit TFinishPage(QWidget* parent = nullptr);

    QLabel* lblTitle;
    TLogViewWidget* memLog;
    QPushButton* bbnHelp_Final;
    QPushButton* bbnStartAgain;
    QPushButton* bbnClose;
};

}  // namespace galerion::ui
