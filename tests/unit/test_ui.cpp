// test_ui.cpp: the 2D interface's pure parts: panel pieces, text and button metrics, the pause
// menu's places, the pause level and the dashboard's texts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/settings.h"
#include "render/pixel_format.h"
#include "render/scene_layout.h"
#include "ui/dashboard_text.h"
#include "ui/overlay.h"
#include "ui/pause_state.h"
#include "ui/ui_layout.h"

// Over panels of many sizes: the pieces tile the frame and the inner
// rectangle (whose top is y - 1) exactly once, each piece is the atlas piece
// of the part it lies in, no piece exceeds 20 pixels and none is empty.
TEST(Panel, PiecesTileTheFrameOnce) {
    for (int w = 0; w <= 65; w += 5) {
        for (int h = 0; h <= 45; h += 3) {
            const int x = 30, y = 40, top = y - 1, outerW = w + 40, outerH = h + 40;
            std::vector<PanelPiece> pieces;
            layoutPanel(
                x, y, w, h,
                [](const PanelPiece& p, void* out) {
                    static_cast<std::vector<PanelPiece>*>(out)->push_back(p);
                },
                &pieces);
            std::vector<int> cover(outerW * outerH, 0);
            for (const PanelPiece& p : pieces) {
                ASSERT_TRUE(p.w > 0 && p.h > 0 && p.w <= 20 && p.h <= 20) << w << "x" << h;
                ASSERT_EQ(p.column, p.x < x ? 0 : (p.x >= x + w ? 2 : 1)) << w << "x" << h;
                ASSERT_EQ(p.row, p.y < top ? 0 : (p.y >= top + h ? 2 : 1)) << w << "x" << h;
                ASSERT_TRUE(p.x >= x - 20 && p.x + p.w <= x + w + 20 && p.y >= top - 20 &&
                            p.y + p.h <= top + h + 20);
                for (int py = p.y; py < p.y + p.h; ++py)
                    for (int px = p.x; px < p.x + p.w; ++px)
                        cover[(py - top + 20) * outerW + px - x + 20]++;
            }
            for (int c : cover)
                ASSERT_EQ(c, 1) << w << "x" << h;
        }
    }
}

TEST(Text, GlyphsCentringButtonsAndMenu) {
    const int glyphs[][2] = {{' ', 0}, {'~', 94}, {'a', 'a' - 32}, {'\t', -1},
                             {31, -1}, {127, -1}, {(char)0xC3, -1}};
    for (const auto& g : glyphs)
        EXPECT_EQ(glyphIndexFor((char)g[0]), g[1]) << g[0];
    const int centred[][3] = {{175, 19, 80}, {400, 0, 400}, {400, 24, 280}, {400, 40, 200}};
    for (const auto& c : centred)
        EXPECT_EQ(centredTextX(c[0], c[1]), c[2]);
    // A button centred on (400, 275), 300 x 15: sensitive from 13 pixels
    // into the frame on every side, not from 14.
    int x = 400, y = 275;
    placeButton(x, y, 300, 15, true);
    EXPECT_TRUE(x == 250 && y == 268);
    placeButton(x, y, 300, 15, false); // an uncentred button stays where it is put
    EXPECT_TRUE(x == 250 && y == 268);
    const int hovers[][3] = {{236, 270, 0}, {237, 270, 1}, {562, 270, 1}, {563, 270, 0},
                             {400, 254, 0}, {400, 255, 1}, {400, 295, 1}, {400, 296, 0}};
    for (const auto& m : hovers)
        EXPECT_EQ(buttonHovered(250, 268, 300, 15, m[0], m[1]), m[2] == 1) << m[0] << "," << m[1];
    // The pause menu's top by pause level and window height, buttons 50 apart.
    const float tops[][3] = {{0, 600, 775},    {50, 600, 475},  {100, 600, 175}, {100, 768, 259},
                             {0, 768, 1027},   {100, 900, 325}, {0, 900, 1225},  {50, 900, 775},
                             {100, 1920, 835}, {5, 600, 745}};
    for (const auto& t : tops)
        EXPECT_EQ(pauseMenuTop(t[0], t[1]), (int)t[2]) << t[0] << " " << t[1];
    fillAtlasTables(); // the pointer's five frames side by side from (440, 60) of 1024 x 256
    for (int i = 0; i < 5; ++i) { // 40 x 60 each
        const float* uv = pointerCoords[i].uv;
        EXPECT_TRUE(uv[6] * 1024 == 440 + 40 * i && uv[2] * 1024 == 480 + 40 * i &&
                    uv[7] * 256 == 60 && uv[1] * 256 == 120);
    }
    EXPECT_TRUE(
        choosePixelFormat(4, 0xFF) == PixelRGBA && choosePixelFormat(4, 0xFF0000) == PixelBGRA &&
        choosePixelFormat(3, 0xFF) == PixelRGB && choosePixelFormat(3, 0xFF0000) == PixelBGR &&
        choosePixelFormat(2, 0xFF) == PixelUnsupported);
}

TEST(PauseState, EscapeOpensAndClosesInTwentyFramesEach) {
    screenWidth = 8.0f, screenHeight = 4.0f;
    pauseLevel = 40.0f;
    pauseRequested = true;
    EXPECT_TRUE(resetPauseState());
    EXPECT_TRUE(pauseLevel == 0.0f && !pauseRequested && frozenFrame != nullptr);
    for (int i = 0; i < 8 * 4 * 4; ++i)
        ASSERT_EQ(frozenFrame[i], 0);
    // Frames: whether Escape is pressed, whether a capture is due, the level after.
    const float frames[][3] = {{1, 1, 5},  {0, 0, 10}, {1, 0, 5}, {1, 0, 10}, {0, 0, 15},
                               {1, 0, 10}, {0, 0, 5},  {0, 0, 0}, {0, 0, 0},  {1, 1, 5}};
    for (const auto& f : frames) {
        EXPECT_EQ(applyPauseEscape(f[0] == 1), f[1] == 1);
        advancePauseLevel(1.0f);
        EXPECT_EQ(pauseLevel, f[2]);
    }
    for (int i = 0; i < 30; ++i)
        advancePauseLevel(1.0f);
    EXPECT_EQ(pauseLevel, 100.0f);
    const float clamped[][3] = {{98, 1, 100}, {3, 0, 0}, {NAN, 0, 0}, {0, 1, 0}};
    for (const auto& c : clamped) {
        pauseLevel = c[0];
        pauseRequested = c[1] != 0;
        advancePauseLevel(c[0] == 0 ? NAN : 1.0f);
        EXPECT_EQ(pauseLevel, c[2]) << c[0];
    }
}

// Each key off keeps the plain game (no panel, no seed, F12 ignored, pointer left alone); on, the
// README's behaviour: the pointer warps once the menu has closed, only while inside the window.
TEST(PauseState, DecisionsFollowTheirKeys) {
    char seed[32] = "kept";
    EXPECT_FALSE(slowMotionPanelShown(false, true) || slowMotionPanelShown(true, false) ||
                 dashboardSeedText(false, 7, seed, sizeof seed));
    EXPECT_TRUE(slowMotionPanelShown(true, true) && dashboardSeedText(true, 4000000003u, seed, 32));
    EXPECT_STREQ(seed, "Seed 4000000003");
    const ScreenshotKeyAction none = ScreenshotKeyNone;
    EXPECT_TRUE(screenshotKeyAction(false, true, 0) == none &&
                screenshotKeyAction(false, true, 50) == none &&
                screenshotKeyAction(true, false, 0) == none &&
                screenshotKeyAction(true, true, 0) == ScreenshotKeySaveLive &&
                screenshotKeyAction(true, true, 5) == ScreenshotKeySaveFrozen);
    // All met (k -1), then each unmet: key, paused, closed, inside, focus, no mouse look.
    for (int k = -1; k < 6; ++k)
        EXPECT_EQ(pointerRecentreDue(k != 0, k != 1, k == 2 ? 5 : 0, k != 3, k != 4, k == 5), k < 0)
            << k;
}

// The notice names the file or the reason for three seconds of the frame clock, across its wrap,
// only with plain labels, under the label or under the slow-motion panel.
TEST(PauseState, ScreenshotNoticeForThreeSeconds) {
    EXPECT_EQ(screenshotNoticeText(true, 0), nullptr) << "no save yet";
    const struct {
        int number;
        const char* problem;
        unsigned at;
        const char* text;
    } saves[] = {{3, nullptr, 1000, "Saved screenshot3.png"},
                 {0, "Permission denied", 0xFFFFF000u, "Not saved: Permission denied"},
                 {0, "", 50, "Screenshot not saved"}};
    for (const auto& s : saves) {
        noteScreenshot(s.number, s.problem, s.at);
        for (unsigned later : {0u, SCREENSHOT_NOTICE_MILLIS - 1}) {
            const char* text = screenshotNoticeText(true, s.at + later);
            EXPECT_STREQ(text != nullptr ? text : "none", s.text) << later;
            EXPECT_EQ(screenshotNoticeText(false, s.at + later), nullptr);
        }
        EXPECT_EQ(screenshotNoticeText(true, s.at + SCREENSHOT_NOTICE_MILLIS), nullptr);
    }
    // Under the label, or under the slow-motion panel while it shows; the drawn test holds the
    // rest.
    EXPECT_TRUE(screenshotNoticePlace(800, 3, false).panelY == SLOW_MOTION_PANEL_Y &&
                screenshotNoticePlace(800, 3, true).textY - SLOW_MOTION_TEXT_Y == 50);
}

TEST(DashboardText, ClockDateVersionAndFrameRate) {
    char text[64] = "";
    const struct {
        int h, m, s;
        const char* text;
    } times[] = {{0, 0, 0, "12:00:00 AM"},    {0, 5, 9, "12:05:09 AM"},
                 {12, 30, 0, "12:30:00 PM"},  {13, 0, 7, "1:00:07 PM"},
                 {11, 59, 59, "11:59:59 AM"}, {23, 10, 10, "11:10:10 PM"}};
    for (const auto& t : times) {
        formatTimeText(t.h, t.m, t.s, text, sizeof text);
        EXPECT_STREQ(text, t.text);
    }
    std::string days;
    for (int day : {1, 2, 3, 4, 11, 12, 13, 21, 22, 23, 24, 30, 31}) {
        formatDayOrdinal(day, text, sizeof text);
        days += std::string(text) + " ";
    }
    EXPECT_EQ(days, "1st 2nd 3rd 4th 11th 12th 13th 21st 22nd 23rd 24th 30th 31st ");
    formatDateText(0, 11, 6, 2026, text, sizeof text);
    EXPECT_STREQ(text, "Sunday December 6th 2026");
    formatDateText(6, 0, 1, 2000, text, sizeof text);
    EXPECT_STREQ(text, "Saturday January 1st 2000");
    setupDashboardBanners(); // the caption under the blank first credit line
    EXPECT_TRUE(creditLines[0][0] == '\0' && std::string(creditLines[1]) == creditCaption);
    formatDateText(3, 8, 30, 2026, text, 8); // a short buffer truncates
    EXPECT_STREQ(text, "Wednesd");
    std::string versions;
    for (float v : {0.9f, 1.0f, 1.25f, 10.0f}) {
        formatVersionText(v, text, sizeof text);
        versions += std::string(text) + " ";
    }
    EXPECT_EQ(versions, "v0.9 v1.0 v1.25 v10.0 ");
    formatFrameRateText(62.5f, text, sizeof text);
    EXPECT_STREQ(text, "frames per second: 62.500000");
}
