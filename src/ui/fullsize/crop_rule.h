#pragma once
// The crop frame of the full-size view in picture pixels: where it starts, how every proposed
// change is corrected, and the label that reports it. No toolkit in here.
#include <string>

namespace galerion::ui {

// A location in picture pixel coordinates, single precision as the frame holds it.
struct TCropLocation {
    float Left = 0, Top = 0, Right = 0, Bottom = 0;

    float Width() const { return Right - Left; }
    float Height() const { return Bottom - Top; }
    friend bool operator==(const TCropLocation&, const TCropLocation&) = default;
};

// The crop rectangle as stored with a picture; all four -1 mean no crop.
struct TCropRect {
    int X1 = -1, Y1 = -1, X2 = -1, Y2 = -1;

    bool IsNone() const { return X1 == -1 && Y1 == -1 && X2 == -1 && Y2 == -1; }
    friend bool operator==(const TCropRect&, const TCropRect&) = default;
};

// Which edges a drag moves: a corner is two flags, an edge handle one, a move of the whole
// frame none.
struct TCropEdges {
    bool Left = false, Top = false, Right = false, Bottom = false;

    bool Any() const { return Left || Top || Right || Bottom; }
    friend bool operator==(const TCropEdges&, const TCropEdges&) = default;
};

// The frame proposed for a picture without a crop: a tenth in from every side.
TCropLocation DefaultCropLocation(int width, int height);
TCropLocation LocationOf(const TCropRect& rect);

// Each corner rounded half to even.
TCropRect CropRectOf(const TCropLocation& location);
// "(X1, Y1) - (X2, Y2). new size: w x h", the size rounded after subtraction.
std::string CropLabelText(const TCropLocation& location);

struct TCropRuleOutcome {
    TCropLocation Stored;  // what the label and the view's crop rectangle take
    TCropLocation Shown;   // where the frame is drawn; differs only with Ctrl held
};

// Corrects a proposed location against a picture of width x height: inside the picture, at
// least 1 x 1. With `symmetric` (Ctrl held) the frame shown is made symmetric about the centre
// of `previous` from the dragged edges, half sizes at least 2; a move leaves it at `previous`.
TCropRuleOutcome ApplyResizingRule(TCropLocation proposed, const TCropLocation& previous,
                                   TCropEdges dragged, bool symmetric, int width, int height);

// The rubber band's own proposal for a drag by (dx, dy) picture pixels from `start`: the
// dragged edges follow, the others stay, and the frame never gets thinner than 1 (a dragged
// edge stops 1 before the opposite one). Without edges the whole frame moves.
TCropLocation ProposeDrag(const TCropLocation& start, TCropEdges dragged, float dx, float dy);

}  // namespace galerion::ui
