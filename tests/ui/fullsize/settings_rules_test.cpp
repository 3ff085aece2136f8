// The full-size view's small rules: reading the scale text, clamping a stored placement, and
// reading a typed date back.
#include "platform/date_time.h"
#include "ui/fullsize/date_text.h"
#include "ui/fullsize/scale_rule.h"
#include "ui/fullsize/window_placement.h"

#include <gtest/gtest.h>

#include <clocale>

namespace galerion::ui {
namespace {

std::string Format(double value) { return std::to_string(static_cast<int>(value)); }

struct ScaleQuestion : ::testing::Test {
    TScaleOutcome Resolve(std::optional<double> parsed, double inForce = 1.0) {
        return ResolveScale(
            parsed, inForce, settings,
            [this] {
                ++asked;
                return reply;
            },
            &Format);
    }
    TSettings settings;
    TScaleReply reply;
    int asked = 0;
};

TEST_F(ScaleQuestion, NoNumberRestoresTheScaleInForceAndShowsOne) {
    const TScaleOutcome out = Resolve(std::nullopt, 2.0);
    EXPECT_EQ(out.Scale, 1.0);
    EXPECT_EQ(out.Text, "2");
    EXPECT_EQ(asked, 0);
}

TEST_F(ScaleQuestion, TinyAndNegativeScalesBecomeTheMinimum) {
    EXPECT_EQ(Resolve(0.0001).Scale, kMinimumScale);
    EXPECT_EQ(Resolve(-3).Scale, kMinimumScale);
    EXPECT_EQ(Resolve(0.5).Scale, 0.5);
    EXPECT_FALSE(Resolve(1.0).Text.has_value());
    EXPECT_EQ(asked, 0);
}

TEST_F(ScaleQuestion, AnsweredNoFallsBackToOne) {
    reply = {false, false};
    const TScaleOutcome out = Resolve(2.0);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(out.Scale, 1.0);
    EXPECT_EQ(out.Text, kScaleOneText);
    EXPECT_FALSE(settings.ScaleChoice);
    EXPECT_TRUE(settings.Scale);
}

TEST_F(ScaleQuestion, YesWithDoNotShowAgainAppliesLaterScalesSilently) {
    reply = {true, true};
    EXPECT_EQ(Resolve(2.0).Scale, 2.0);
    EXPECT_FALSE(settings.Scale);
    EXPECT_TRUE(settings.ScaleChoice);
    EXPECT_EQ(Resolve(3.5).Scale, 3.5);
    EXPECT_EQ(asked, 1);
}

TEST_F(ScaleQuestion, NoWithDoNotShowAgainKeepsRefusingSilently) {
    reply = {false, true};
    Resolve(2.0);
    const TScaleOutcome out = Resolve(8.0);
    EXPECT_EQ(out.Scale, 1.0);
    EXPECT_EQ(out.Text, kScaleOneText);
    EXPECT_EQ(asked, 1);
}

TEST(StoredPlacement, KeepsTheWindowOnTheScreen) {
    struct Case {
        TWindowPlacement stored, expected;
    };
    const Case cases[] = {
        {{100, 100, 500, 300}, {100, 100, 500, 300}},
        {{100, 100, 50, 69}, {100, 100, 800, 600}},  // below 70
        {{100, 100, 70, 70}, {100, 100, 70, 70}},
        {{100, 100, 801, 601}, {100, 100, 800, 600}},  // larger than the screen
        {{-10, -11, 500, 300}, {-10, 0, 500, 300}},    // top -10 stays, left -11 goes to 0
        {{601, 800, 500, 300}, {0, 800, 500, 300}},    // beyond the screen
    };
    for (const Case& c : cases) {
        const TWindowPlacement p = ClampPlacement(c.stored, 800, 600);
        EXPECT_EQ(p.Top, c.expected.Top);
        EXPECT_EQ(p.Left, c.expected.Left);
        EXPECT_EQ(p.Width, c.expected.Width);
        EXPECT_EQ(p.Heigth, c.expected.Heigth);
    }
}

TEST(TypedDate, ReadsWhatTheScreenShowsAndRefusesNonDates) {
    std::setlocale(LC_ALL, "C");
    const TDateTime day = EncodeDateTime({2005, 2, 28});
    EXPECT_EQ(ReadLocalDateTime(ShortDateText(day)), day);
    EXPECT_EQ(ReadLocalDateTime("02/28/2005"), day);
    EXPECT_EQ(ReadLocalDateTime(" 02/28/05 "), day);
    EXPECT_EQ(ReadLocalDateTime("02/28/2005 13:45:10"), EncodeDateTime({2005, 2, 28, 13, 45, 10}));
    for (const char* text : {"02/31/2005", "13/01/2005", "", "abc", "02/28/2005 x", "02/29/2005"})
        EXPECT_FALSE(ReadLocalDateTime(text).has_value()) << text;
    EXPECT_TRUE(ReadLocalDateTime("02/29/2004").has_value());
}

}  // namespace
}  // namespace galerion::ui
