// The crop frame's rules in picture pixels: the starting frame, the label, every correction of
// a proposed frame and the symmetric frame shown while Ctrl is held.
#include "ui/fullsize/crop_rule.h"

#include <gtest/gtest.h>

namespace galerion::ui {
namespace {

constexpr TCropEdges kLeft{true, false, false, false};
constexpr TCropEdges kRight{false, false, true, false};
constexpr TCropEdges kBottom{false, false, false, true};
constexpr TCropEdges kTopLeft{true, true, false, false};
constexpr TCropEdges kMove{};

TEST(CropFrame, DefaultIsATenthInFromEverySide) {
    const TCropLocation frame = DefaultCropLocation(1000, 800);
    EXPECT_EQ(frame, (TCropLocation{100, 80, 900, 720}));
    EXPECT_EQ(CropLabelText(frame), "(100, 80) - (900, 720). new size: 800 x 640");
    EXPECT_EQ(CropRectOf(frame), (TCropRect{100, 80, 900, 720}));
    // Integer division: 1005 / 10 is 100.
    EXPECT_EQ(DefaultCropLocation(1005, 9), (TCropLocation{100, 0, 905, 9}));
}

TEST(CropFrame, LabelRoundsHalfToEvenAndTheSizeAfterSubtraction) {
    struct Case {
        TCropLocation location;
        const char* label;
        TCropRect rect;
    };
    const Case cases[] = {
        {{10, 20, 110, 70}, "(10, 20) - (110, 70). new size: 100 x 50", {10, 20, 110, 70}},
        {{0.5f, 1.5f, 2.5f, 3.5f}, "(0, 2) - (2, 4). new size: 2 x 2", {0, 2, 2, 4}},
        // The width is 10.6 - 0.4 = 10.2, which rounds to 10 while the rounded corners are
        // 11 apart.
        {{0.4f, 0.6f, 10.6f, 10.4f}, "(0, 1) - (11, 10). new size: 10 x 10", {0, 1, 11, 10}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CropLabelText(c.location), c.label);
        EXPECT_EQ(CropRectOf(c.location), c.rect) << c.label;
    }
}

TEST(ResizingRule, KeepsTheFrameInsideThePictureAndAtLeastOnePixel) {
    const TCropLocation before{100, 80, 900, 720};
    struct Case {
        const char* what;
        TCropLocation proposed;
        TCropLocation expected;
    };
    const Case cases[] = {
        {"inside stays", {150, 90, 800, 700}, {150, 90, 800, 700}},
        {"right edge beyond the width stops at it", {100, 80, 1400, 720}, {100, 80, 1000, 720}},
        {"left edge before 0 stops at 0", {-40, 80, 900, 720}, {0, 80, 900, 720}},
        {"bottom beyond the height", {100, 80, 900, 805.5f}, {100, 80, 900, 800}},
        {"a moved frame past the left edge loses width", {-50, 80, 750, 720}, {0, 80, 750, 720}},
        {"zero width grows to the right", {300, 80, 300, 720}, {300, 80, 301, 720}},
        {"zero width at the right edge grows to the left",
         {1000, 80, 1000, 720},
         {999, 80, 1000, 720}},
        {"whole frame beyond the right edge", {1200, 80, 1300, 720}, {999, 80, 1000, 720}},
        {"whole frame above the top", {100, -300, 900, -100}, {100, 0, 900, 1}},
    };
    for (const Case& c : cases) {
        const TCropRuleOutcome out =
            ApplyResizingRule(c.proposed, before, kRight, false, 1000, 800);
        EXPECT_EQ(out.Stored, c.expected) << c.what;
        EXPECT_EQ(out.Shown, c.expected) << c.what;
    }
}

TEST(ResizingRule, LeftEdgeDraggedPastTheRightLeavesOnePixel) {
    const TCropLocation start{100, 80, 900, 720};
    const TCropLocation proposed = ProposeDrag(start, kLeft, 950, 0);
    const TCropRuleOutcome out = ApplyResizingRule(proposed, start, kLeft, false, 1000, 800);
    EXPECT_EQ(out.Stored, (TCropLocation{899, 80, 900, 720}));
    EXPECT_EQ(CropLabelText(out.Stored), "(899, 80) - (900, 720). new size: 1 x 640");
}

TEST(ResizingRule, RubberBandMovesOnlyTheDraggedEdges) {
    const TCropLocation start{100, 80, 900, 720};
    EXPECT_EQ(ProposeDrag(start, kMove, -10, 5), (TCropLocation{90, 85, 890, 725}));
    EXPECT_EQ(ProposeDrag(start, kTopLeft, 7, -3), (TCropLocation{107, 77, 900, 720}));
    EXPECT_EQ(ProposeDrag(start, kRight, -2000, 9), (TCropLocation{100, 80, 101, 720}));
    EXPECT_EQ(ProposeDrag(start, kBottom, 0, -1000), (TCropLocation{100, 80, 900, 81}));
}

TEST(ResizingRule, CtrlMakesTheShownFrameSymmetricAboutThePreviousCentre) {
    // Centre (500, 400), half sizes 400 x 320.
    const TCropLocation before{100, 80, 900, 720};
    struct Case {
        const char* what;
        TCropLocation proposed;
        TCropEdges dragged;
        TCropLocation shown;
    };
    const Case cases[] = {
        {"right edge out by 50", {100, 80, 950, 720}, kRight, {50, 80, 950, 720}},
        {"left edge in by 100", {200, 80, 900, 720}, kLeft, {200, 80, 800, 720}},
        {"corner sets both halves", {150, 100, 900, 720}, kTopLeft, {150, 100, 850, 700}},
        {"half width below 2 becomes 2", {499, 80, 900, 720}, kLeft, {498, 80, 502, 720}},
        {"left edge past the centre", {600, 80, 900, 720}, kLeft, {498, 80, 502, 720}},
        {"a move leaves the frame where it was", {150, 100, 950, 740}, kMove, before},
    };
    for (const Case& c : cases) {
        const TCropRuleOutcome out =
            ApplyResizingRule(c.proposed, before, c.dragged, true, 1000, 800);
        EXPECT_EQ(out.Shown, c.shown) << c.what;
        // The label and the stored rectangle keep the corrected proposal.
        EXPECT_EQ(out.Stored,
                  ApplyResizingRule(c.proposed, before, c.dragged, false, 1000, 800).Stored)
            << c.what;
    }
    // The symmetric frame is not clipped again: it may reach past the picture.
    const TCropRuleOutcome wide =
        ApplyResizingRule({-30, 80, 900, 720}, {700, 80, 900, 720}, kLeft, true, 1000, 800);
    EXPECT_EQ(wide.Stored, (TCropLocation{0, 80, 900, 720}));
    EXPECT_EQ(wide.Shown, (TCropLocation{0, 80, 1600, 720}));
}

}  // namespace
}  // namespace galerion::ui
