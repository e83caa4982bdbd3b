// Atlas tables, panel pieces, button sensitive area, text metrics and the
// pause menu's places.
#include <gtest/gtest.h>

#include <vector>

#include "ui/ui_layout.h"

namespace {

// The four corners of a rectangle in pixels, bottom-left first, as texture
// coordinates of the 1024 x 256 canvas.
void expectRect(const QuadTexCoords& c, int x, int y, int w, int h) {
    const float l = x / 1024.0f, r = (x + w) / 1024.0f, t = y / 256.0f, b = (y + h) / 256.0f;
    const float expected[8] = {l, b, r, b, r, t, l, t};
    for (int i = 0; i < 8; ++i) {
        EXPECT_FLOAT_EQ(c.uv[i], expected[i])
            << "corner value " << i << " of rect " << x << "," << y;
    }
}

std::vector<PanelPiece> panelPieces(int x, int y, int w, int h) {
    std::vector<PanelPiece> pieces;
    layoutPanel(
        x, y, w, h,
        [](const PanelPiece& p, void* out) {
            static_cast<std::vector<PanelPiece>*>(out)->push_back(p);
        },
        &pieces);
    return pieces;
}

std::vector<PanelPiece> piecesOf(const std::vector<PanelPiece>& all, int column, int row) {
    std::vector<PanelPiece> chosen;
    for (const PanelPiece& p : all) {
        if (p.column == column && p.row == row) {
            chosen.push_back(p);
        }
    }
    return chosen;
}

long coveredArea(const std::vector<PanelPiece>& pieces) {
    long area = 0;
    for (const PanelPiece& p : pieces) {
        area += (long)p.w * p.h;
    }
    return area;
}

} // namespace

TEST(AtlasTables, EntriesSitAtTheirPixelRectangles) {
    fillAtlasTables();
    fillBannerCoords();
    expectRect(glyphCoords[0], 0, 0, 20, 20);          // space
    expectRect(glyphCoords['A' - 32], 20, 20, 20, 20); // entry 33: column 1 of row 1
    expectRect(glyphCoords[31], 620, 0, 20, 20);       // last of the first row
    expectRect(glyphCoords[94], 600, 40, 20, 20);      // '~'
    // Panel rows begin at pixel row 59.
    expectRect(panelCoords[0], 0, 59, 20, 20); // style 0, left, top
    expectRect(panelCoords[panelCoordIndex(0, 1, 1)], 20, 79, 20, 20);
    expectRect(panelCoords[panelCoordIndex(0, 2, 2)], 40, 99, 20, 20);
    expectRect(panelCoords[panelCoordIndex(1, 0, 0)], 60, 59, 20, 20);
    expectRect(panelCoords[panelCoordIndex(2, 2, 2)], 160, 99, 20, 20);
    EXPECT_EQ(panelCoordIndex(1, 2, 1), 9 + 6 + 1);
    expectRect(pointerCoords[0], 440, 60, 40, 60);
    expectRect(pointerCoords[4], 600, 60, 40, 60);
    expectRect(bannerCoords[0], 0, 120, 640, 68);
    expectRect(bannerCoords[1], 0, 188, 640, 68);
}

TEST(Text, GlyphsExistOnlyForPrintableAscii) {
    EXPECT_EQ(glyphIndexFor(' '), 0);
    EXPECT_EQ(glyphIndexFor('~'), 94);
    EXPECT_EQ(glyphIndexFor('a'), 'a' - 32);
    EXPECT_EQ(glyphIndexFor('\t'), -1);
    EXPECT_EQ(glyphIndexFor(31), -1);
    EXPECT_EQ(glyphIndexFor(127), -1);
    EXPECT_EQ(glyphIndexFor((char)0xC3), -1); // first byte of UTF-8 text
    EXPECT_EQ(glyphIndexFor((char)0xFF), -1);
}

TEST(Text, CentringUsesHalfTheAdvancePerCharacter) {
    // 19 characters centred on x 175 start at 80; the first cell begins 5 left of that.
    EXPECT_EQ(centredTextX(175, 19), 80);
    EXPECT_EQ(centredTextX(175, 19) - GLYPH_ADVANCE / 2, 75);
    EXPECT_EQ(centredTextX(400, 0), 400);
    EXPECT_EQ(centredTextX(400, 24), 280);
    // A label wider than its 300-pixel button still centres and overhangs it.
    const int longLabel = 40;
    const int start = centredTextX(400, longLabel);
    EXPECT_LT(start - 5, 250);
    EXPECT_GT(start + 10 * longLabel + 5, 550);
    EXPECT_EQ((start - 5 + start + 10 * longLabel + 5) / 2, 400);
}

TEST(Panel, FrameRateBoxPieces) {
    // Width 300, height 10: nw 15, rw 0, nh 0, rh 10; inner top is y - 1 = 24.
    const std::vector<PanelPiece> all = panelPieces(25, 25, 300, 10);
    const int top = 24;

    const std::vector<PanelPiece> fill = piecesOf(all, 1, 1);
    ASSERT_EQ(fill.size(), 15u);
    for (size_t i = 0; i < fill.size(); ++i) {
        EXPECT_EQ(fill[i].x, 25 + 20 * (int)i);
        EXPECT_EQ(fill[i].y, top);
        EXPECT_EQ(fill[i].w, 20);
        EXPECT_EQ(fill[i].h, 10);
    }
    const std::vector<PanelPiece> left = piecesOf(all, 0, 1), right = piecesOf(all, 2, 1);
    ASSERT_EQ(left.size(), 1u);
    ASSERT_EQ(right.size(), 1u);
    EXPECT_EQ(left[0].x, 5);
    EXPECT_EQ(right[0].x, 325);
    for (const PanelPiece& p : {left[0], right[0]}) {
        EXPECT_EQ(p.y, top);
        EXPECT_EQ(p.w, 20);
        EXPECT_EQ(p.h, 10);
    }
    const std::vector<PanelPiece> topEdge = piecesOf(all, 1, 0), bottomEdge = piecesOf(all, 1, 2);
    ASSERT_EQ(topEdge.size(), 15u);
    ASSERT_EQ(bottomEdge.size(), 15u);
    EXPECT_EQ(topEdge[14].x, 305);
    EXPECT_EQ(topEdge[14].y, top - 20);
    EXPECT_EQ(bottomEdge[0].y, top + 10);

    const std::vector<PanelPiece> nw = piecesOf(all, 0, 0), se = piecesOf(all, 2, 2);
    ASSERT_EQ(nw.size(), 1u);
    ASSERT_EQ(se.size(), 1u);
    EXPECT_EQ(nw[0].x, 5);
    EXPECT_EQ(nw[0].y, 4);
    EXPECT_EQ(se[0].x, 325);
    EXPECT_EQ(se[0].y, 34);
    // Frame and fill tile the outer rectangle (340 x 50) exactly once.
    EXPECT_EQ(coveredArea(all), 340L * 50L);
}

TEST(Panel, LabelPanelRemaindersAreSqueezedPieces) {
    // 250 x 10: nw 12, rw 10, nh 0, rh 10.
    const std::vector<PanelPiece> all = panelPieces(100, 50, 250, 10);
    const std::vector<PanelPiece> fill = piecesOf(all, 1, 1);
    ASSERT_EQ(fill.size(), 13u); // 12 strips of 20 x 10 and the 10 x 10 corner piece
    EXPECT_EQ(fill.back().x, 340);
    EXPECT_EQ(fill.back().w, 10);
    EXPECT_EQ(fill.back().h, 10);
    const std::vector<PanelPiece> topEdge = piecesOf(all, 1, 0);
    ASSERT_EQ(topEdge.size(), 13u);
    EXPECT_EQ(topEdge.back().x, 340);
    EXPECT_EQ(topEdge.back().w, 10);
    EXPECT_EQ(topEdge.back().h, 20);
    EXPECT_EQ(piecesOf(all, 2, 0)[0].x, 350);
    EXPECT_EQ(coveredArea(all), 290L * 50L);

    // A taller panel: every row of the fill and both side edges repeat.
    const std::vector<PanelPiece> tall = panelPieces(0, 1, 45, 50); // nw 2 rw 5, nh 2 rh 10
    EXPECT_EQ(piecesOf(tall, 1, 1).size(), 4u + 2u + 2u + 1u);
    EXPECT_EQ(piecesOf(tall, 0, 1).size(), 3u);
    EXPECT_EQ(coveredArea(tall), 85L * 90L);
}

TEST(Button, SensitiveAreaReachesIntoTheFrame) {
    int x = 400, y = 275;
    placeButton(x, y, 300, 15, true);
    EXPECT_EQ(x, 250);
    EXPECT_EQ(y, 268);
    int ux = 400, uy = 275;
    placeButton(ux, uy, 300, 15, false);
    EXPECT_EQ(ux, 400);
    EXPECT_EQ(uy, 275);

    const int my = 270;
    EXPECT_FALSE(buttonHovered(x, y, 300, 15, x - 14, my));
    EXPECT_TRUE(buttonHovered(x, y, 300, 15, x - 13, my));
    EXPECT_TRUE(buttonHovered(x, y, 300, 15, x + 300 + 12, my));
    EXPECT_FALSE(buttonHovered(x, y, 300, 15, x + 300 + 13, my));
    EXPECT_FALSE(buttonHovered(x, y, 300, 15, 400, y - 14));
    EXPECT_TRUE(buttonHovered(x, y, 300, 15, 400, y - 13));
    EXPECT_TRUE(buttonHovered(x, y, 300, 15, 400, y + 15 + 12));
    EXPECT_FALSE(buttonHovered(x, y, 300, 15, 400, y + 15 + 13));
}

TEST(PauseMenu, ButtonsSlideBetweenRestingAndOpenPlaces) {
    EXPECT_EQ(pauseMenuTop(0.0f, 600.0f), 775);
    EXPECT_EQ(pauseMenuTop(50.0f, 600.0f), 475);
    EXPECT_EQ(pauseMenuTop(100.0f, 600.0f), 175);
    EXPECT_EQ(pauseMenuTop(100.0f, 768.0f), 259);
    EXPECT_EQ(pauseMenuTop(0.0f, 768.0f), 1027);
    // Every level on the way is between the two places and never moves back.
    int previous = pauseMenuTop(0.0f, 600.0f);
    for (int level = 5; level <= 100; level += 5) {
        const int top = pauseMenuTop((float)level, 600.0f);
        EXPECT_LE(top, previous);
        EXPECT_GE(top, 175);
        previous = top;
    }
    EXPECT_EQ(PAUSE_MENU_BUTTON_GAP, 50);
    // The four centres at level 100 on 800 x 600 and 1024 x 768.
    const int expected600[4] = {175, 225, 275, 325};
    const int expected768[4] = {259, 309, 359, 409};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(pauseMenuTop(100.0f, 600.0f) + PAUSE_MENU_BUTTON_GAP * i, expected600[i]);
        EXPECT_EQ(pauseMenuTop(100.0f, 768.0f) + PAUSE_MENU_BUTTON_GAP * i, expected768[i]);
    }
}
