#pragma once
// The splash screen: the program's logo and version for about five seconds at start-up. It
// closes itself at the 51st tick of its timer and refuses every other close.
#include <QDialog>
#include <QPixmap>

class QLabel;
class QTimer;

namespace galerion::ui {

class TfrmGalerionSplash : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 300;
    static constexpr int kTickMilliseconds = 100;
    static constexpr int kLastTick = 50;  // closes when the counter exceeds this

    explicit TfrmGalerionSplash(QWidget* parent = nullptr);

    int Ticks() const { return ticks_; }
    bool MayClose() const { return mayClose_; }

    // The logo, drawn by the program.
    static QPixmap MainLogo();

    QLabel* lblVersion;
    QTimer* mainTimer;

public slots:
    void OnTimer();
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap logo_;
    int ticks_ = 0;
    bool mayClose_ = false;
};

}  // namespace galerion::ui
