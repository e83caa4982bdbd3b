// media_images_test.cpp: checks the committed Media/ images against the pixel
// regions and drawing rules the game relies on: where glyphs, panel pieces,
// pointer and banners lie and how they may be stretched, and that the world
// atlas tiles repeat without seams.
#include <gtest/gtest.h>
#include <lodepng.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Rgba {
    float r, g, b, a; // 0..1
};

struct LoadedImage {
    unsigned width = 0;
    unsigned height = 0;
    std::vector<unsigned char> rgba;
    bool ok = false;

    Rgba at(int x, int y) const {
        const unsigned char* p = &rgba[(size_t(y) * width + size_t(x)) * 4];
        return Rgba{p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, p[3] / 255.0f};
    }
    int alpha(int x, int y) const { return rgba[(size_t(y) * width + size_t(x)) * 4 + 3]; }
};

std::string mediaPath(const char* name) {
    // This file lives in <repository>/tests/unit/.
    std::string here = __FILE__;
    std::string root = here.substr(0, here.rfind("/tests/unit/"));
    return root + "/Media/" + name;
}

LoadedImage load(const char* name) {
    LoadedImage image;
    unsigned error = lodepng::decode(image.rgba, image.width, image.height, mediaPath(name));
    image.ok = error == 0;
    return image;
}

const LoadedImage& dashboard() {
    static LoadedImage image = load("dashboard.png");
    return image;
}

const LoadedImage& world() {
    static LoadedImage image = load("worldtexture.png");
    return image;
}

float luminance(const Rgba& c) {
    return 0.299f * c.r + 0.587f * c.g + 0.114f * c.b;
}

float colourDistance(const Rgba& a, const Rgba& b) {
    return std::fabs(a.r - b.r) + std::fabs(a.g - b.g) + std::fabs(a.b - b.b) +
           std::fabs(a.a - b.a);
}

// Glyph cell origin of character code.
int glyphX(int code) {
    return 20 * ((code - 32) % 32);
}
int glyphY(int code) {
    return 20 * ((code - 32) / 32);
}

// A stroke pixel: light and mostly opaque (the outline is dark).
bool isStroke(const Rgba& c) {
    return c.a > 0.5f && luminance(c) > 0.5f;
}

// Panel piece origin for style s, column c, row r.
int pieceX(int s, int c) {
    return 20 * (3 * s + c);
}
int pieceY(int r) {
    return 59 + 20 * r;
}

} // namespace

TEST(DashboardImage, HasTheAtlasSizeAndTransparentGapsBetweenRegions) {
    const LoadedImage& img = dashboard();
    ASSERT_TRUE(img.ok) << mediaPath("dashboard.png");
    EXPECT_EQ(img.width, 640u);
    EXPECT_EQ(img.height, 256u);

    // Row 59 is both the last glyph row and the first panel row.
    for (int x = 0; x < 180; ++x) {
        EXPECT_EQ(img.alpha(x, 59), 0) << "x " << x;
    }
    // Outside the glyph cells, panel pieces, pointer sprites and banners
    // nothing may be drawn.
    auto inUsedRegion = [](int x, int y) {
        if (y < 60 && x < 20 * 32 && (y / 20) * 32 + x / 20 < 95)
            return true; // glyphs
        if (x < 180 && y >= 59 && y < 119)
            return true; // panels
        if (x >= 440 && y >= 60 && y < 120)
            return true; // pointer sprites
        if (y >= 120 && y < 256)
            return true; // banners
        return false;
    };
    int stray = 0;
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 640; ++x) {
            if (!inUsedRegion(x, y) && img.alpha(x, y) != 0) {
                ++stray;
            }
        }
    }
    EXPECT_EQ(stray, 0);
}

TEST(DashboardImage, GlyphsSitInTheMiddleOfTheirCellsOnOneBaseline) {
    const LoadedImage& img = dashboard();
    ASSERT_TRUE(img.ok);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            EXPECT_EQ(img.alpha(glyphX(' ') + x, glyphY(' ') + y), 0) << "space has ink";
        }
    }
    for (int code = 33; code <= 126; ++code) {
        int cx = glyphX(code), cy = glyphY(code);
        int strokes = 0;
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 20; ++x) {
                Rgba c = img.at(cx + x, cy + y);
                if (isStroke(c)) {
                    ++strokes;
                    // The game advances 10 pixels and starts each cell 5 to
                    // the left, so strokes belong in columns 5..14.
                    EXPECT_TRUE(x >= 5 && x <= 14)
                        << "'" << char(code) << "' stroke at column " << x;
                }
                if (c.a > 0.0f) {
                    EXPECT_TRUE(x >= 4 && x <= 15) << "'" << char(code) << "' ink at column " << x;
                    EXPECT_LT(y, 19) << "'" << char(code) << "' ink in the cell's last row";
                }
            }
        }
        EXPECT_GT(strokes, 1) << "'" << char(code) << "' is empty";
    }

    // Letters without descenders end on the same row; descenders go lower.
    auto lowestStrokeRow = [&](char ch) {
        int lowest = -1;
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 20; ++x) {
                if (isStroke(img.at(glyphX(ch) + x, glyphY(ch) + y)))
                    lowest = y;
            }
        }
        return lowest;
    };
    int baseline = lowestStrokeRow('H');
    for (char ch : std::string("AEHIMTZxmnz0123456789")) {
        EXPECT_EQ(lowestStrokeRow(ch), baseline) << ch;
    }
    for (char ch : std::string("gjpqy")) {
        EXPECT_GT(lowestStrokeRow(ch), baseline + 2) << ch;
    }
    // Capitals are tall enough to read: at least 10 pixels from top to baseline.
    int top = 20;
    for (int y = 0; y < 20 && top == 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            if (isStroke(img.at(glyphX('H') + x, glyphY('H') + y)))
                top = y;
        }
    }
    EXPECT_GE(baseline - top + 1, 10);

    // Every stroke touches a dark outline pixel somewhere around the glyph.
    int outline = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            Rgba c = img.at(glyphX('O') + x, glyphY('O') + y);
            if (c.a > 0.5f && luminance(c) < 0.2f)
                ++outline;
        }
    }
    EXPECT_GT(outline, 10);
}

TEST(DashboardImage, PanelPiecesStretchAndJoinWithoutSeams) {
    const LoadedImage& img = dashboard();
    ASSERT_TRUE(img.ok);
    const float tolerance = 0.04f; // summed over four channels
    for (int s = 0; s < 3; ++s) {
        // The fill piece is flat, so any squeeze or tiling of it looks the same.
        Rgba fill = img.at(pieceX(s, 1), pieceY(1));
        EXPECT_GT(fill.a, 0.5f) << "style " << s;
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 20; ++x) {
                EXPECT_LT(colourDistance(img.at(pieceX(s, 1) + x, pieceY(1) + y), fill), 0.01f);
            }
        }
        // Top and bottom edges vary only across the edge, the side edges
        // likewise: the game tiles and squeezes them along their length.
        for (int r : {0, 2}) {
            for (int y = 0; y < 20; ++y) {
                Rgba first = img.at(pieceX(s, 1), pieceY(r) + y);
                for (int x = 1; x < 20; ++x) {
                    EXPECT_LT(colourDistance(img.at(pieceX(s, 1) + x, pieceY(r) + y), first),
                              0.01f);
                }
            }
        }
        for (int c : {0, 2}) {
            for (int x = 0; x < 20; ++x) {
                Rgba first = img.at(pieceX(s, c) + x, pieceY(1));
                for (int y = 1; y < 20; ++y) {
                    EXPECT_LT(colourDistance(img.at(pieceX(s, c) + x, pieceY(1) + y), first),
                              0.01f);
                }
            }
        }
        // Neighbouring pieces continue each other across their shared edge.
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 2; ++c) {
                for (int y = 0; y < 20; ++y) {
                    Rgba left = img.at(pieceX(s, c) + 19, pieceY(r) + y);
                    Rgba right = img.at(pieceX(s, c + 1), pieceY(r) + y);
                    EXPECT_LT(colourDistance(left, right), tolerance)
                        << "style " << s << " row " << r;
                }
            }
        }
        for (int c = 0; c < 3; ++c) {
            for (int r = 0; r < 2; ++r) {
                for (int x = 0; x < 20; ++x) {
                    Rgba upper = img.at(pieceX(s, c) + x, pieceY(r) + 19);
                    Rgba lower = img.at(pieceX(s, c) + x, pieceY(r + 1));
                    EXPECT_LT(colourDistance(upper, lower), tolerance)
                        << "style " << s << " column " << c;
                }
            }
        }
        // A visible border: the edge pieces carry something brighter than the fill.
        float brightest = 0.0f;
        for (int y = 0; y < 20; ++y) {
            Rgba c = img.at(pieceX(s, 1), pieceY(0) + y);
            if (c.a > 0.9f)
                brightest = std::max(brightest, luminance(c));
        }
        EXPECT_GT(brightest, luminance(fill) + 0.2f) << "style " << s;
        // The outermost pixels stay clear so pieces can sit next to anything.
        for (int x = 0; x < 20; ++x) {
            EXPECT_EQ(img.alpha(pieceX(s, 1) + x, pieceY(0)), 0);
            EXPECT_EQ(img.alpha(pieceX(s, 1) + x, pieceY(2) + 19), 0);
        }
    }
    // The highlighted style stands out from the normal one in fill and border.
    Rgba normalFill = img.at(pieceX(0, 1), pieceY(1));
    Rgba hoverFill = img.at(pieceX(1, 1), pieceY(1));
    EXPECT_GT(luminance(hoverFill), luminance(normalFill) + 0.05f);
    float borderDifference = 0.0f;
    for (int y = 0; y < 20; ++y) {
        borderDifference =
            std::max(borderDifference, colourDistance(img.at(pieceX(0, 1), pieceY(0) + y),
                                                      img.at(pieceX(1, 1), pieceY(0) + y)));
    }
    EXPECT_GT(borderDifference, 0.4f);
}

TEST(DashboardImage, PointerTipIsAtTheHotSpot) {
    const LoadedImage& img = dashboard();
    ASSERT_TRUE(img.ok);
    const int px = 440, py = 60; // sprite 0
    EXPECT_GT(img.at(px + 12, py + 10).a, 0.5f) << "no arrow at the hot spot";
    // Nothing above or to the left of the tip beyond the outline's pixel.
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 40; ++x) {
            if (x < 10 || y < 8) {
                EXPECT_EQ(img.alpha(px + x, py + y), 0) << x << "," << y;
            }
        }
    }
    // A light body running down and to the right of the tip, a dark rim around it.
    EXPECT_TRUE(isStroke(img.at(px + 13, py + 20)));
    EXPECT_TRUE(isStroke(img.at(px + 16, py + 22)));
    Rgba rim = img.at(px + 11, py + 20);
    EXPECT_GT(rim.a, 0.5f);
    EXPECT_LT(luminance(rim), 0.2f);
}

TEST(DashboardImage, BannersAreOpaqueDarkAndStretchSideways) {
    const LoadedImage& img = dashboard();
    ASSERT_TRUE(img.ok);
    for (int banner = 0; banner < 2; ++banner) {
        int y0 = 120 + 68 * banner;
        for (int y = y0; y < y0 + 68; ++y) {
            for (int x = 0; x < 640; ++x) {
                ASSERT_GT(img.at(x, y).a, 0.9f) << x << "," << y;
                if (x > 0) {
                    // Only gentle change from column to column: no features
                    // that widening to 1920 pixels would smear.
                    EXPECT_LT(colourDistance(img.at(x, y), img.at(x - 1, y)), 0.03f)
                        << x << "," << y;
                }
            }
        }
    }
    // Text rows (drawn over banner rows ~20..58 of the top banner) sit on dark.
    for (int y = 120 + 20; y < 120 + 58; ++y) {
        EXPECT_LT(luminance(img.at(20, y)), 0.3f);
        EXPECT_LT(luminance(img.at(620, y)), 0.3f);
    }
    // The decorative line: on the top banner's bottom edge and the bottom
    // banner's top edge, much brighter than the banner body.
    auto brightestRow = [&](int from, int to) {
        float best = 0.0f;
        for (int y = from; y < to; ++y)
            best = std::max(best, luminance(img.at(320, y)));
        return best;
    };
    float body = luminance(img.at(320, 150));
    EXPECT_GT(brightestRow(120 + 60, 188), body + 0.3f);
    EXPECT_GT(brightestRow(188, 188 + 8), body + 0.3f);
    EXPECT_LT(brightestRow(120, 120 + 50), body + 0.1f);
    EXPECT_LT(brightestRow(188 + 18, 256), body + 0.1f);
}

namespace {

// Mean colour difference between columns a and b (rows y0..y1-1).
float columnDifference(const LoadedImage& img, int a, int b, int y0, int y1) {
    float sum = 0.0f;
    for (int y = y0; y < y1; ++y)
        sum += colourDistance(img.at(a, y), img.at(b, y));
    return sum / float(y1 - y0);
}

float rowDifference(const LoadedImage& img, int a, int b, int x0, int x1) {
    float sum = 0.0f;
    for (int x = x0; x < x1; ++x)
        sum += colourDistance(img.at(x, a), img.at(x, b));
    return sum / float(x1 - x0);
}

// Checks that a square tile wraps onto itself as smoothly as its texels
// follow each other inside: a tile that does not repeat cleanly shows a
// jump at the wrap several times the usual step.
void expectSeamless(const LoadedImage& img, int x0, int y0, int size, const char* name) {
    float inside = 0.0f;
    for (int x = x0; x < x0 + size - 1; ++x)
        inside += columnDifference(img, x, x + 1, y0, y0 + size);
    for (int y = y0; y < y0 + size - 1; ++y)
        inside += rowDifference(img, y, y + 1, x0, x0 + size);
    inside /= float(2 * (size - 1));
    float acrossX = columnDifference(img, x0 + size - 1, x0, y0, y0 + size);
    float acrossY = rowDifference(img, y0 + size - 1, y0, x0, x0 + size);
    EXPECT_LT(acrossX, 1.6f * inside) << name;
    EXPECT_LT(acrossY, 1.6f * inside) << name;
}

Rgba meanColour(const LoadedImage& img, int x0, int y0, int w, int h) {
    Rgba sum{0, 0, 0, 0};
    for (int y = y0; y < y0 + h; ++y) {
        for (int x = x0; x < x0 + w; ++x) {
            Rgba c = img.at(x, y);
            sum.r += c.r;
            sum.g += c.g;
            sum.b += c.b;
            sum.a += c.a;
        }
    }
    float n = float(w * h);
    return Rgba{sum.r / n, sum.g / n, sum.b / n, sum.a / n};
}

float luminanceSpread(const LoadedImage& img, int x0, int y0, int w, int h) {
    float mean = luminance(meanColour(img, x0, y0, w, h));
    float sum = 0.0f;
    for (int y = y0; y < y0 + h; ++y) {
        for (int x = x0; x < x0 + w; ++x) {
            float d = luminance(img.at(x, y)) - mean;
            sum += d * d;
        }
    }
    return std::sqrt(sum / float(w * h));
}

} // namespace

TEST(WorldTexture, BlockStripJoinsTileToTileAndWrapsDownward) {
    const LoadedImage& img = world();
    ASSERT_TRUE(img.ok) << mediaPath("worldtexture.png");
    ASSERT_EQ(img.width, 1024u);
    ASSERT_EQ(img.height, 1024u);
    // Typical step between neighbouring columns across the whole strip.
    float typical = 0.0f;
    for (int x = 64; x < 703; ++x)
        typical += columnDifference(img, x, x + 1, 0, 1024);
    typical /= 639.0f;
    // Where one block face meets the next, to the right and downward,
    // including the repeat from the last row back to the first.
    for (int k = 1; k < 5; ++k) {
        int x = 64 + 128 * k;
        EXPECT_LT(columnDifference(img, x - 1, x, 0, 1024), 1.5f * typical)
            << "tile edge at x " << x;
    }
    for (int j = 0; j < 8; ++j) {
        int below = 128 * j;
        int above = (below + 1023) % 1024;
        EXPECT_LT(rowDifference(img, above, below, 64, 704), 1.5f * typical)
            << "tile edge at y " << below;
    }
    // Each face reads as a block: a dark joint around a lighter, textured face.
    for (int j = 0; j < 8; ++j) {
        for (int k = 0; k < 5; ++k) {
            int x0 = 64 + 128 * k, y0 = 128 * j;
            float face = luminance(meanColour(img, x0 + 16, y0 + 16, 96, 96));
            float joint = luminance(meanColour(img, x0, y0 + 16, 1, 96));
            EXPECT_LT(joint, 0.6f * face) << "tile " << k << "," << j;
            EXPECT_GT(luminanceSpread(img, x0 + 16, y0 + 16, 96, 96), 0.02f)
                << "flat tile " << k << "," << j;
        }
    }
}

TEST(WorldTexture, TerrainAndWaterTilesRepeatWithoutSeams) {
    const LoadedImage& img = world();
    ASSERT_TRUE(img.ok);
    expectSeamless(img, 832, 320, 128, "terrain");
    expectSeamless(img, 832, 64, 128, "water");
    EXPECT_GT(luminanceSpread(img, 832, 320, 128, 128), 0.03f) << "terrain looks flat";
    EXPECT_GT(luminanceSpread(img, 832, 64, 128, 128), 0.03f) << "water looks flat";

    // Water is blue; terrain is an earthy colour, not blue.
    Rgba water = meanColour(img, 832, 64, 128, 128);
    EXPECT_GT(water.b, water.g);
    EXPECT_GT(water.b, water.r + 0.2f);
    Rgba terrain = meanColour(img, 832, 320, 128, 128);
    EXPECT_GE(terrain.r, terrain.b);

    // Mipmaps mix in texels around a tile: those match the tile's colour.
    EXPECT_LT(colourDistance(meanColour(img, 816, 48, 16, 160), water), 0.15f);
    EXPECT_LT(colourDistance(meanColour(img, 960, 48, 16, 160), water), 0.15f);
    EXPECT_LT(colourDistance(meanColour(img, 816, 304, 16, 160), terrain), 0.15f);
    EXPECT_LT(colourDistance(meanColour(img, 832, 448, 128, 16), terrain), 0.15f);
}

TEST(WorldTexture, FigureTileIsAFairlyEvenWarmColour) {
    const LoadedImage& img = world();
    ASSERT_TRUE(img.ok);
    Rgba figure = meanColour(img, 832, 832, 128, 128);
    EXPECT_GT(figure.r, 0.6f);
    EXPECT_GT(figure.r, figure.g + 0.2f);
    EXPECT_GT(figure.g, figure.b);
    EXPECT_LT(luminanceSpread(img, 832, 832, 128, 128), 0.06f);
    // And so is what lies around it.
    EXPECT_LT(colourDistance(meanColour(img, 800, 800, 192, 32), figure), 0.1f);
    EXPECT_LT(colourDistance(meanColour(img, 800, 960, 192, 32), figure), 0.1f);
}
