#pragma once
// The question asked before a picture is shown above 100 %, with its "do not show again" tick.
#include "ui/fullsize/scale_rule.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace galerion::ui {

class TfrmScale : public QDialog {
    Q_OBJECT
public:
    explicit TfrmScale(QWidget* parent = nullptr);

    // Yes or No and the tick, after the dialog was closed.
    TScaleReply Reply() const;

private:
    QLabel* lblScale_;
    QCheckBox* cbxScale_;
    QPushButton* bbnUpdate_;
    QPushButton* bbnCancel_;
};

// Shows the question modally, centred on the screen.
TScaleReply AskScaleQuestion(QWidget* parent);

}  // namespace galerion::ui
