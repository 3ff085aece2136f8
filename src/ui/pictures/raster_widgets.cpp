#include "ui/pictures/raster_widgets.h"

#include "image/resize.h"
#include "image/stretch_draw.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace galerion::ui {

namespace {

void Fill(TBitmap32& bitmap, TColor32 color) {
    std::fill(bitmap.Bits(), bitmap.Bits() + bitmap.PixelCount(), color);
}

}  // namespace

QImage WrapRaster(const TBitmap32& raster) {
    if (raster.Empty()) return QImage();
    return QImage(reinterpret_cast<const uchar*>(raster.Bits()), raster.Width(), raster.Height(),
                  raster.Width() * static_cast<qsizetype>(sizeof(TColor32)), QImage::Format_ARGB32);
}

TColor32 ToColor32(const QColor& color) {
    return Color32(color.red(), color.green(), color.blue(), 255);
}

TPaintBox32::TPaintBox32(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

const TBitmap32& TPaintBox32::PaintBuffer() {
    buffer_.SetSize(width(), height());
    if (painter_ && !buffer_.Empty()) painter_(buffer_);
    return buffer_;
}

void TPaintBox32::paintEvent(QPaintEvent*) {
    PaintBuffer();
    QPainter painter(this);
    painter.drawImage(0, 0, WrapRaster(buffer_));
}

void TPaintBox32::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit doubleClicked();
}

TFacePreview::TFacePreview(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TFacePreview::SetPreferredHeight(int height) {
    preferredHeight_ = height;
    updateGeometry();
}

QSize TFacePreview::sizeHint() const {
    return {QFrame::sizeHint().width(), std::max(preferredHeight_, minimumHeight())};
}

void TFacePreview::SetScaleMode(TScaleMode mode) {
    mode_ = mode;
    update();
}

void TFacePreview::ShowPicture(const TBitmap32& picture) {
    const QRect area = contentsRect();
    mode_ = area.width() < picture.Width() || area.height() < picture.Height()
                ? TScaleMode::smResize
                : TScaleMode::smNormal;
    raster_ = picture;
    update();
}

void TFacePreview::FillRaster(TColor32 color) {
    if (raster_.Empty()) raster_.SetSize(contentsRect().width(), contentsRect().height());
    Fill(raster_, color);
    update();
}

const TBitmap32& TFacePreview::PaintBuffer() {
    const QRect area = contentsRect();
    buffer_.SetSize(area.width(), area.height());
    if (buffer_.Empty()) return buffer_;
    Fill(buffer_, ToColor32(palette().color(QPalette::Window)));
    if (raster_.Empty()) return buffer_;
    int width = raster_.Width(), height = raster_.Height();
    if (mode_ == TScaleMode::smResize) {
        const TFittedSize fitted =
            FittedSize(width, height, FitScale(width, height, buffer_.Width(), buffer_.Height()));
        width = fitted.Width;
        height = fitted.Height;
    }
    const int left = (buffer_.Width() - width) / 2, top = (buffer_.Height() - height) / 2;
    StretchDraw(raster_, buffer_, TRect{left, top, left + width, top + height},
                TRect{0, 0, raster_.Width(), raster_.Height()});
    return buffer_;
}

void TFacePreview::paintEvent(QPaintEvent* event) {
    PaintBuffer();
    {
        QPainter painter(this);
        painter.drawImage(contentsRect().topLeft(), WrapRaster(buffer_));
    }
    QFrame::paintEvent(event);
}

}  // namespace galerion::ui
