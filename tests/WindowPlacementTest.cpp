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
    EXPECT_EQ(ReachableFrame({-50, 0, 870, 666}, kDesktop), (ScreenRect{-50, 0, 870, 666}))
        << "partly off the left edge is still reachable";
}

TEST(WindowPlacement, AbsurdSizesAreCutToTheScreensAndTinyOnesGrowToUsable) {
    EXPECT_EQ(ReachableFrame({0, 0, INT_MAX, INT_MAX}, kDesktop), (ScreenRect{0, 0, 1280, 1024}));
    EXPECT_EQ(ReachableFrame({10, 10, -5, 0}, kDesktop), (ScreenRect{10, 10, 200, 150}));
}

TEST(WindowPlacement, AWindowOffEveryScreenComesBackWholeAndOnePartlyShownWithinReach) {
    const ScreenRect far = ReachableFrame({INT_MAX, INT_MIN, 870, 666}, kDesktop);
    EXPECT_EQ(far, (ScreenRect{1280 - 870, 0, 870, 666}));
    const ScreenRect left = ReachableFrame({INT_MIN, 5000, 870, 666}, kDesktop);
    EXPECT_EQ(left, (ScreenRect{0, 1024 - 666, 870, 666}));
    EXPECT_EQ(ReachableFrame({-5000, -3000, 800, 600}, kDesktop), (ScreenRect{0, 0, 800, 600}));
    // Partly shown: only as far as the mouse must reach it.
    EXPECT_EQ(ReachableFrame({1250, 100, 870, 666}, kDesktop), (ScreenRect{1180, 100, 870, 666}));
    // A second screen left of the first: its area counts.
    EXPECT_EQ(ReachableFrame({-1000, 50, 800, 600}, {-1280, 0, 2560, 1024}),
              (ScreenRect{-1000, 50, 800, 600}));
}
