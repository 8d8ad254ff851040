#include "core/WindowPlacement.h"

#include <gtest/gtest.h>

#include <climits>

using dorvel::core::ReachableFrame;
using dorvel::core::ScreenRect;

namespace {
const ScreenRect kDesktop{0, 0, 1280, 1024};
}

TEST(WindowPlacement, AFrameThatFitsStaysAsItWasStored) {
    EXPECT_EQ(ReachableFrame({197, 106, 870, 666}, kDesktop), (ScreenRect{197, 106, 870, 666}));
    EXPECT_EQ(ReachableFrame({0, 0, 1280, 1024}, kDesktop), (ScreenRect{0, 0, 1280, 1024}));
}

TEST(WindowPlacement, AbsurdSizesAreCutToTheScreensAndTinyOnesGrowToUsable) {
    EXPECT_EQ(ReachableFrame({0, 0, INT_MAX, INT_MAX}, kDesktop), (ScreenRect{0, 0, 1280, 1024}));
    EXPECT_EQ(ReachableFrame({10, 10, -5, 0}, kDesktop), (ScreenRect{10, 10, 200, 150}));
}

TEST(WindowPlacement, AWindowOffTheScreensOrPartlyOnThemComesBackWhole) {
    const ScreenRect far = ReachableFrame({INT_MAX, INT_MIN, 870, 666}, kDesktop);
    EXPECT_EQ(far, (ScreenRect{1280 - 870, 0, 870, 666}));
    const ScreenRect left = ReachableFrame({INT_MIN, 5000, 870, 666}, kDesktop);
    EXPECT_EQ(left, (ScreenRect{0, 1024 - 666, 870, 666}));
    EXPECT_EQ(ReachableFrame({-5000, -3000, 800, 600}, kDesktop), (ScreenRect{0, 0, 800, 600}));
    // Partly shown: moved only as far as it takes to show all of it.
    EXPECT_EQ(ReachableFrame({1250, 100, 870, 666}, kDesktop), (ScreenRect{410, 100, 870, 666}));
    EXPECT_EQ(ReachableFrame({-50, 500, 870, 666}, kDesktop), (ScreenRect{0, 358, 870, 666}));
    // Saved at 1500x900 on a large screen, started where the screen shows
    // 960x540 (a 1920x1080 screen at 2x): all of it, not a corner.
    EXPECT_EQ(ReachableFrame({1700, 900, 1500, 900}, {0, 0, 960, 540}),
              (ScreenRect{0, 0, 960, 540}));
    // A second screen left of the first: its area counts.
    EXPECT_EQ(ReachableFrame({-1000, 50, 800, 600}, {-1280, 0, 2560, 1024}),
              (ScreenRect{-1000, 50, 800, 600}));
}
