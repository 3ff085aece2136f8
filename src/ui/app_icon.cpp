#include "ui/app_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace galerion::ui {
namespace {

// On a 64-unit grid: a blue rounded square holding a photo print with a sun and two hills.
QPixmap DrawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    QLinearGradient back(0, 0, 0, 64);
    back.setColorAt(0, QColor(0x3A, 0x6E, 0xB4));
    back.setColorAt(1, QColor(0x26, 0x46, 0x78));
    p.setPen(Qt::NoPen);
    p.setBrush(back);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(10, 14, 44, 36), 2, 2);
    const QRectF picture(14, 18, 36, 28);
    QLinearGradient sky(picture.topLeft(), picture.bottomLeft());
    sky.setColorAt(0, QColor(0x9C, 0xD2, 0xF6));
    sky.setColorAt(1, QColor(0x5A, 0x9C, 0xDC));
    p.fillRect(picture, sky);
    p.setBrush(QColor(0xFF, 0xD8, 0x5A));
    p.drawEllipse(QPointF(42, 25), 4, 4);
    QPainterPath hills(QPointF(14, 46));
    hills.lineTo(14, 38);
    hills.cubicTo(22, 30, 28, 40, 34, 36);
    hills.cubicTo(40, 32, 46, 34, 50, 38);
    hills.lineTo(50, 46);
    hills.closeSubpath();
    p.setBrush(QColor(0x3C, 0x96, 0x46));
    p.drawPath(hills);
    return pixmap;
}

}  // namespace

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(DrawIcon(size));
    return icon;
}

}  // namespace galerion::ui
