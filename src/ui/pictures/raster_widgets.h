#pragma once
// Controls that show rasters pixel for pixel: a paint box with its own back buffer, painted by
// a callback, and the framed face preview with its two scale modes. Scaled pictures are drawn
// by the program's own StretchDraw into the back buffer, never by the toolkit.
#include "image/bitmap32.h"

#include <QFrame>
#include <QImage>
#include <QWidget>

#include <functional>

namespace galerion::ui {

// The raster's pixels as a toolkit image, without a copy; valid while the raster keeps its
// memory and size.
QImage WrapRaster(const TBitmap32& raster);
TColor32 ToColor32(const QColor& color);

class TPaintBox32 : public QWidget {
    Q_OBJECT

public:
    using TPainter = std::function<void(TBitmap32& buffer)>;

    explicit TPaintBox32(QWidget* parent = nullptr);

    void SetPainter(TPainter painter) { painter_ = std::move(painter); }
    // Paints the back buffer now (at the control's size) and returns it.
    const TBitmap32& PaintBuffer();
    const TBitmap32& Buffer() const { return buffer_; }

signals:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    TPainter painter_;
    TBitmap32 buffer_;
};

enum class TScaleMode { smNormal, smResize };

// A framed image: its raster shown one to one (smNormal) or fitted keeping its proportions
// (smResize), centred either way.
class TFacePreview : public QFrame {
    Q_OBJECT

public:
    explicit TFacePreview(QWidget* parent = nullptr);

    TBitmap32& Raster() { return raster_; }
    const TBitmap32& Raster() const { return raster_; }
    TScaleMode ScaleMode() const { return mode_; }
    void SetScaleMode(TScaleMode mode);
    // The raster becomes a copy of `picture`; the scale mode fits when the area is narrower or
    // lower than the picture.
    void ShowPicture(const TBitmap32& picture);
    // The whole raster filled with one colour (black when the album is prepared, grey when its
    // last included picture was excluded).
    void FillRaster(TColor32 color);
    // What the control shows in its frame, as painted.
    const TBitmap32& PaintBuffer();
    // The height it asks for; in a short column it gives way down to its minimum height.
    void SetPreferredHeight(int height);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TBitmap32 raster_;
    TBitmap32 buffer_;
    TScaleMode mode_ = TScaleMode::smNormal;
    int preferredHeight_ = 0;
};

}  // namespace galerion::ui
