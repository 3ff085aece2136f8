#include "ui/fullsize/picture_view.h"

#include "ui/fullsize/view_drawing.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cstdlib>

namespace galerion::ui {
namespace {

constexpr int kHandleHalf = 3;  // handles are 7 x 7 pixels
constexpr int kGrip = 4;        // how far from a handle's centre a press still takes it

TColor32 ToColor32(const QColor& c) { return Color32(c.red(), c.green(), c.blue()); }

QImage Wrap(const TBitmap32& raster) {
    return QImage(reinterpret_cast<const uchar*>(raster.Bits()), raster.Width(), raster.Height(),
                  raster.Width() * 4, QImage::Format_ARGB32);
}

bool Near(int a, int b) { return std::abs(a - b) <= kGrip; }

Qt::CursorShape CursorFor(TCropEdges e, bool onFrame) {
    if (!onFrame) return Qt::ArrowCursor;
    if (!e.Any()) return Qt::SizeAllCursor;
    if ((e.Left && e.Top) || (e.Right && e.Bottom)) return Qt::SizeFDiagCursor;
    if ((e.Right && e.Top) || (e.Left && e.Bottom)) return Qt::SizeBDiagCursor;
    return e.Left || e.Right ? Qt::SizeHorCursor : Qt::SizeVerCursor;
}

}  // namespace

bool TPictureView::TLayerKey::operator==(const TLayerKey& o) const {
    return pictureRect.Left == o.pictureRect.Left && pictureRect.Top == o.pictureRect.Top &&
           pictureRect.Right == o.pictureRect.Right && pictureRect.Bottom == o.pictureRect.Bottom &&
           width == o.width && height == o.height && filter == o.filter &&
           generation == o.generation;
}

TPictureView::TPictureView(TBitmap32& picture, QWidget* parent)
    : QAbstractScrollArea(parent), picture_(picture) {
    setFrameShape(QFrame::NoFrame);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    SetFitMode();
}

void TPictureView::SetFitMode() {
    scaleMode_ = false;
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    UpdateScrollBars();
    viewport()->update();
}

void TPictureView::SetScaleMode(double scale) {
    const bool scrollBarsAppear = !scaleMode_;
    scaleMode_ = true;
    scale_ = scale;
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    UpdateScrollBars();
    if (scrollBarsAppear) {
        horizontalScrollBar()->setValue(0);
        verticalScrollBar()->setValue(0);
    }
    viewport()->update();
}

void TPictureView::PictureChanged() {
    ++generation_;
    UpdateScrollBars();
    viewport()->update();
}

void TPictureView::UpdateScrollBars() {
    const QSize view = viewport()->size();
    const int width = scaleMode_ ? ScaledExtent(picture_.Width(), scale_) : 0;
    const int height = scaleMode_ ? ScaledExtent(picture_.Height(), scale_) : 0;
    horizontalScrollBar()->setRange(0, std::max(0, width - view.width()));
    horizontalScrollBar()->setPageStep(std::max(1, view.width()));
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setRange(0, std::max(0, height - view.height()));
    verticalScrollBar()->setPageStep(std::max(1, view.height()));
    verticalScrollBar()->setSingleStep(20);
}

TRect TPictureView::PictureRect() const {
    const QSize view = viewport()->size();
    if (scaleMode_)
        return ScaledPictureRect(picture_.Width(), picture_.Height(), scale_,
                                 horizontalScrollBar()->value(), verticalScrollBar()->value());
    // The fitted picture lives in a control one pixel smaller than the viewport.
    return FittedPictureRect(view.width() - 1, view.height() - 1, picture_.Width(),
                             picture_.Height());
}

TRect TPictureView::CropFrameViewRect() const {
    if (!cropFrame_) return {0, 0, 0, 0};
    return TPictureMapping(PictureRect(), picture_.Width(), picture_.Height())
        .ViewRect(*cropFrame_);
}

void TPictureView::ShowCropFrame(const TCropLocation& location) {
    cropFrame_ = location;
    viewport()->update();
}

void TPictureView::MoveCropFrame(const TCropLocation& location) {
    if (!cropFrame_) return;
    cropFrame_ = location;
    viewport()->update();
}

void TPictureView::ReleaseCropFrame() {
    cropFrame_.reset();
    dragging_ = false;
    viewport()->unsetCursor();
    viewport()->update();
}

void TPictureView::AdoptFittedDrawing(TBitmap32&& drawing, TRect pictureRect) {
    layerKey_ = TLayerKey{pictureRect, drawing.Width(), drawing.Height(), picture_.StretchFilter,
                          generation_};
    layer_ = std::move(drawing);
    viewport()->update();
}

void TPictureView::RenderBackBuffer() {
    const QSize view = viewport()->size();
    const TLayerKey key{PictureRect(), view.width(), view.height(), picture_.StretchFilter,
                        generation_};
    if (!layerKey_ || !(*layerKey_ == key)) {
        layer_.SetSizeForOverwrite(view.width(), view.height());
        DrawPictureView(picture_, layer_, key.pictureRect,
                        ToColor32(palette().color(QPalette::Window)));
        layerKey_ = key;
    }
    back_ = layer_;
    if (cropFrame_) DrawRaisedBevel(back_, CropFrameViewRect());
}

void TPictureView::paintEvent(QPaintEvent*) {
    RenderBackBuffer();
    QPainter painter(viewport());
    if (!back_.Empty()) painter.drawImage(0, 0, Wrap(back_));
    if (cropFrame_) PaintRubberBand(painter);
}

void TPictureView::PaintRubberBand(QPainter& painter) const {
    const TRect r = CropFrameViewRect();
    const QRect frame(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(frame);
    painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
    painter.drawRect(frame);
    const int xs[] = {r.Left, (r.Left + r.Right) / 2, r.Right - 1};
    const int ys[] = {r.Top, (r.Top + r.Bottom) / 2, r.Bottom - 1};
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (i != 1 || j != 1)
                painter.drawRect(xs[i] - kHandleHalf, ys[j] - kHandleHalf, 2 * kHandleHalf,
                                 2 * kHandleHalf);
}

TPictureView::THit TPictureView::HitTest(QPoint p) const {
    THit hit;
    if (!cropFrame_) return hit;
    const TRect r = CropFrameViewRect();
    const int midX = (r.Left + r.Right) / 2, midY = (r.Top + r.Bottom) / 2;
    const bool left = Near(p.x(), r.Left), right = !left && Near(p.x(), r.Right - 1);
    const bool top = Near(p.y(), r.Top), bottom = !top && Near(p.y(), r.Bottom - 1);
    const bool atMidX = Near(p.x(), midX), atMidY = Near(p.y(), midY);
    if ((left || right) && (top || bottom || atMidY)) {
        hit.edges = {left, top, right, bottom};
    } else if ((top || bottom) && atMidX) {
        hit.edges = {false, top, false, bottom};
    }
    hit.onFrame = hit.edges.Any() ||
                  (p.x() >= r.Left && p.x() < r.Right && p.y() >= r.Top && p.y() < r.Bottom);
    return hit;
}

void TPictureView::UpdateCursor(QPoint position) {
    const THit hit = HitTest(position);
    viewport()->setCursor(CursorFor(hit.edges, hit.onFrame));
}

void TPictureView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !cropFrame_) return;
    const THit hit = HitTest(event->position().toPoint());
    if (!hit.onFrame) return;
    dragging_ = true;
    dragEdges_ = hit.edges;
    dragStart_ = *cropFrame_;
    dragOrigin_ = event->position().toPoint();
}

void TPictureView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint position = event->position().toPoint();
    if (dragging_ && cropFrame_) {
        const TPictureMapping mapping(PictureRect(), picture_.Width(), picture_.Height());
        if (mapping.Valid()) {
            const QPoint delta = position - dragOrigin_;
            const TCropLocation proposed = ProposeDrag(
                dragStart_, dragEdges_, mapping.ToPictureDx(static_cast<float>(delta.x())),
                mapping.ToPictureDy(static_cast<float>(delta.y())));
            emit cropProposed(proposed, dragEdges_,
                              event->modifiers().testFlag(Qt::ControlModifier));
        }
    } else {
        UpdateCursor(position);
    }
    if (event->buttons().testFlag(Qt::LeftButton)) emit leftButtonMoved();
}

void TPictureView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragging_ = false;
    UpdateCursor(event->position().toPoint());
    emit mouseReleased();
}

void TPictureView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void TPictureView::scrollContentsBy(int, int) { viewport()->update(); }

}  // namespace galerion::ui
