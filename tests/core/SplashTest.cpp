// The splash transition's plan: the window states the splash passes through on its way into the strip.
#include "core/Splash.h"

#include <gtest/gtest.h>

namespace velmo {
namespace {

// The states at the end of each step (after the paint), the final placement included.
std::vector<Rect> StepEnds(const std::vector<SplashMove>& moves) {
    std::vector<Rect> ends;
    for (const SplashMove& move : moves) {
        if (move.after != SplashPause::None)
            ends.push_back(move.bounds);
    }
    return ends;
}

TEST(SplashPlan, SmallScreenWithTheDefaultStrip) {
    const Rect strip{200, -3, 250, 6};
    const std::vector<SplashMove> size = PlanSizePhase({218, 221, 204, 38}, strip);
    const std::vector<Rect> sizes = StepEnds(size);
    ASSERT_EQ(sizes.size(), 8u);  // seven steps of 4 and -6, then the exact size
    EXPECT_EQ(sizes[0], (Rect{218, 221, 210, 34}));
    EXPECT_EQ(size[0].bounds, (Rect{218, 221, 204, 34}));  // the height moves first
    EXPECT_EQ(sizes[6], (Rect{218, 221, 246, 10}));
    EXPECT_EQ(sizes[7], (Rect{218, 221, 250, 6}));
    EXPECT_EQ(size.back().after, SplashPause::PaintTwice);

    const std::vector<Rect> steps = StepEnds(PlanPositionPhase({218, 221, 250, 6}, strip, "t"));
    ASSERT_EQ(steps.size(), 38u);  // 37 steps and the final placement
    for (int i = 1; i <= 18; ++i)
        EXPECT_EQ(steps[i - 1], (Rect{218, 221 - 6 * i, 250, 6})) << "plain step " << i;
    for (int i = 19; i <= 36; ++i)
        EXPECT_EQ(steps[i - 1].left, 218 - (i - 18)) << "corrected step " << i;
    EXPECT_EQ(steps[36], (Rect{200, -1, 250, 6}));  // step 37 leaves the left where it is
    EXPECT_EQ(steps[37], strip);
}

TEST(SplashPlan, LargeScreenCorrectedStepsOvershootByOneThenTheFinalPlacement) {
    const Rect strip{4, -3, 250, 6};
    const std::vector<Rect> steps = StepEnds(PlanPositionPhase({410, 365, 250, 6}, strip, "t"));
    ASSERT_EQ(steps.size(), 68u);
    EXPECT_EQ(steps[61], (Rect{410 - 6 * 62, 365 - 5 * 62, 250, 6}));  // step 62, the last plain one
    EXPECT_EQ(steps[62].left, steps[61].left - 7);
    EXPECT_EQ(steps[66], (Rect{3, 365 - 5 * 67, 250, 6}));  // one pixel past the strip's left
    EXPECT_EQ(steps[67], strip);
}

TEST(SplashPlan, EqualAndZeroDistancesAndTheOtherEdges) {
    // Both distances zero: one step that moves nothing.
    const Rect strip{-2, 200, 5, 250};
    std::vector<Rect> steps = StepEnds(PlanPositionPhase(strip, strip, "l"));
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0], strip);
    steps = StepEnds(PlanSizePhase({10, 10, 5, 250}, strip));
    EXPECT_EQ(steps.size(), 2u);
    // Equal distances: the count is that distance div 6.
    EXPECT_EQ(StepEnds(PlanPositionPhase({10, 12, 5, 250}, {-2, 0, 5, 250}, "l")).size(), 3u);

    // Every edge: the top-left corner only ever moves toward the strip, the last plain state before the final
    // placement lies at most one pixel past the strip along the edge, and the plan ends on the strip.
    struct Case {
        const char* edge;
        Rect strip;
    };
    const Case cases[] = {
        {"t", {200, -3, 250, 6}},   {"b", {200, 763, 250, 7}}, {"l", {-2, 200, 5, 250}},
        {"r", {1019, 200, 7, 250}}, {"x", {200, -3, 250, 6}},  {"l", {-2, 700, 5, 50}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.edge);
        const Rect start{410, 365, c.strip.width, c.strip.height};
        const std::vector<SplashMove> moves = PlanPositionPhase(start, c.strip, c.edge);
        Rect previous = start;
        for (size_t i = 0; i + 2 < moves.size(); ++i) {
            const Rect& r = moves[i].bounds;
            EXPECT_LE(std::abs(r.left - c.strip.left), std::abs(previous.left - c.strip.left) + 1);
            EXPECT_LE(std::abs(r.top - c.strip.top), std::abs(previous.top - c.strip.top) + 1);
            EXPECT_EQ(r.width, c.strip.width);
            previous = r;
        }
        const bool vertical = std::string_view(c.edge) == "l" || std::string_view(c.edge) == "r";
        const Rect& last = moves[moves.size() - 3].bounds;  // after the last step
        EXPECT_LE(std::abs(vertical ? last.top - c.strip.top : last.left - c.strip.left), 1);
        EXPECT_EQ(moves.back().bounds, c.strip);
    }
}

}  // namespace
}  // namespace velmo
