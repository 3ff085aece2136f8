#pragma once
// The Finish page's log view: read-only lines in a fixed-pitch font, each with its level's
// mark in a grey gutter on the left.
#include "core/processing_log.h"

#include <QPixmap>
#include <QPlainTextEdit>

#include <vector>

namespace galerion::ui {

class TLogGutter;

class TLogViewWidget : public QPlainTextEdit, public TLogView {
    Q_OBJECT
public:
    static constexpr int kGutterWidth = 27;
    static constexpr int kMarkLeft = 8;
    static constexpr int kFontPixelHeight = 11;

    explicit TLogViewWidget(QWidget* parent = nullptr);

    void LineAdded(const TLogLine& line) override;
    void Cleared() override;

    int LineCount() const { return static_cast<int>(marks_.size()); }
    // The mark of line `line` (from 0): its image index, or -1 when it has none.
    int MarkAt(int line) const;

    // The glossy ball of a level; a null pixmap for level 8 and above.
    static QPixmap MarkImage(int level);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class TLogGutter;
    void PaintGutter(QPaintEvent* event);
    void UpdateGutter(const QRect& rect, int dy);

    TLogGutter* gutter_;
    std::vector<int> marks_;  // image index per line
};

}  // namespace galerion::ui
