// Pause level animation and the Escape rule.
#include <gtest/gtest.h>

#include <math.h>

#include "app/frame.h"
#include "app/settings.h"
#include "ui/overlay.h"
#include "ui/pause_state.h"

namespace {
void startFresh() {
    screenWidth = 8.0f;
    screenHeight = 4.0f;
    resetPauseState();
}
} // namespace

TEST(PauseState, ResetAllocatesAZeroedFrame) {
    pauseLevel = 40.0f;
    pauseRequested = true;
    startFresh();
    EXPECT_EQ(pauseLevel, 0.0f);
    EXPECT_FALSE(pauseRequested);
    ASSERT_NE(frozenFrame, nullptr);
    for (int i = 0; i < 8 * 4 * 4; ++i) {
        EXPECT_EQ(frozenFrame[i], 0) << i;
    }
}

TEST(PauseState, LevelRisesFivePerFrameToOneHundredAndBack) {
    startFresh();
    EXPECT_TRUE(applyPauseEscape(true)); // level 0: capture
    EXPECT_TRUE(pauseRequested);
    for (int frame = 1; frame <= 20; ++frame) {
        advancePauseLevel(1.0f);
        EXPECT_FLOAT_EQ(pauseLevel, 5.0f * frame);
        EXPECT_FALSE(applyPauseEscape(false));
    }
    advancePauseLevel(1.0f);
    EXPECT_EQ(pauseLevel, 100.0f);

    EXPECT_FALSE(applyPauseEscape(true)); // closing never captures
    EXPECT_FALSE(pauseRequested);
    for (int frame = 1; frame <= 20; ++frame) {
        advancePauseLevel(1.0f);
        EXPECT_FLOAT_EQ(pauseLevel, 100.0f - 5.0f * frame);
    }
    EXPECT_EQ(pauseLevel, 0.0f);
    advancePauseLevel(1.0f);
    EXPECT_EQ(pauseLevel, 0.0f);
}

TEST(PauseState, EscapeWhileClosingReversesWithoutNewCapture) {
    startFresh();
    EXPECT_TRUE(applyPauseEscape(true));
    for (int i = 0; i < 20; ++i)
        advancePauseLevel(1.0f);
    EXPECT_FALSE(applyPauseEscape(true)); // start closing
    for (int i = 0; i < 6; ++i)
        advancePauseLevel(1.0f);
    EXPECT_FLOAT_EQ(pauseLevel, 70.0f);
    EXPECT_FALSE(applyPauseEscape(true)); // reopen: the old image stays
    EXPECT_TRUE(pauseRequested);
    advancePauseLevel(1.0f);
    EXPECT_FLOAT_EQ(pauseLevel, 75.0f);

    // Closing all the way and pausing again takes a new picture.
    EXPECT_FALSE(applyPauseEscape(true));
    for (int i = 0; i < 25; ++i)
        advancePauseLevel(1.0f);
    EXPECT_EQ(pauseLevel, 0.0f);
    EXPECT_TRUE(applyPauseEscape(true));
}

TEST(PauseState, LevelIsClampedAndNeverNotANumber) {
    startFresh();
    pauseRequested = true;
    pauseLevel = 98.0f;
    advancePauseLevel(1.0f);
    EXPECT_EQ(pauseLevel, 100.0f);
    pauseRequested = false;
    pauseLevel = 3.0f;
    advancePauseLevel(1.0f);
    EXPECT_EQ(pauseLevel, 0.0f);
    pauseLevel = NAN;
    advancePauseLevel(1.0f);
    EXPECT_EQ(pauseLevel, 0.0f);
    pauseRequested = true;
    pauseLevel = 0.0f;
    advancePauseLevel(NAN);
    EXPECT_EQ(pauseLevel, 0.0f);
}
