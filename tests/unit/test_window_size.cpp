// test_window_size.cpp: which sizes may reach SDL_SetVideoMode.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "app/window_size.h"

namespace {

TEST(WindowSize, SidesTruncateAndSaturate) {
    EXPECT_EQ(windowSide(800.0f), 800);
    EXPECT_EQ(windowSide(799.9f), 799);
    EXPECT_EQ(windowSide(0.5f), 0);
    EXPECT_EQ(windowSide(-800.0f), -800);
    EXPECT_EQ(windowSide(NAN), 0);
    EXPECT_EQ(windowSide(INFINITY), INT_MAX);
    EXPECT_EQ(windowSide(-1e30f), INT_MIN);
}

TEST(WindowSize, ProbeRunsOnlyForAnExactZero) {
    EXPECT_TRUE(needsDesktopProbe(0.0f, 0.0f));
    EXPECT_TRUE(needsDesktopProbe(700.0f, 0.0f));
    EXPECT_TRUE(needsDesktopProbe(0.0f, 500.0f));
    EXPECT_FALSE(needsDesktopProbe(800.0f, 600.0f));
    EXPECT_FALSE(needsDesktopProbe(0.5f, 600.0f));
    EXPECT_FALSE(needsDesktopProbe(NAN, 600.0f));
}

TEST(WindowSize, LimitsOfAWindow) {
    EXPECT_TRUE(windowSizeAllowed(1, 1));
    EXPECT_TRUE(windowSizeAllowed(800, 600));
    EXPECT_TRUE(windowSizeAllowed(MAX_WINDOW_SIDE, MAX_WINDOW_SIDE));
    EXPECT_FALSE(windowSizeAllowed(0, 600));
    EXPECT_FALSE(windowSizeAllowed(800, 0));
    EXPECT_FALSE(windowSizeAllowed(-800, 600));
    EXPECT_FALSE(windowSizeAllowed(MAX_WINDOW_SIDE + 1, 600));
    EXPECT_FALSE(windowSizeAllowed(800, MAX_WINDOW_SIDE + 1));
    EXPECT_FALSE(windowSizeAllowed(40000, 40000));
    EXPECT_FALSE(windowSizeAllowed(INT_MIN, INT_MAX));
    // The probe accepts 0 (the desktop's size) but nothing negative or huge.
    EXPECT_TRUE(probeSideAllowed(0));
    EXPECT_TRUE(probeSideAllowed(MAX_WINDOW_SIDE));
    EXPECT_FALSE(probeSideAllowed(-1));
    EXPECT_FALSE(probeSideAllowed(40000));
    EXPECT_EQ(EXIT_SDL_UNAVAILABLE, 1);
    EXPECT_EQ(EXIT_NO_VIDEO_MODE, 3);
}

} // namespace
