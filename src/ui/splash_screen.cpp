#include "ui/splash_screen.h"

#include "ui/qt_text.h"
#include "ui/screen_centre.h"
#include "ui/version_info.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>

namespace galerion::ui {
namespace {

constexpr int kVersionRightMargin = 8;
constexpr int kVersionTop = 137;
constexpr int kVersionWidth = 220;

// One photo print of the logo: a white card with a small landscape on it.
void DrawPrint(QPainter& p, QPointF centre, qreal angle, QColor sky, QColor hill) {
    p.save();
    p.translate(centre);
    p.rotate(angle);
    const QRectF card(-62, -46, 124, 92);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRoundedRect(card.translated(4, 5), 3, 3);
    p.setBrush(Qt::white);
    p.drawRoundedRect(card, 3, 3);
    const QRectF picture = card.adjusted(7, 7, -7, -7);
    QLinearGradient air(picture.topLeft(), picture.bottomLeft());
    air.setColorAt(0, sky.lighter(140));
    air.setColorAt(1, sky);
    p.fillRect(picture, air);
    p.setBrush(QColor(255, 236, 150));
    p.drawEllipse(QPointF(picture.right() - 26, picture.top() + 18), 9, 9);
    QPainterPath hills(picture.bottomLeft());
    hills.lineTo(picture.left(), picture.top() + 50);
    hills.cubicTo(picture.left() + 30, picture.top() + 28, picture.left() + 60, picture.top() + 62,
                  picture.right(), picture.top() + 40);
    hills.lineTo(picture.bottomRight());
    hills.closeSubpath();
    p.setBrush(hill);
    p.drawPath(hills.intersected([&] {
        QPainterPath clip;
        clip.addRect(picture);
        return clip;
    }()));
    p.restore();
}

QPixmap DrawLogo() {
    QPixmap logo(TfrmGalerionSplash::kWidth, TfrmGalerionSplash::kHeight);
    logo.fill(Qt::white);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient band(0, 0, 0, 120);
    band.setColorAt(0, QColor(38, 70, 120));
    band.setColorAt(1, QColor(70, 120, 180));
    p.fillRect(QRect(0, 0, logo.width(), 120), band);
    DrawPrint(p, {95, 215}, -8, QColor(90, 150, 220), QColor(60, 140, 70));
    DrawPrint(p, {165, 228}, 6, QColor(230, 150, 90), QColor(120, 90, 60));
    QFont title(QStringLiteral("Sans Serif"));
    title.setPixelSize(46);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(24, 22, 360, 60), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Galerion"));
    QFont line = title;
    line.setPixelSize(13);
    line.setBold(false);
    p.setFont(line);
    p.setPen(QColor(225, 235, 250));
    p.drawText(QRect(26, 80, 360, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Photo folders into a photo web site"));
    p.setPen(QColor(160, 160, 160));
    p.drawRect(QRect(0, 0, logo.width() - 1, logo.height() - 1));
    return logo;
}

}  // namespace

TfrmGalerionSplash::TfrmGalerionSplash(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      logo_(MainLogo()) {
    setFixedSize(kWidth, kHeight);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    lblVersion = new QLabel(this);
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignTop);
    lblVersion->setAttribute(Qt::WA_TranslucentBackground);
    lblVersion->setText(DisplayText(SplashVersionText(TVersionInfo())));
    const int height = lblVersion->sizeHint().height();
    lblVersion->setGeometry(kWidth - kVersionRightMargin - kVersionWidth, kVersionTop,
                            kVersionWidth, height);

    mainTimer = new QTimer(this);
    mainTimer->setInterval(kTickMilliseconds);
    connect(mainTimer, &QTimer::timeout, this, &TfrmGalerionSplash::OnTimer);
    CentreOnScreen(*this);
}

QPixmap TfrmGalerionSplash::MainLogo() { return DrawLogo(); }

void TfrmGalerionSplash::showEvent(QShowEvent* event) {
    ticks_ = 0;
    mayClose_ = false;
    CentreOnScreen(*this);
    mainTimer->start();
    QDialog::showEvent(event);
}

void TfrmGalerionSplash::OnTimer() {
    ++ticks_;
    if (ticks_ <= kLastTick) return;
    mayClose_ = true;
    mainTimer->stop();
    close();
}

void TfrmGalerionSplash::done(int result) {
    if (mayClose_) QDialog::done(result);
}

void TfrmGalerionSplash::closeEvent(QCloseEvent* event) {
    if (mayClose_)
        QDialog::closeEvent(event);
    else
        event->ignore();
}

// No key closes the splash (Escape would reject a dialog).
void TfrmGalerionSplash::keyPressEvent(QKeyEvent* event) { event->accept(); }

void TfrmGalerionSplash::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, logo_);
    // raised bevel along the edge
    p.setPen(Qt::white);
    p.drawLine(0, 0, width() - 1, 0);
    p.drawLine(0, 0, 0, height() - 1);
    p.setPen(QColor(128, 128, 128));
    p.drawLine(width() - 1, 0, width() - 1, height() - 1);
    p.drawLine(0, height() - 1, width() - 1, height() - 1);
}

}  // namespace galerion::ui
