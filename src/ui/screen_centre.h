#pragma once
// Places a top-level window in the middle of the available area of its screen.
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace galerion::ui {

inline void CentreOnScreen(QWidget& window) {
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    window.move(area.left() + (area.width() - window.width()) / 2,
                area.top() + (area.height() - window.height()) / 2);
}

}  // namespace galerion::ui
