// test_frame_clock.cpp: frame pacing and the time factor, fed with tick
// counts as SDL_GetTicks would give them.
#include <gtest/gtest.h>

#include <cmath>

#include "app/frame.h"

namespace {

void resetClock(unsigned int clock) {
    frameClock = clock;
    frameMillis = 0;
    framesPerSecond = 0.0f;
}

TEST(FrameClock, ShortFrameSleepsUpToSixteenMillis) {
    resetClock(1000);
    int sleep = advanceFrameClock(1005); // the frame took 5 ms
    EXPECT_EQ(sleep, 11);
    EXPECT_EQ(frameMillis, 16);
    EXPECT_EQ(frameClock, 1016u);
    EXPECT_FLOAT_EQ(framesPerSecond, 62.5f);
    EXPECT_FLOAT_EQ(timeFactorFor(framesPerSecond), 0.96f);
    // The clock is not read again after the sleep: an oversleep to 1019
    // shows up in the next frame.
    sleep = advanceFrameClock(1019 + 20);
    EXPECT_EQ(sleep, 0);
    EXPECT_EQ(frameMillis, 23);
    EXPECT_EQ(frameClock, 1039u);
}

TEST(FrameClock, LongFrameDoesNotSleepAndClampsTheFactor) {
    resetClock(2000);
    EXPECT_EQ(advanceFrameClock(2040), 0);
    EXPECT_EQ(frameMillis, 40);
    EXPECT_EQ(frameClock, 2040u);
    EXPECT_FLOAT_EQ(framesPerSecond, 25.0f);
    EXPECT_FLOAT_EQ(timeFactorFor(framesPerSecond), 2.0f); // 2.4 clamped
    // Exactly 16 ms: no sleep, factor 0.96.
    EXPECT_EQ(advanceFrameClock(2056), 0);
    EXPECT_EQ(frameMillis, 16);
    // A frame at the same tick as the clock sleeps the full 16 ms.
    EXPECT_EQ(advanceFrameClock(2072), 0);
    EXPECT_EQ(advanceFrameClock(2072), 16);
    EXPECT_EQ(frameClock, 2088u);
}

TEST(FrameClock, FirstFramesUseTheLargestFactor) {
    // Before any measurement the rate is 0: 60 / 0 is clamped to 2.
    resetClock(0);
    EXPECT_FLOAT_EQ(timeFactorFor(framesPerSecond), 2.0f);
    // The first measured frame includes the whole start-up.
    EXPECT_EQ(advanceFrameClock(700), 0);
    EXPECT_EQ(frameMillis, 700);
    EXPECT_FLOAT_EQ(timeFactorFor(framesPerSecond), 2.0f);
}

TEST(FrameClock, FactorIsSixtyOverRateWithinBounds) {
    EXPECT_FLOAT_EQ(timeFactorFor(60.0f), 1.0f);
    EXPECT_FLOAT_EQ(timeFactorFor(40.0f), 1.5f);
    EXPECT_FLOAT_EQ(timeFactorFor(30.0f), 2.0f);
    EXPECT_FLOAT_EQ(timeFactorFor(29.0f), 2.0f);
    EXPECT_FLOAT_EQ(timeFactorFor(300.0f), 0.2f);
    EXPECT_FLOAT_EQ(timeFactorFor(1000.0f), 0.2f);
    EXPECT_FLOAT_EQ(timeFactorFor(NAN), 2.0f);
    EXPECT_FLOAT_EQ(timeFactorFor(-5.0f), 0.2f);
    // Every rate the pacing can produce gives a factor in [0.96, 2].
    for (int millis = 16; millis <= 2000; ++millis) {
        float factor = timeFactorFor(1000.0f / (float)millis);
        EXPECT_GE(factor, 0.96f) << millis;
        EXPECT_LE(factor, 2.0f) << millis;
    }
}

TEST(FrameClock, TickCounterWrapIsHarmless) {
    // SDL_GetTicks wraps to 0 after 2^32 ms (about 49 days).
    resetClock(0xFFFFFFF0u);
    EXPECT_EQ(advanceFrameClock(0x00000010u), 0); // 32 ms across the wrap
    EXPECT_EQ(frameMillis, 32);
    EXPECT_EQ(frameClock, 0x10u);
    resetClock(0xFFFFFFFCu);
    EXPECT_EQ(advanceFrameClock(0x00000001u), 11); // 5 ms across the wrap
    EXPECT_EQ(frameMillis, 16);
    EXPECT_EQ(frameClock, 0x0000000Cu);
    EXPECT_FLOAT_EQ(framesPerSecond, 62.5f);
}

TEST(FrameClock, RealClockBehindThePacingClock) {
    // An early wake-up: the next frame sleeps the missing millisecond too.
    resetClock(1016);
    EXPECT_EQ(advanceFrameClock(1015), 17);
    EXPECT_EQ(frameMillis, 16);
    EXPECT_EQ(frameClock, 1032u);
    // Exactly one frame behind is still paced from the old clock.
    resetClock(1016);
    EXPECT_EQ(advanceFrameClock(1000), 32);
    EXPECT_EQ(frameClock, 1032u);
    // A tick counter that started again far below the clock: no endless
    // sleep, pacing resumes from the new count.
    resetClock(100000);
    EXPECT_EQ(advanceFrameClock(50), 16);
    EXPECT_EQ(frameMillis, 16);
    EXPECT_EQ(frameClock, 66u);
    EXPECT_EQ(advanceFrameClock(70), 12);
    EXPECT_EQ(frameClock, 82u);
}

TEST(FrameClock, VeryLongFrameKeepsItsLength) {
    resetClock(0);
    EXPECT_EQ(advanceFrameClock(3600000u), 0); // an hour in one frame
    EXPECT_EQ(frameMillis, 3600000);
    EXPECT_EQ(frameClock, 3600000u);
    EXPECT_FLOAT_EQ(timeFactorFor(framesPerSecond), 2.0f);
}

} // namespace
