#pragma once
// The scrolling picture area of the full-size view with the crop frame over it. It shows the
// picture raster fitted or at a scale, drawing only what the viewport shows, and turns mouse
// drags on the frame into proposed frame locations; the window decides what they become.
#include "image/bitmap32.h"
#include "ui/fullsize/crop_rule.h"

#include <QAbstractScrollArea>

#include <optional>

namespace galerion::ui {

class TPictureView : public QAbstractScrollArea {
    Q_OBJECT
public:
    // `picture` is the window's raster; tell the view when its pixels, size or filter change.
    explicit TPictureView(TBitmap32& picture, QWidget* parent = nullptr);

    // Fitted into the viewport keeping proportions, centred; no scroll bars.
    void SetFitMode();
    // At `scale` from the top-left corner with both scroll bars; bars that appear start at 0.
    void SetScaleMode(double scale);
    bool ScaleModeOn() const { return scaleMode_; }
    double Scale() const { return scale_; }
    void PictureChanged();

    // The crop frame: shown and selected (rubber band with handles) while it exists.
    void ShowCropFrame(const TCropLocation& location);
    void MoveCropFrame(const TCropLocation& location);
    void ReleaseCropFrame();
    std::optional<TCropLocation> CropFrame() const { return cropFrame_; }

    // Where the picture lies in the viewport now.
    TRect PictureRect() const;
    // The frame's rectangle in viewport pixels; empty without a frame.
    TRect CropFrameViewRect() const;
    // The viewport's pixels as last painted (picture and bevel, before the rubber band).
    const TBitmap32& BackBuffer() const { return back_; }
    // Takes a fitted drawing made for this view's size ahead of the first paint; the paint
    // uses it when the view still has that size.
    void AdoptFittedDrawing(TBitmap32&& drawing, TRect pictureRect);
    // Paints the back buffer as the next paint would (for callers that need it at once).
    void RenderBackBuffer();

signals:
    // A drag of the frame proposes a new location; `dragged` has no edge for a move.
    void cropProposed(galerion::ui::TCropLocation proposed, galerion::ui::TCropEdges dragged,
                      bool symmetric);
    // The mouse moved over the view with the left button down.
    void leftButtonMoved();
    void mouseReleased();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct TLayerKey {
        TRect pictureRect;
        int width, height, filter;
        unsigned generation;
        bool operator==(const TLayerKey& o) const;
    };
    struct THit {
        bool onFrame = false;
        TCropEdges edges;
    };

    void UpdateScrollBars();
    THit HitTest(QPoint position) const;
    void UpdateCursor(QPoint position);
    void PaintRubberBand(class QPainter& painter) const;

    TBitmap32& picture_;
    TBitmap32 layer_;  // the picture part of the viewport, kept while only the frame moves
    TBitmap32 back_;   // layer plus bevel
    std::optional<TLayerKey> layerKey_;
    unsigned generation_ = 0;
    bool scaleMode_ = false;
    double scale_ = 1.0;
    std::optional<TCropLocation> cropFrame_;
    bool dragging_ = false;
    TCropEdges dragEdges_;
    TCropLocation dragStart_;
    QPoint dragOrigin_;
};

}  // namespace galerion::ui
