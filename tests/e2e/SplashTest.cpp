// The start-up label box and its way into the strip, watched from outside: every place the splash window is
// seen in must lie on the planned path, and the way must end on the strip with the splash gone.
#include <cstdio>
#include <optional>
#include <set>
#include <tuple>

#include "E2eTest.h"
#include "Figures.h"
#include "core/Splash.h"

namespace velmo::e2e {
namespace {

struct Seen {
    Box box;
    std::chrono::steady_clock::time_point at;
};

// Watches the process's splash window as fast as it can until the window is gone. The window can go between
// any two of the watcher's calls: a rectangle that could not be read is no sample.
std::vector<Seen> WatchSplash(VelmoProcess& velmo) {
    std::vector<Seen> seen;
    HWND splash = nullptr;
    WaitUntil([&] { return (splash = FindTopLevel(velmo.pid(), L"TF_Splash")) != nullptr; },
              std::chrono::seconds(30));
    while (splash && IsWindow(splash)) {
        if (IsWindowVisible(splash)) {
            const std::optional<Box> box = TryWindowBox(splash);
            if (box && (seen.empty() || seen.back().box != *box))
                seen.push_back({*box, std::chrono::steady_clock::now()});
        }
        Sleep(0);
    }
    return seen;
}

struct BoxOrder {
    bool operator()(const Box& a, const Box& b) const {
        return std::tie(a.left, a.top, a.width, a.height) < std::tie(b.left, b.top, b.width, b.height);
    }
};
using Path = std::set<Box, BoxOrder>;

// Every state of the plan, with the label box's first place.
Path PlannedPath(const Rect& strip, const char* edge) {
    const Rect start{(kScreenWidth - 204) / 2, (kScreenHeight - 38) / 2, 204, 38};
    Path path{{start.left, start.top, start.width, start.height}};
    const std::vector<SplashMove> size = PlanSizePhase(start, strip);
    for (const SplashMove& move : size)
        path.insert({move.bounds.left, move.bounds.top, move.bounds.width, move.bounds.height});
    for (const SplashMove& move : PlanPositionPhase(size.back().bounds, strip, edge))
        path.insert({move.bounds.left, move.bounds.top, move.bounds.width, move.bounds.height});
    return path;
}

TEST_F(VelmoE2eTest, SplashTravelsOnItsPlannedPathIntoTheStrip) {
    struct Case {
        const char* name;
        std::vector<std::string> settings;
        const char* edge;
        Rect strip;
        bool picture;
    };
    const Case cases[] = {
        {"top edge, no picture", {}, "t", {200, -3, 250, 6}, false},
        {"right edge, with a picture", {"Position=r", "MW=1024", "StartPosition=300"}, "r", {1021, 300, 7, 250}, true},
        {"left edge", {"Position=l", "StartPosition=500", "Length=100"}, "l", {-2, 500, 5, 100}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramFolder folder;
        std::vector<std::string> settings = c.settings;
        if (c.picture) {
            WriteBmp(folder.File("picture.bmp"), 320, 240, [](int x, int y) { return PositionColor(x, y); });
            settings.push_back("Photo_1=" + folder.File("picture.bmp"));
        }
        folder.WriteSettings(settings);
        VelmoProcess velmo(folder);
        ASSERT_TRUE(velmo.started());
        const std::vector<Seen> seen = WatchSplash(velmo);
        ASSERT_TRUE(Started(velmo));

        const Path path = PlannedPath(c.strip, c.edge);
        ASSERT_GE(seen.size(), 3u) << "the splash was hardly seen";
        for (const Seen& s : seen)
            EXPECT_EQ(path.count(s.box), 1u) << "off the path at " << ToString(s.box);
        EXPECT_EQ(seen.back().box, (Box{c.strip.left, c.strip.top, c.strip.width, c.strip.height}));
        EXPECT_EQ(velmo.box(), (Box{c.strip.left, c.strip.top, c.strip.width, c.strip.height}));
        EXPECT_EQ(FindTopLevel(velmo.pid(), L"TF_Splash", false), nullptr) << "the splash was not freed";
        EXPECT_TRUE(velmo.running()) << "freeing the splash ended the program";

        // Not a check: how long the start takes, and how much of it is the transition.
        const double total = Ms(seen.back().at - velmo.startTime());
        const double transition = Ms(seen.back().at - seen.front().at);
        std::printf("%s: start to the strip %.0f ms, of which the splash %.0f ms; without it about %.0f ms\n",
                    c.name, total, transition, total - transition);
        EXPECT_EQ(velmo.Close(), 0);
    }
}

}  // namespace
}  // namespace velmo::e2e
