#include "ui/fullsize/crop_rule.h"

#include "core/numbers.h"

#include <algorithm>

namespace galerion::ui {
namespace {

int RoundToInt(float value) { return static_cast<int>(Round(value)); }

// Step 8: the frame shown while Ctrl is held, symmetric about the previous centre.
TCropLocation SymmetricAboutPrevious(const TCropLocation& corrected, const TCropLocation& previous,
                                     TCropEdges dragged) {
    if (!dragged.Any()) return previous;
    const float cx = (previous.Left + previous.Right) / 2;
    const float cy = (previous.Top + previous.Bottom) / 2;
    float halfWidth = previous.Width() / 2;
    float halfHeight = previous.Height() / 2;
    if (dragged.Left) halfWidth = cx - corrected.Left;
    if (dragged.Right) halfWidth = corrected.Right - cx;
    if (dragged.Top) halfHeight = cy - corrected.Top;
    if (dragged.Bottom) halfHeight = corrected.Bottom - cy;
    halfWidth = std::max(halfWidth, 2.0f);
    halfHeight = std::max(halfHeight, 2.0f);
    return {cx - halfWidth, cy - halfHeight, cx + halfWidth, cy + halfHeight};
}

}  // namespace

TCropLocation DefaultCropLocation(int width, int height) {
    const int dx = width / 10, dy = height / 10;
    return {static_cast<float>(dx), static_cast<float>(dy), static_cast<float>(width - dx),
            static_cast<float>(height - dy)};
}

TCropLocation LocationOf(const TCropRect& rect) {
    return {static_cast<float>(rect.X1), static_cast<float>(rect.Y1), static_cast<float>(rect.X2),
            static_cast<float>(rect.Y2)};
}

TCropRect CropRectOf(const TCropLocation& location) {
    return {RoundToInt(location.Left), RoundToInt(location.Top), RoundToInt(location.Right),
            RoundToInt(location.Bottom)};
}

std::string CropLabelText(const TCropLocation& l) {
    const TCropRect r = CropRectOf(l);
    return "(" + std::to_string(r.X1) + ", " + std::to_string(r.Y1) + ") - (" +
           std::to_string(r.X2) + ", " + std::to_string(r.Y2) +
           "). new size: " + std::to_string(RoundToInt(l.Right - l.Left)) + " x " +
           std::to_string(RoundToInt(l.Bottom - l.Top));
}

TCropRuleOutcome ApplyResizingRule(TCropLocation p, const TCropLocation& previous,
                                   TCropEdges dragged, bool symmetric, int width, int height) {
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    if (p.Left < 0) p.Left = 0;
    if (p.Top < 0) p.Top = 0;
    if (p.Right - p.Left < 1) p.Right = p.Left + 1;
    if (p.Bottom - p.Top < 1) p.Bottom = p.Top + 1;
    if (p.Right > w) p.Right = w;
    if (p.Bottom > h) p.Bottom = h;
    if (p.Right - p.Left < 1) p.Left = p.Right - 1;
    if (p.Bottom - p.Top < 1) p.Top = p.Bottom - 1;
    if (p.Right < 1) p.Right = 1;
    if (p.Bottom < 1) p.Bottom = 1;
    return {p, symmetric ? SymmetricAboutPrevious(p, previous, dragged) : p};
}

TCropLocation ProposeDrag(const TCropLocation& start, TCropEdges dragged, float dx, float dy) {
    if (!dragged.Any())
        return {start.Left + dx, start.Top + dy, start.Right + dx, start.Bottom + dy};
    TCropLocation p = start;
    if (dragged.Left) p.Left = std::min(start.Left + dx, start.Right - 1);
    if (dragged.Right) p.Right = std::max(start.Right + dx, start.Left + 1);
    if (dragged.Top) p.Top = std::min(start.Top + dy, start.Bottom - 1);
    if (dragged.Bottom) p.Bottom = std::max(start.Bottom + dy, start.Top + 1);
    return p;
}

}  // namespace galerion::ui
