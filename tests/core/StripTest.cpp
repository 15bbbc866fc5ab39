#include "core/Strip.h"

#include <gtest/gtest.h>

#include <limits>

namespace velmo {
namespace {

Settings Make(int32_t start, int32_t length, int32_t adj, const char* position) {
    Settings s;
    s.StartPosition = start;
    s.Length = length;
    s.Adj = adj;
    s.Position = position;
    return s;
}

TEST(Strip, ClampsInOrder) {
    struct Case {
        Settings in;
        int32_t start, length, adj;
        const char* position;
    };
    const Case cases[] = {
        {Make(200, 250, 2, "t"), 200, 250, 2, "t"},
        {Make(200, 4, 2, "t"), 200, 4, 3, "t"},     // a 4-pixel strip is at least 3 thick
        {Make(200, 5, 2, "t"), 200, 5, 2, "t"},
        {Make(200, 2, 0, "t"), 200, 4, 3, "t"},
        {Make(200, 2, 4, "t"), 200, 4, 4, "t"},
        {Make(200, 250, -1, "t"), 200, 250, 5, "t"},  // negative becomes five, not zero
        {Make(200, 4, -1, "t"), 200, 4, 3, "t"},      // the 4-pixel rule runs first
        {Make(200, 250, 9, "t"), 200, 250, 5, "t"},
        {Make(0, 250, 2, "t"), 4, 250, 2, "t"},
        {Make(-50, 250, 2, "t"), 4, 250, 2, "t"},
        {Make(200, 250, 2, ""), 200, 250, 2, "t"},
        {Make(200, 250, 2, "T"), 200, 250, 2, "T"},   // kept, placed like "t"
    };
    for (const Case& c : cases) {
        Settings s = c.in;
        ClampStrip(s);
        EXPECT_EQ(s.StartPosition, c.start);
        EXPECT_EQ(s.Length, c.length);
        EXPECT_EQ(s.Adj, c.adj) << "in: length " << c.in.Length << " adj " << c.in.Adj;
        EXPECT_EQ(s.Position, c.position);
    }
}

TEST(Strip, RectanglePerEdge) {
    struct Case {
        Settings in;
        Rect expected;
    };
    Settings right = Make(100, 300, 2, "r");
    right.MW = 640;
    Settings bottom = Make(100, 300, 0, "b");
    bottom.MH = 480;
    const Case cases[] = {
        {Make(200, 250, 2, "t"), {200, -3, 250, 6}},
        {Make(200, 250, 0, "t"), {200, -3, 250, 4}},  // one row on the screen
        {Make(50, 400, 5, "l"), {-2, 50, 8, 400}},
        {right, {637, 100, 7, 300}},                  // columns 637..639 show
        {bottom, {100, 479, 300, 5}},                 // only row 479 shows
        {Make(200, 250, 2, "x"), {200, -3, 250, 6}},
        {Make(200, 250, 2, "T"), {200, -3, 250, 6}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StripRect(c.in), c.expected) << "position " << c.in.Position;

    // Hand-edited extremes saturate instead of overflowing.
    Settings far = Make(4, 4, 5, "r");
    far.MW = std::numeric_limits<int32_t>::min();
    EXPECT_EQ(StripRect(far).left, std::numeric_limits<int32_t>::min());
}

TEST(Strip, AStripOffTheScreenIsPlacedWithinReach) {
    const Size screen{1024, 768};
    const auto with = [](Settings s, int32_t mw, int32_t mh) {
        s.MW = mw;
        s.MH = mh;
        return s;
    };
    struct Case {
        const char* what;
        Settings in;
        Rect expected;
    };
    const Case cases[] = {
        {"start beyond the top edge's end", Make(5000, 250, 2, "t"), {1016, -3, 250, 6}},
        {"start beyond the left edge's end", Make(5000, 250, 1, "l"), {-2, 760, 4, 250}},
        {"right edge of a wider screen", with(Make(200, 250, 2, "r"), 1920, 1080), {1021, 200, 7, 250}},
        {"bottom edge of a taller screen", with(Make(200, 250, 0, "b"), 1920, 1200), {200, 767, 250, 5}},
        {"both at once, a short strip", with(Make(100000, 4, 3, "r"), 1920, 1080), {1020, 764, 8, 4}},
        {"right edge of a screen far to the left", with(Make(200, 250, 2, "r"), -5000, 768), {1021, 200, 7, 250}},
        // Partly on the screen: exactly where it always was.
        {"four pixels of the length show", Make(1020, 250, 2, "t"), {1020, -3, 250, 6}},
        {"one column of a wider screen shows", with(Make(200, 250, 2, "r"), 1026, 768), {1023, 200, 7, 250}},
        {"on the screen", with(Make(200, 250, 2, "b"), 1024, 768), {200, 765, 250, 7}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReachableStripRect(c.in, screen), c.expected) << c.what;
    }
}

}  // namespace
}  // namespace velmo
