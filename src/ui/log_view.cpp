#include "ui/log_view.h"

#include "ui/qt_text.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QRadialGradient>
#include <QScrollBar>
#include <QTextBlock>

#include <array>

namespace galerion::ui {

class TLogGutter : public QWidget {
public:
    explicit TLogGutter(TLogViewWidget* view) : QWidget(view), view_(view) {}
    QSize sizeHint() const override { return {TLogViewWidget::kGutterWidth, 0}; }

protected:
    void paintEvent(QPaintEvent* event) override { view_->PaintGutter(event); }

private:
    TLogViewWidget* view_;
};

namespace {

constexpr int kMarkSize = 11;
constexpr int kMarkColours = 8;

// Levels 0-7: red, green, cyan, grey, white, blue, yellow, magenta.
constexpr std::array<QRgb, kMarkColours> kMarkColour = {
    0xFFE02020, 0xFF20B020, 0xFF20C0D0, 0xFF909090, 0xFFF4F4F4, 0xFF2040E0, 0xFFE8D020, 0xFFD020D0,
};

// A ball lit from the upper left: a radial gradient from a near-white highlight through the
// colour to a darker rim, with a thin outline so that the white ball shows on the grey.
QPixmap DrawBall(QColor colour) {
    QPixmap pixmap(kMarkSize, kMarkSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF ball(0.5, 0.5, kMarkSize - 1.0, kMarkSize - 1.0);
    QRadialGradient shade(ball.center(), ball.width() / 2, ball.topLeft() + QPointF(3.5, 3.0));
    shade.setColorAt(0.0, colour.lighter(190));
    shade.setColorAt(0.45, colour);
    shade.setColorAt(1.0, colour.darker(170));
    p.setBrush(shade);
    p.setPen(QPen(colour.darker(230), 0.8));
    p.drawEllipse(ball);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawEllipse(QRectF(2.6, 2.0, 3.2, 2.2));
    return pixmap;
}

// Judged by the glyphs themselves: some monospaced fonts do not carry the fixed-pitch flag.
bool HasEvenAdvance(const QFont& font) {
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(QStringLiteral("iiii")) ==
           metrics.horizontalAdvance(QStringLiteral("WWWW"));
}

// The system's fixed font; where its glyphs are not all one width (a platform that answers
// with a proportional font), the first installed font whose glyphs are.
QFont FixedPitchFont(int pixelHeight) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(pixelHeight);
    if (HasEvenAdvance(font)) return font;
    QStringList candidates = {QStringLiteral("monospace"), QStringLiteral("DejaVu Sans Mono"),
                              QStringLiteral("Noto Sans Mono"), QStringLiteral("Liberation Mono")};
    for (const QString& family : QFontDatabase::families())
        if (QFontDatabase::isFixedPitch(family)) candidates.push_back(family);
    for (const QString& family : candidates) {
        QFont candidate(family);
        candidate.setStyleHint(QFont::TypeWriter);
        candidate.setPixelSize(pixelHeight);
        if (HasEvenAdvance(candidate)) return candidate;
    }
    return font;
}

}  // namespace

TLogViewWidget::TLogViewWidget(QWidget* parent)
    : QPlainTextEdit(parent), gutter_(new TLogGutter(this)) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(FixedPitchFont(kFontPixelHeight));
    QPalette pal = palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::Button));
    pal.setColor(QPalette::Text, pal.color(QPalette::ButtonText));
    setPalette(pal);
    setViewportMargins(kGutterWidth, 0, 0, 0);
    connect(this, &QPlainTextEdit::updateRequest, this, &TLogViewWidget::UpdateGutter);
}

void TLogViewWidget::LineAdded(const TLogLine& line) {
    appendPlainText(ToQt(line.text));
    marks_.push_back(line.mark.visible ? line.mark.imageIndex : -1);
    gutter_->update();
}

void TLogViewWidget::Cleared() {
    clear();
    marks_.clear();
    gutter_->update();
}

int TLogViewWidget::MarkAt(int line) const {
    if (line < 0 || line >= LineCount()) return -1;
    return marks_[static_cast<size_t>(line)];
}

QPixmap TLogViewWidget::MarkImage(int level) {
    static const std::array<QPixmap, kMarkColours> balls = [] {
        std::array<QPixmap, kMarkColours> made;
        for (int i = 0; i < kMarkColours; ++i)
            made[static_cast<size_t>(i)] =
                DrawBall(QColor::fromRgb(kMarkColour[static_cast<size_t>(i)]));
        return made;
    }();
    if (level < 0 || level >= kMarkColours) return {};
    return balls[static_cast<size_t>(level)];
}

void TLogViewWidget::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    const QRect area = contentsRect();
    gutter_->setGeometry(QRect(area.left(), area.top(), kGutterWidth, area.height()));
}

void TLogViewWidget::UpdateGutter(const QRect& rect, int dy) {
    if (dy != 0)
        gutter_->scroll(0, dy);
    else
        gutter_->update(0, rect.y(), gutter_->width(), rect.height());
}

void TLogViewWidget::PaintGutter(QPaintEvent* event) {
    QPainter painter(gutter_);
    painter.fillRect(event->rect(), QColor(0xC0, 0xC0, 0xC0));
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    while (block.isValid() && top <= event->rect().bottom()) {
        const int height = qRound(blockBoundingRect(block).height());
        const QPixmap mark = MarkImage(MarkAt(block.blockNumber()));
        if (!mark.isNull() && block.isVisible())
            painter.drawPixmap(kMarkLeft, top + (height - kMarkSize) / 2, mark);
        block = block.next();
        top += height;
    }
}

}  // namespace galerion::ui
