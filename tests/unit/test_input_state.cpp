// test_input_state.cpp: the rules one poll applies to the key and button
// tables, fed in the order pollInput feeds them.
#include <gtest/gtest.h>

#include <vector>

#include "app/input.h"

namespace {

struct FrameEvents {
    std::vector<int> keysDown, keysUp, buttonsDown, buttonsUp;
};

// One poll, in pollInput's order: promote, all downs, all ups; keys first.
void poll(const FrameEvents& events) {
    promotePressedKeys();
    for (int code : events.keysDown) {
        applyKeyDown(code);
    }
    for (int code : events.keysUp) {
        applyKeyUp(code);
    }
    promotePressedButtons();
    for (int button : events.buttonsDown) {
        applyButtonDown(button);
    }
    for (int button : events.buttonsUp) {
        applyButtonUp(button);
    }
}

void clearTables() {
    for (int& state : keyState) {
        state = Up;
    }
    for (int& state : mouseButtonState) {
        state = Up;
    }
}

TEST(InputState, TablesStartUp) {
    for (int state : keyState) {
        EXPECT_EQ(state, Up);
    }
    for (int state : mouseButtonState) {
        EXPECT_EQ(state, Up);
    }
}

TEST(InputState, KeyIsPressedForOneFrameThenHeldUntilReleased) {
    clearTables();
    poll({{KEY_W}, {}, {}, {}});
    EXPECT_EQ(keyState[KEY_W], Pressed);
    poll({});
    EXPECT_EQ(keyState[KEY_W], Held);
    poll({});
    EXPECT_EQ(keyState[KEY_W], Held);
    poll({{}, {KEY_W}, {}, {}});
    EXPECT_EQ(keyState[KEY_W], Up);
    // Other keys are untouched throughout.
    EXPECT_EQ(keyState[KEY_S], Up);
    EXPECT_EQ(keyState[KEY_UP], Up);
}

TEST(InputState, DownAndUpInOneFrameIsNeverSeen) {
    clearTables();
    poll({{KEY_ESCAPE}, {KEY_ESCAPE}, {}, {}});
    EXPECT_EQ(keyState[KEY_ESCAPE], Up);
    // A wheel notch: button 4 down and up in the same frame.
    poll({{}, {}, {4}, {4}});
    EXPECT_EQ(mouseButtonState[4], Up);
    // Release then press again in one frame: the downs come first, so the
    // key still ends the frame Up.
    poll({{KEY_SPACE}, {}, {}, {}});
    poll({{KEY_SPACE}, {KEY_SPACE}, {}, {}});
    EXPECT_EQ(keyState[KEY_SPACE], Up);
}

TEST(InputState, ButtonsFollowTheSameRules) {
    clearTables();
    poll({{}, {}, {MOUSE_LEFT, MOUSE_RIGHT}, {}});
    EXPECT_EQ(mouseButtonState[MOUSE_LEFT], Pressed);
    EXPECT_EQ(mouseButtonState[MOUSE_RIGHT], Pressed);
    poll({{}, {}, {}, {MOUSE_RIGHT}});
    EXPECT_EQ(mouseButtonState[MOUSE_LEFT], Held);
    EXPECT_EQ(mouseButtonState[MOUSE_RIGHT], Up);
    EXPECT_EQ(mouseButtonState[MOUSE_MIDDLE], Up);
    // Key events do not touch the buttons and the other way round.
    poll({{MOUSE_LEFT}, {}, {}, {}});
    EXPECT_EQ(mouseButtonState[MOUSE_LEFT], Held);
    EXPECT_EQ(keyState[MOUSE_LEFT], Pressed);
}

TEST(InputState, OutOfRangeCodesAreIgnoredAndButtonZeroNeverWritten) {
    clearTables();
    // Guard cells around the tables would change if a write went astray;
    // instead check every entry stays Up.
    poll({{-1, KEY_STATE_COUNT, KEY_STATE_COUNT + 1000, 1 << 30},
          {},
          {0, -3, MOUSE_BUTTON_COUNT, 255},
          {}});
    for (int state : keyState) {
        EXPECT_EQ(state, Up);
    }
    for (int state : mouseButtonState) {
        EXPECT_EQ(state, Up);
    }
    mouseButtonState[0] = Held; // whatever is there stays
    applyButtonUp(0);
    EXPECT_EQ(mouseButtonState[0], Held);
    // The last valid codes still work.
    poll({{KEY_STATE_COUNT - 1}, {}, {MOUSE_BUTTON_COUNT - 1}, {}});
    EXPECT_EQ(keyState[KEY_STATE_COUNT - 1], Pressed);
    EXPECT_EQ(mouseButtonState[MOUSE_BUTTON_COUNT - 1], Pressed);
    mouseButtonState[0] = Up;
}

} // namespace
