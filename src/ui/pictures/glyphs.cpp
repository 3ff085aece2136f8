#include "ui/pictures/glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>
#include <cmath>

namespace galerion::ui {

namespace {

constexpr std::array<const char*, kGlyphCount> kThemeNames = {
    "view-refresh",  // U-turn
    "object-flip-horizontal",
    "object-rotate-right",
    "object-rotate-left",
    "list-remove",          // exclude
    "system-lock-screen",   // private
    "document-properties",  // categories
    "emblem-favorite",      // face of the album
};

const QColor kInk(40, 40, 40);
const QColor kAccent(30, 90, 180);

// A three-quarter circle with an arrow head at its end; clockwise when `clockwise`.
void DrawTurnArrow(QPainter& p, bool clockwise, int sweepDegrees) {
    const QRectF circle(3.5, 3.5, 10, 10);
    const int start = clockwise ? 90 : 90;
    const int sweep = clockwise ? -sweepDegrees : sweepDegrees;
    QPainterPath arc;
    arc.arcMoveTo(circle, start);
    arc.arcTo(circle, start, sweep);
    p.setPen(QPen(kAccent, 1.6));
    p.drawPath(arc);
    const QPointF end = arc.currentPosition();
    const double side = clockwise ? -1 : 1;
    QPainterPath head;
    head.moveTo(end + QPointF(-3 * side, -1));
    head.lineTo(end + QPointF(1 * side, 3));
    head.lineTo(end + QPointF(3 * side, -2));
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawPath(head);
}

void DrawFlip(QPainter& p) {
    p.setPen(QPen(kInk, 1, Qt::DashLine));
    p.drawLine(QPointF(8.5, 1), QPointF(8.5, 16));
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawPolygon(QPolygonF({QPointF(7, 4), QPointF(7, 13), QPointF(1, 13)}));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kAccent, 1));
    p.drawPolygon(QPolygonF({QPointF(10, 4), QPointF(10, 13), QPointF(16, 13)}));
}

void DrawExclude(QPainter& p) {
    p.setPen(QPen(QColor(190, 30, 30), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4, 4), QPointF(13, 13));
    p.drawLine(QPointF(13, 4), QPointF(4, 13));
}

void DrawLock(QPainter& p) {
    p.setPen(QPen(kInk, 1.5));
    p.drawArc(QRectF(5, 2, 7, 8), 0, 180 * 16);
    p.drawLine(QPointF(5, 6), QPointF(5, 8));
    p.drawLine(QPointF(12, 6), QPointF(12, 8));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 150, 30));
    p.drawRoundedRect(QRectF(3, 8, 11, 8), 1.5, 1.5);
}

void DrawCategories(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(240, 200, 80));
    QPainterPath tag;
    tag.moveTo(2, 5);
    tag.lineTo(9, 5);
    tag.lineTo(15, 9);
    tag.lineTo(9, 13);
    tag.lineTo(2, 13);
    tag.closeSubpath();
    p.drawPath(tag);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(10, 9), 1.3, 1.3);
}

void DrawStar(QPainter& p) {
    QPolygonF star;
    for (int k = 0; k < 10; ++k) {
        const double radius = k % 2 == 0 ? 7.5 : 3.2;
        const double angle = -M_PI / 2 + k * M_PI / 5;
        star << QPointF(8.5 + radius * std::cos(angle), 9 + radius * std::sin(angle));
    }
    p.setPen(QPen(QColor(150, 30, 30), 1));
    p.setBrush(QColor(225, 50, 50));
    p.drawPolygon(star);
}

}  // namespace

QIcon DrawnGlyph(int glyph) {
    QPixmap pixmap(kGlyphSize, kGlyphSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (glyph) {
        case kGlyphUTurn: DrawTurnArrow(p, true, 300); break;
        case kGlyphFlip: DrawFlip(p); break;
        case kGlyphClockwise: DrawTurnArrow(p, true, 230); break;
        case kGlyphCounterClockwise: DrawTurnArrow(p, false, 230); break;
        case kGlyphExclude: DrawExclude(p); break;
        case kGlyphPrivate: DrawLock(p); break;
        case kGlyphCategories: DrawCategories(p); break;
        case kGlyphFace: DrawStar(p); break;
        default: break;
    }
    p.end();
    return QIcon(pixmap);
}

QIcon PictureGlyph(int glyph) {
    if (glyph < 0 || glyph >= kGlyphCount) return QIcon();
    // Looked up once: a thousand tiles share eight icons.
    static const std::array<QIcon, kGlyphCount> icons = [] {
        std::array<QIcon, kGlyphCount> made;
        for (int k = 0; k < kGlyphCount; ++k)
            made[static_cast<size_t>(k)] = QIcon::fromTheme(
                QString::fromLatin1(kThemeNames[static_cast<size_t>(k)]), DrawnGlyph(k));
        return made;
    }();
    return icons[static_cast<size_t>(glyph)];
}

}  // namespace galerion::ui
