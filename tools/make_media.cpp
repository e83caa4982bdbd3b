// make_media.cpp: draws the game's two images, Media/dashboard.png (the 2D
// interface atlas) and Media/worldtexture.png (the world atlas), from code.
// Depends on FreeType (glyphs from DejaVu Sans Mono) and LodePNG.
//
// Usage: make_media <output folder>
//
// Where each picture goes is shared with the game (ui/ui_atlas.h,
// world/world_atlas.h). The output is committed and must come out identical
// on every run: all
// randomness is a fixed-seed integer hash, and the arithmetic is kept to
// + - * / sqrt floor, which IEEE floats give the same everywhere (no libm
// transcendentals whose last bit may differ between C libraries).
#include <ft2build.h>
#include FT_FREETYPE_H
#include <lodepng.h>

#include "ui/ui_atlas.h"
#include "world/world_atlas.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// ===========================================================================
// Images and colours
// ===========================================================================

struct Colour {
    float r, g, b, a; // 0..1, alpha not premultiplied
};

// RGBA image of floats, rows top to bottom.
struct Image {
    int width;
    int height;
    std::vector<float> pixels; // 4 floats per pixel
};

static Image makeImage(int width, int height) {
    Image image{width, height, std::vector<float>(size_t(width) * size_t(height) * 4, 0.0f)};
    return image;
}

static float clamp01(float v) {
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

static float lerp(float a, float b, float t) {
    return a + (b - a) * t;
}

static Colour mix(const Colour& a, const Colour& b, float t) {
    return Colour{lerp(a.r, b.r, t), lerp(a.g, b.g, t), lerp(a.b, b.b, t), lerp(a.a, b.a, t)};
}

static Colour scaled(const Colour& c, float k) {
    return Colour{c.r * k, c.g * k, c.b * k, c.a};
}

static float smoothStep(float edge0, float edge1, float x) {
    float t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

static void setPixel(Image& image, int x, int y, const Colour& c) {
    float* p = &image.pixels[(size_t(y) * size_t(image.width) + size_t(x)) * 4];
    p[0] = clamp01(c.r);
    p[1] = clamp01(c.g);
    p[2] = clamp01(c.b);
    p[3] = clamp01(c.a);
}

static Colour getPixel(const Image& image, int x, int y) {
    const float* p = &image.pixels[(size_t(y) * size_t(image.width) + size_t(x)) * 4];
    return Colour{p[0], p[1], p[2], p[3]};
}

// Source-over compositing of c, whose alpha is further scaled by coverage.
static void blendPixel(Image& image, int x, int y, const Colour& c, float coverage) {
    float sa = clamp01(c.a * coverage);
    if (sa <= 0.0f) {
        return;
    }
    Colour d = getPixel(image, x, y);
    float outA = sa + d.a * (1.0f - sa);
    Colour out{0.0f, 0.0f, 0.0f, outA};
    if (outA > 0.0f) {
        out.r = (c.r * sa + d.r * d.a * (1.0f - sa)) / outA;
        out.g = (c.g * sa + d.g * d.a * (1.0f - sa)) / outA;
        out.b = (c.b * sa + d.b * d.a * (1.0f - sa)) / outA;
    }
    setPixel(image, x, y, out);
}

static uint8_t toByte(float v) {
    return uint8_t(std::floor(clamp01(v) * 255.0f + 0.5f));
}

// Writes RGBA when withAlpha, else RGB. Fully transparent pixels are stored
// as 0,0,0,0 so that stray colour under zero alpha cannot leak through
// linear filtering.
static bool savePng(const Image& image, const std::string& path, bool withAlpha) {
    int channels = withAlpha ? 4 : 3;
    std::vector<unsigned char> bytes(size_t(image.width) * size_t(image.height) * size_t(channels),
                                     0);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            Colour c = getPixel(image, x, y);
            unsigned char* out =
                &bytes[(size_t(y) * size_t(image.width) + size_t(x)) * size_t(channels)];
            uint8_t alpha = toByte(c.a);
            if (withAlpha && alpha == 0) {
                continue;
            }
            out[0] = toByte(c.r);
            out[1] = toByte(c.g);
            out[2] = toByte(c.b);
            if (withAlpha) {
                out[3] = alpha;
            }
        }
    }
    unsigned error = lodepng::encode(path, bytes, unsigned(image.width), unsigned(image.height),
                                     withAlpha ? LCT_RGBA : LCT_RGB, 8);
    if (error != 0) {
        std::fprintf(stderr, "make_media: cannot write %s: %s\n", path.c_str(),
                     lodepng_error_text(error));
        return false;
    }
    return true;
}

// ===========================================================================
// Deterministic noise
// ===========================================================================

// Integer mixing hash (a murmur-style finaliser): the only source of
// randomness, so the same seed gives the same image on every machine.
static uint32_t hash32(uint32_t v) {
    v ^= v >> 16;
    v *= 0x7feb352dU;
    v ^= v >> 15;
    v *= 0x846ca68bU;
    v ^= v >> 16;
    return v;
}

static uint32_t hash3(uint32_t a, uint32_t b, uint32_t seed) {
    return hash32(a * 0x9e3779b1U ^ hash32(b * 0x85ebca77U ^ hash32(seed + 0x27d4eb2fU)));
}

// Uniform in [0, 1) from a lattice point.
static float latticeValue(int ix, int iy, uint32_t seed) {
    return float(hash3(uint32_t(ix), uint32_t(iy), seed) >> 8) * (1.0f / 16777216.0f);
}

static int wrapIndex(int i, int period) {
    int m = i % period;
    return m < 0 ? m + period : m;
}

static float fade(float t) {
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

// Value noise in [0, 1) whose lattice of cellsX x cellsY cells repeats over
// the unit square, so (u, v) and (u + 1, v) give the same value: textures
// built from it tile without seams.
static float periodicNoise(float u, float v, int cellsX, int cellsY, uint32_t seed) {
    float fx = u * float(cellsX);
    float fy = v * float(cellsY);
    float flx = std::floor(fx);
    float fly = std::floor(fy);
    int x0 = int(flx);
    int y0 = int(fly);
    float tx = fade(fx - flx);
    float ty = fade(fy - fly);
    int ax = wrapIndex(x0, cellsX);
    int bx = wrapIndex(x0 + 1, cellsX);
    int ay = wrapIndex(y0, cellsY);
    int by = wrapIndex(y0 + 1, cellsY);
    float top = lerp(latticeValue(ax, ay, seed), latticeValue(bx, ay, seed), tx);
    float bottom = lerp(latticeValue(ax, by, seed), latticeValue(bx, by, seed), tx);
    return lerp(top, bottom, ty);
}

// Fractal sum of periodic noise: each octave doubles the lattice and halves
// the weight. Result roughly in [0, 1).
static float periodicFbm(float u, float v, int cellsX, int cellsY, int octaves, uint32_t seed) {
    float sum = 0.0f;
    float weight = 0.5f;
    float total = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += weight * periodicNoise(u, v, cellsX << o, cellsY << o, seed + uint32_t(o) * 101U);
        total += weight;
        weight *= 0.5f;
    }
    return sum / total;
}

// Sharp lines where the noise crosses its middle: cracks, ripples.
static float ridge(float n) {
    float r = 1.0f - std::fabs(2.0f * n - 1.0f);
    return r;
}

// ===========================================================================
// Dashboard: glyphs
// ===========================================================================

const int dashboardWidth = DASHBOARD_IMAGE_WIDTH; // the game copies it onto 1024 x 256
const int dashboardHeight = DASHBOARD_IMAGE_HEIGHT;
const int glyphCell = GLYPH_SIZE; // pixels per glyph cell side
const int glyphsPerRow = GLYPHS_PER_ROW;
const int glyphFirst = GLYPH_FIRST; // character code of entry 0
const int glyphLast = GLYPH_LAST;
const int glyphPixelSize = 16; // FreeType pixel size: a 10-pixel advance in DejaVu Sans Mono
const int glyphInkTop = 0;     // first cell row the outline may touch
const int glyphInkBottom = 18; // last cell row the outline may touch; row 19 stays empty
const char* const glyphFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

const Colour glyphColour{1.0f, 0.98f, 0.93f, 1.0f};
const Colour glyphOutlineColour{0.02f, 0.02f, 0.04f, 0.9f};

struct GlyphBitmap {
    int width;
    int rows;
    int left; // pen to first column, pixels
    int top;  // baseline to first row, pixels, upward
    std::vector<float> coverage;
};

static bool renderGlyph(FT_Face face, int code, GlyphBitmap& out) {
    if (FT_Load_Char(face, FT_ULong(code), FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) {
        return false;
    }
    FT_Bitmap& bitmap = face->glyph->bitmap;
    out.width = int(bitmap.width);
    out.rows = int(bitmap.rows);
    out.left = face->glyph->bitmap_left;
    out.top = face->glyph->bitmap_top;
    out.coverage.assign(size_t(out.width) * size_t(out.rows), 0.0f);
    for (int y = 0; y < out.rows; ++y) {
        for (int x = 0; x < out.width; ++x) {
            out.coverage[size_t(y) * size_t(out.width) + size_t(x)] =
                float(bitmap.buffer[y * bitmap.pitch + x]) / 255.0f;
        }
    }
    return true;
}

// Draws characters 32..126 into their cells: light strokes over a dark
// one-pixel outline, so text reads over any part of the scene.
static bool drawGlyphs(Image& image) {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        std::fprintf(stderr, "make_media: FreeType does not start\n");
        return false;
    }
    if (FT_New_Face(library, glyphFontPath, 0, &face) != 0) {
        std::fprintf(stderr, "make_media: cannot open %s\n", glyphFontPath);
        FT_Done_FreeType(library);
        return false;
    }
    FT_Set_Pixel_Sizes(face, 0, glyphPixelSize);

    std::vector<GlyphBitmap> glyphs(size_t(glyphLast - glyphFirst + 1));
    int advance = 0;
    int maxAbove = 0; // rows above the baseline, over all glyphs
    int maxBelow = 0; // rows below it
    for (int code = glyphFirst; code <= glyphLast; ++code) {
        GlyphBitmap& g = glyphs[size_t(code - glyphFirst)];
        if (!renderGlyph(face, code, g)) {
            std::fprintf(stderr, "make_media: no glyph for character %d\n", code);
            FT_Done_Face(face);
            FT_Done_FreeType(library);
            return false;
        }
        advance = int(face->glyph->advance.x >> 6);
        if (g.rows > 0) {
            maxAbove = g.top > maxAbove ? g.top : maxAbove;
            maxBelow = g.rows - g.top > maxBelow ? g.rows - g.top : maxBelow;
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);

    // Strokes may use rows glyphInkTop+1 .. glyphInkBottom-1, leaving room
    // for the outline; centre the font's full height in that band.
    int band = glyphInkBottom - glyphInkTop - 1; // rows
    int height = maxAbove + maxBelow;
    if (height > band) {
        std::fprintf(stderr, "make_media: glyphs %d rows high do not fit %d\n", height, band);
        return false;
    }
    int baseline = glyphInkTop + 1 + (band - height) / 2 + maxAbove;
    // The game's 10-pixel advance puts each character's slot in the middle
    // ten columns of its cell; centre the font's advance box there.
    int penX = (glyphCell - advance) / 2;

    for (int code = glyphFirst + 1; code <= glyphLast; ++code) {
        const GlyphBitmap& g = glyphs[size_t(code - glyphFirst)];
        int index = code - glyphFirst;
        int cellX = glyphCell * (index % glyphsPerRow);
        int cellY = glyphCell * (index / glyphsPerRow);
        float cov[glyphCell][glyphCell] = {};
        for (int y = 0; y < g.rows; ++y) {
            for (int x = 0; x < g.width; ++x) {
                int cx = penX + g.left + x;
                int cy = baseline - g.top + y;
                if (cx < 1 || cx > glyphCell - 2 || cy < glyphInkTop + 1 ||
                    cy > glyphInkBottom - 1) {
                    continue; // outside the band no stroke may go
                }
                cov[cy][cx] = g.coverage[size_t(y) * size_t(g.width) + size_t(x)];
            }
        }
        for (int y = glyphInkTop; y <= glyphInkBottom; ++y) {
            for (int x = 0; x < glyphCell; ++x) {
                // Outline: the strokes grown by one pixel, diagonals a little
                // weaker so round letters keep their shape.
                float outline = 0.0f;
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        int sx = x + dx;
                        int sy = y + dy;
                        if (sx < 0 || sy < 0 || sx >= glyphCell || sy >= glyphCell) {
                            continue;
                        }
                        float w = (dx != 0 && dy != 0) ? 0.75f : 1.0f;
                        float v = cov[sy][sx] * w;
                        outline = v > outline ? v : outline;
                    }
                }
                outline = clamp01(outline * 1.6f);
                blendPixel(image, cellX + x, cellY + y, glyphOutlineColour, outline);
                blendPixel(image, cellX + x, cellY + y, glyphColour, cov[y][x]);
            }
        }
    }
    return true;
}

// ===========================================================================
// Dashboard: panel pieces
// ===========================================================================

const int panelTop = PANEL_FIRST_ROW;    // pixel row of the first panel row
const int panelPiece = PANEL_PIECE_SIZE; // pixels per piece side
const int panelStyles = PANEL_STYLES;
const float panelPadding = 10.0f;  // fill continues this far outside the inner rectangle, pixels
const float panelBevelEnd = 13.0f; // outer edge of the bevelled border, pixels
const float panelOutlineEnd = 14.5f;
const float panelShadowEnd = 18.0f;
const int panelSamples = 4; // supersamples per pixel side

struct PanelLook {
    Colour fill;
    Colour lit;    // border facing the light (up and left)
    Colour shaded; // border facing away
    Colour seam;   // thin line between fill and border
    Colour outline;
    bool inset; // light from below-right instead
};

const PanelLook panelLooks[panelStyles] = {
    // 0: normal frame: smoky dark blue, silver border
    {{0.05f, 0.07f, 0.11f, 0.74f},
     {0.88f, 0.91f, 0.96f, 1.0f},
     {0.22f, 0.25f, 0.32f, 1.0f},
     {0.02f, 0.03f, 0.05f, 0.85f},
     {0.0f, 0.0f, 0.0f, 0.9f},
     false},
    // 1: highlighted (hovered button): brighter teal fill, gold border
    {{0.10f, 0.30f, 0.40f, 0.86f},
     {1.00f, 0.93f, 0.55f, 1.0f},
     {0.78f, 0.50f, 0.12f, 1.0f},
     {0.05f, 0.12f, 0.16f, 0.9f},
     {0.05f, 0.03f, 0.0f, 0.95f},
     false},
    // 2: inset well: darker fill, border lit from below
    {{0.02f, 0.03f, 0.05f, 0.82f},
     {0.62f, 0.66f, 0.72f, 1.0f},
     {0.16f, 0.18f, 0.22f, 1.0f},
     {0.0f, 0.0f, 0.0f, 0.9f},
     {0.0f, 0.0f, 0.0f, 0.8f},
     true},
};

// Colour of the frame at a point dx, dy pixels outside the inner rectangle
// (both 0 inside it); nx, ny is the outward direction there.
static Colour panelColourAt(const PanelLook& look, float dx, float dy) {
    float d = std::sqrt(dx * dx + dy * dy);
    if (d <= panelPadding - 0.75f) {
        return look.fill;
    }
    if (d <= panelPadding) {
        return look.seam;
    }
    float nx = d > 0.0f ? dx / d : 0.0f;
    float ny = d > 0.0f ? dy / d : 0.0f;
    if (d <= panelBevelEnd) {
        // Facing the light (towards -x, -y) is lit; the inset style is lit from the other side.
        float facing = (-nx - ny) * 0.70710678f;
        if (look.inset) {
            facing = -facing;
        }
        float t = clamp01(0.5f + 0.5f * facing);
        // A brighter crest in the middle of the band rounds the border.
        float across = (d - panelPadding) / (panelBevelEnd - panelPadding);
        float crest = 1.0f - std::fabs(2.0f * across - 1.0f);
        Colour c = mix(look.shaded, look.lit, t);
        return scaled(c, 0.8f + 0.3f * crest);
    }
    if (d <= panelOutlineEnd) {
        return look.outline;
    }
    float shadow = 1.0f - smoothStep(panelOutlineEnd, panelShadowEnd, d);
    return Colour{0.0f, 0.0f, 0.0f, 0.35f * shadow};
}

// Nine pieces per style; the edge pieces vary only across the edge and the
// middle piece is flat, so the game may tile or squeeze them freely.
static void drawPanels(Image& image) {
    for (int s = 0; s < panelStyles; ++s) {
        for (int c = 0; c < 3; ++c) {
            for (int r = 0; r < 3; ++r) {
                int px0 = panelPiece * (3 * s + c);
                int py0 = panelTop + panelPiece * r;
                for (int y = 0; y < panelPiece; ++y) {
                    for (int x = 0; x < panelPiece; ++x) {
                        // Average premultiplied colour over subsamples.
                        float sumR = 0.0f, sumG = 0.0f, sumB = 0.0f, sumA = 0.0f;
                        for (int sy = 0; sy < panelSamples; ++sy) {
                            for (int sx = 0; sx < panelSamples; ++sx) {
                                float fx = float(x) + (float(sx) + 0.5f) / float(panelSamples);
                                float fy = float(y) + (float(sy) + 0.5f) / float(panelSamples);
                                float dx = c == 0 ? float(panelPiece) - fx : (c == 2 ? fx : 0.0f);
                                float dy = r == 0 ? float(panelPiece) - fy : (r == 2 ? fy : 0.0f);
                                Colour col = panelColourAt(panelLooks[s], dx, dy);
                                sumR += col.r * col.a;
                                sumG += col.g * col.a;
                                sumB += col.b * col.a;
                                sumA += col.a;
                            }
                        }
                        float n = float(panelSamples * panelSamples);
                        Colour out{0.0f, 0.0f, 0.0f, sumA / n};
                        if (sumA > 0.0f) {
                            out.r = sumR / sumA;
                            out.g = sumG / sumA;
                            out.b = sumB / sumA;
                        }
                        setPixel(image, px0 + x, py0 + y, out);
                    }
                }
            }
        }
    }
}

// ===========================================================================
// Dashboard: pointer
// ===========================================================================

const int pointerX = POINTER_LEFT; // sprite 0 rectangle in the atlas, pixels
const int pointerY = POINTER_TOP;
const int pointerWidth = POINTER_WIDTH;
const int pointerHeight = POINTER_HEIGHT;
const int pointerSamples = 4;
const float pointerOutline = 1.25f; // pixels of dark rim around the arrow

// The arrow, in sprite pixels; the first corner is the tip, which the game
// puts on the mouse position (sprite pixel 12, 10).
const float pointerShape[][2] = {
    {12.0f, 10.0f}, {12.0f, 32.0f}, {16.9f, 27.3f}, {20.6f, 35.8f},
    {24.0f, 34.3f}, {20.3f, 26.0f}, {27.0f, 26.0f},
};
const int pointerCorners = int(sizeof(pointerShape) / sizeof(pointerShape[0]));

static bool insidePolygon(float x, float y) {
    bool inside = false;
    for (int i = 0, j = pointerCorners - 1; i < pointerCorners; j = i++) {
        float xi = pointerShape[i][0], yi = pointerShape[i][1];
        float xj = pointerShape[j][0], yj = pointerShape[j][1];
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) {
            inside = !inside;
        }
    }
    return inside;
}

static float distanceToPolygonEdge(float x, float y) {
    float best = 1e9f;
    for (int i = 0, j = pointerCorners - 1; i < pointerCorners; j = i++) {
        float ax = pointerShape[j][0], ay = pointerShape[j][1];
        float bx = pointerShape[i][0], by = pointerShape[i][1];
        float ex = bx - ax, ey = by - ay;
        float t = clamp01(((x - ax) * ex + (y - ay) * ey) / (ex * ex + ey * ey));
        float qx = ax + t * ex - x, qy = ay + t * ey - y;
        float d = std::sqrt(qx * qx + qy * qy);
        best = d < best ? d : best;
    }
    return best;
}

static void drawPointer(Image& image) {
    const Colour shadowColour{0.0f, 0.0f, 0.0f, 0.35f};
    const Colour rimColour{0.02f, 0.02f, 0.03f, 1.0f};
    const float shadowX = 1.5f, shadowY = 2.0f; // pixels
    for (int y = 0; y < pointerHeight; ++y) {
        for (int x = 0; x < pointerWidth; ++x) {
            float shadow = 0.0f, rim = 0.0f, body = 0.0f;
            for (int sy = 0; sy < pointerSamples; ++sy) {
                for (int sx = 0; sx < pointerSamples; ++sx) {
                    float fx = float(x) + (float(sx) + 0.5f) / float(pointerSamples);
                    float fy = float(y) + (float(sy) + 0.5f) / float(pointerSamples);
                    bool in = insidePolygon(fx, fy);
                    float edge = distanceToPolygonEdge(fx, fy);
                    if (in) {
                        body += 1.0f;
                    } else if (edge <= pointerOutline) {
                        rim += 1.0f;
                    }
                    float sdx = fx - shadowX, sdy = fy - shadowY;
                    if (insidePolygon(sdx, sdy) ||
                        distanceToPolygonEdge(sdx, sdy) <= pointerOutline + 1.0f) {
                        shadow += 1.0f;
                    }
                }
            }
            float n = float(pointerSamples * pointerSamples);
            int ax = pointerX + x, ay = pointerY + y;
            blendPixel(image, ax, ay, shadowColour, shadow / n);
            blendPixel(image, ax, ay, rimColour, (rim + body) / n);
            // Body: white at the tip shading to pale grey at the tail.
            float t = clamp01((float(y) - 10.0f) / 26.0f);
            Colour bodyColour{lerp(1.0f, 0.80f, t), lerp(1.0f, 0.83f, t), lerp(1.0f, 0.88f, t),
                              1.0f};
            blendPixel(image, ax, ay, bodyColour, body / n);
        }
    }
}

// ===========================================================================
// Dashboard: aim cross
// ===========================================================================

const int crossX = CROSS_LEFT;
const int crossY = CROSS_TOP;
const int crossSize = CROSS_SIZE;

// Four arms around an open middle, in sprite pixels from the middle pixel's
// centre; widen grows them by that much all round (the dark rim).
static bool onCrossArm(float x, float y, float widen) {
    float dx = std::fabs(x - 10.5f), dy = std::fabs(y - 10.5f);
    float along = dx > dy ? dx : dy;
    float across = dx > dy ? dy : dx;
    return across < 1.0f + widen && along > 3.0f - widen && along < 9.0f + widen;
}

static void drawCross(Image& image) {
    const Colour rimColour{0.02f, 0.02f, 0.03f, 0.85f};
    const Colour bodyColour{1.0f, 1.0f, 1.0f, 0.95f};
    for (int y = 0; y < crossSize; ++y) {
        for (int x = 0; x < crossSize; ++x) {
            float rim = 0.0f, body = 0.0f;
            for (int sy = 0; sy < pointerSamples; ++sy) {
                for (int sx = 0; sx < pointerSamples; ++sx) {
                    float fx = float(x) + (float(sx) + 0.5f) / float(pointerSamples);
                    float fy = float(y) + (float(sy) + 0.5f) / float(pointerSamples);
                    body += onCrossArm(fx, fy, 0.0f) ? 1.0f : 0.0f;
                    rim += onCrossArm(fx, fy, 1.0f) ? 1.0f : 0.0f;
                }
            }
            float n = float(pointerSamples * pointerSamples);
            blendPixel(image, crossX + x, crossY + y, rimColour, rim / n);
            blendPixel(image, crossX + x, crossY + y, bodyColour, body / n);
        }
    }
}

// ===========================================================================
// Dashboard: banners
// ===========================================================================

const int bannerWidth = BANNER_WIDTH;
const int bannerHeight = BANNER_HEIGHT;
const int bannerTopY = BANNER_TOP;                    // entry 0: the top banner
const int bannerBottomY = BANNER_TOP + BANNER_HEIGHT; // entry 1: the bottom banner
const Colour bannerDeep{0.03f, 0.04f, 0.07f, 0.94f};
const Colour bannerLight{0.10f, 0.14f, 0.21f, 0.94f};
const Colour bannerGold{1.00f, 0.80f, 0.36f, 1.0f};
const Colour bannerGoldDim{0.55f, 0.36f, 0.10f, 1.0f};
const Colour bannerEdgeDark{0.0f, 0.0f, 0.0f, 1.0f};

// Colour of a banner row, counted from the banner's inner edge away from its
// decorated edge: d = 0 is the outermost screen row, d = 67 the border.
// Horizontal variation is a gentle vignette only, so the banner can be
// stretched to any window width.
static Colour bannerColour(int d, int x) {
    float u = (float(x) + 0.5f) / float(bannerWidth);
    float centre = 1.0f - 4.0f * (u - 0.5f) * (u - 0.5f); // 1 in the middle, 0 at the ends
    float glow = 0.55f + 0.45f * centre;
    if (d >= 66) {
        return bannerEdgeDark; // crisp dark rim below the gold line
    }
    if (d >= 62) {
        // The gold rule: brightest in its middle rows and the middle of the window.
        float row = (d == 63 || d == 64) ? 1.0f : 0.55f;
        return mix(bannerGoldDim, bannerGold, row * glow);
    }
    if (d >= 60) {
        return bannerEdgeDark;
    }
    Colour c = mix(bannerDeep, bannerLight, float(d) / 59.0f);
    return scaled(c, 0.75f + 0.25f * glow);
}

static void drawBanners(Image& image) {
    for (int d = 0; d < bannerHeight; ++d) {
        for (int x = 0; x < bannerWidth; ++x) {
            Colour c = bannerColour(d, x);
            setPixel(image, x, bannerTopY + d, c);                       // border at the bottom
            setPixel(image, x, bannerBottomY + bannerHeight - 1 - d, c); // border at the top
        }
    }
}

static bool makeDashboard(const std::string& folder) {
    Image image = makeImage(dashboardWidth, dashboardHeight);
    if (!drawGlyphs(image)) {
        return false;
    }
    drawPanels(image);
    drawPointer(image);
    drawCross(image);
    drawBanners(image);
    return savePng(image, folder + "/dashboard.png", true);
}

// ===========================================================================
// World texture
// ===========================================================================

const int worldSize = WORLD_ATLAS_SIZE;            // texels per side
const int blockTexels = WORLD_TILE_SIZE;           // one block cell
const int stripLeft = BLOCK_STRIP_LEFT;            // first texel column of the block strip
const int stripTiles = 5;                          // tiles across the strip
const int stripPeriodX = stripTiles * blockTexels; // 640
const int stripEnd = BLOCK_STRIP_END; // the strip pattern fills x 0..767, margins included
const int tileLeft = TILE_COLUMN_LEFT; // terrain, water and figure tiles: x 832..959

// Light for the baked shading: from up-left and above the surface.
const float lightX = -0.45f, lightY = -0.55f, lightZ = 0.70f;

// Shade of a height field sample: Lambert with a raised floor, from the
// slope dh/dx, dh/dy in height units per texel times strength.
static float bakedLight(float slopeX, float slopeY, float strength) {
    float nx = -slopeX * strength, ny = -slopeY * strength, nz = 1.0f;
    float len = std::sqrt(nx * nx + ny * ny + nz * nz);
    float lambert = (nx * lightX + ny * lightY + nz * lightZ) / len;
    float flat = lightZ; // what a level surface gets, so it stays at 1
    return 0.35f + 0.65f * (lambert < 0.0f ? 0.0f : lambert) / flat;
}

// --- block faces -----------------------------------------------------------

const float mortarWidth = 2.0f; // texels of joint at each side of a face
const float bevelWidth = 9.0f;  // texels of chamfer inside the joint
const uint32_t blockSeed = 1001;

// Height of the block strip at texel (x, y), periodic in 640 x 1024.
static float blockHeight(int x, int y) {
    int px = wrapIndex(x - stripLeft, stripPeriodX);
    int py = wrapIndex(y, worldSize);
    int tx = px % blockTexels;
    int ty = py % blockTexels;
    float ex = float(tx) + 0.5f, ey = float(ty) + 0.5f;
    float edge = ex;
    edge = float(blockTexels) - ex < edge ? float(blockTexels) - ex : edge;
    edge = ey < edge ? ey : edge;
    edge = float(blockTexels) - ey < edge ? float(blockTexels) - ey : edge;
    float u = float(px) / float(stripPeriodX);
    float v = float(py) / float(worldSize);
    float grain = periodicFbm(u, v, 20, 32, 5, blockSeed);
    if (edge < mortarWidth) {
        return 0.1f * grain;
    }
    float chamfer = smoothStep(mortarWidth, mortarWidth + bevelWidth, edge);
    // Chipped rims: the chamfer eats further in where coarse noise is low.
    float chip = periodicNoise(u, v, 80, 128, blockSeed + 7);
    chamfer *= 0.85f + 0.15f * chip;
    return 0.25f + 0.75f * chamfer + 0.18f * (grain - 0.5f) * chamfer;
}

static Colour blockAlbedo(int x, int y) {
    int px = wrapIndex(x - stripLeft, stripPeriodX);
    int py = wrapIndex(y, worldSize);
    int tileX = px / blockTexels;
    int tileY = py / blockTexels;
    float u = float(px) / float(stripPeriodX);
    float v = float(py) / float(worldSize);
    int tx = px % blockTexels;
    int ty = py % blockTexels;
    float ex = float(tx) + 0.5f, ey = float(ty) + 0.5f;
    float edge = ex;
    edge = float(blockTexels) - ex < edge ? float(blockTexels) - ex : edge;
    edge = ey < edge ? ey : edge;
    edge = float(blockTexels) - ey < edge ? float(blockTexels) - ey : edge;

    float grain = periodicFbm(u, v, 40, 64, 4, blockSeed + 13);
    if (edge < mortarWidth) {
        // The joint is the same for every tile, so neighbouring tiles meet cleanly.
        return Colour{0.17f + 0.06f * grain, 0.15f + 0.05f * grain, 0.13f + 0.04f * grain, 1.0f};
    }
    // Each stone has its own tint: sandstone to grey granite.
    float pick = latticeValue(tileX, tileY, blockSeed + 29);
    Colour sand{0.63f, 0.55f, 0.44f, 1.0f};
    Colour granite{0.52f, 0.52f, 0.52f, 1.0f};
    Colour base = mix(sand, granite, 0.15f + 0.7f * pick);
    float bright = 0.9f + 0.14f * latticeValue(tileX, tileY, blockSeed + 31);
    base = scaled(base, bright);
    // Fine flecks and broad weathering.
    float fleck = periodicNoise(u, v, 320, 512, blockSeed + 37);
    float weather = periodicFbm(u, v, 10, 16, 3, blockSeed + 41);
    Colour c = scaled(base, 0.78f + 0.3f * grain + 0.12f * (fleck - 0.5f));
    // Moss-dark stains creeping in from the weathered areas.
    float stain = smoothStep(0.55f, 0.72f, weather);
    c = mix(c, Colour{0.24f, 0.26f, 0.20f, 1.0f}, 0.35f * stain);
    // Hairline cracks: a narrow ridge of noise, only in some stones.
    // A mask of coarser noise breaks the ridge's closed loops into single
    // strands, as real cracks run.
    float crackLine = ridge(periodicFbm(u, v, 15, 24, 3, blockSeed + 53));
    float crackMask = smoothStep(0.45f, 0.6f, periodicNoise(u, v, 10, 16, blockSeed + 61));
    float crackOn = latticeValue(tileX, tileY, blockSeed + 59) < 0.5f ? 1.0f : 0.0f;
    float crack = smoothStep(0.955f, 0.99f, crackLine) * crackMask * crackOn *
                  smoothStep(mortarWidth + bevelWidth, 24.0f, edge);
    c = mix(c, Colour{0.12f, 0.10f, 0.09f, 1.0f}, 0.6f * crack);
    return c;
}

static void drawBlockStrip(Image& image) {
    // Heights for the strip plus a one-texel wrap border, so slopes at the
    // image edges see the same neighbours as the repeat would.
    for (int y = 0; y < worldSize; ++y) {
        for (int x = 0; x < stripEnd; ++x) {
            float hl = blockHeight(x - 1, y), hr = blockHeight(x + 1, y);
            float hu = blockHeight(x, y - 1), hd = blockHeight(x, y + 1);
            float shade = bakedLight((hr - hl) * 0.5f, (hd - hu) * 0.5f, 9.0f);
            Colour c = scaled(blockAlbedo(x, y), shade);
            // Ambient occlusion in the joint.
            float h = blockHeight(x, y);
            c = scaled(c, 0.6f + 0.4f * smoothStep(0.0f, 0.5f, h));
            c.a = 1.0f;
            setPixel(image, x, y, c);
        }
    }
}

// --- terrain -----------------------------------------------------------------

const uint32_t terrainSeed = 2002;

const int pebbleCells = 8; // lattice cells across the tile, at most one stone each

// Pebble field, 0 on bare ground rising to 1 on a stone: one stone of random
// size and place in some lattice cells (cells wrap, so the field repeats),
// their outlines bent by noise so they are not perfect discs.
static float terrainPebbles(float u, float v) {
    float wu = periodicNoise(u, v, 8, 8, terrainSeed + 17) - 0.5f;
    float wv = periodicNoise(u, v, 8, 8, terrainSeed + 19) - 0.5f;
    float fx = (u + 0.03f * wu) * float(pebbleCells);
    float fy = (v + 0.03f * wv) * float(pebbleCells);
    int cx = int(std::floor(fx));
    int cy = int(std::floor(fy));
    float best = 0.0f;
    for (int j = cy - 1; j <= cy + 1; ++j) {
        for (int i = cx - 1; i <= cx + 1; ++i) {
            int wi = wrapIndex(i, pebbleCells);
            int wj = wrapIndex(j, pebbleCells);
            if (latticeValue(wi, wj, terrainSeed + 23) > 0.5f) {
                continue; // no stone in this cell
            }
            float px = float(i) + 0.3f + 0.4f * latticeValue(wi, wj, terrainSeed + 29);
            float py = float(j) + 0.3f + 0.4f * latticeValue(wi, wj, terrainSeed + 31);
            float radius = 0.16f + 0.22f * latticeValue(wi, wj, terrainSeed + 37);
            float dx = fx - px, dy = (fy - py) * 1.3f;
            float d = std::sqrt(dx * dx + dy * dy);
            float stone = 1.0f - smoothStep(radius * 0.55f, radius, d);
            best = stone > best ? stone : best;
        }
    }
    return best;
}

static float terrainHeight(int tx, int ty) {
    float u = float(wrapIndex(tx, blockTexels)) / float(blockTexels);
    float v = float(wrapIndex(ty, blockTexels)) / float(blockTexels);
    float base = periodicFbm(u, v, 6, 6, 5, terrainSeed);
    float pebbles = terrainPebbles(u, v);
    float crack = ridge(periodicFbm(u, v, 4, 4, 4, terrainSeed + 5));
    return base + 0.3f * pebbles - 0.3f * smoothStep(0.95f, 0.99f, crack);
}

static Colour terrainColour(int tx, int ty) {
    float u = float(wrapIndex(tx, blockTexels)) / float(blockTexels);
    float v = float(wrapIndex(ty, blockTexels)) / float(blockTexels);
    float hl = terrainHeight(tx - 1, ty), hr = terrainHeight(tx + 1, ty);
    float hu = terrainHeight(tx, ty - 1), hd = terrainHeight(tx, ty + 1);
    float shade = bakedLight((hr - hl) * 0.5f, (hd - hu) * 0.5f, 10.0f);
    Colour earth{0.42f, 0.32f, 0.23f, 1.0f};
    Colour rock{0.47f, 0.44f, 0.40f, 1.0f};
    float patch = smoothStep(0.3f, 0.7f, periodicFbm(u, v, 3, 3, 3, terrainSeed + 11));
    // Kept mild: every terrain cell repeats the tile, and strong patches
    // would show the grid.
    Colour c = mix(earth, rock, 0.25f + 0.5f * patch);
    float grit = periodicNoise(u, v, 64, 64, terrainSeed + 13);
    float h = terrainHeight(tx, ty);
    c = scaled(c, 0.8f + 0.25f * (h - 0.5f) + 0.14f * (grit - 0.5f));
    // Small pale stones lying in the earth.
    float pebbles = terrainPebbles(u, v);
    c = mix(c, Colour{0.60f, 0.56f, 0.50f, 1.0f}, 0.6f * pebbles);
    float crack = ridge(periodicFbm(u, v, 4, 4, 4, terrainSeed + 5));
    c = mix(c, Colour{0.13f, 0.10f, 0.08f, 1.0f}, 0.55f * smoothStep(0.95f, 0.99f, crack));
    c = scaled(c, shade);
    c.a = 1.0f;
    return c;
}

// --- water ---------------------------------------------------------------------

const uint32_t waterSeed = 3003;

static Colour waterColour(int tx, int ty) {
    float u = float(wrapIndex(tx, blockTexels)) / float(blockTexels);
    float v = float(wrapIndex(ty, blockTexels)) / float(blockTexels);
    Colour deep{0.04f, 0.16f, 0.36f, 1.0f};
    Colour shallow{0.12f, 0.42f, 0.66f, 1.0f};
    Colour foam{0.75f, 0.92f, 1.0f, 1.0f};
    float body = periodicFbm(u, v, 3, 3, 4, waterSeed);
    Colour c = mix(deep, shallow, smoothStep(0.25f, 0.75f, body));
    // Two crossing sets of ripple crests: the ridges of warped noise.
    float warp = periodicNoise(u, v, 4, 4, waterSeed + 3);
    float r1 = ridge(periodicFbm(u + 0.08f * warp, v, 4, 4, 3, waterSeed + 7));
    float r2 = ridge(periodicFbm(u, v + 0.08f * warp, 6, 6, 2, waterSeed + 11));
    float r1s = r1 * r1;
    float r2s = r2 * r2;
    float crest = r1s * r1s * r1s * 0.55f + r2s * r2s * r2s * 0.35f;
    c = mix(c, foam, clamp01(crest));
    return c;
}

// --- figure ----------------------------------------------------------------------

const uint32_t figureSeed = 4004;

// Cloth of one colour; the orange tile and the light grey one the game tints
// share its weave.
static Colour clothColour(int x, int y, const Colour& base) {
    float u = float(wrapIndex(x, blockTexels)) / float(blockTexels);
    float v = float(wrapIndex(y, blockTexels)) / float(blockTexels);
    float cloth = periodicFbm(u, v, 8, 8, 3, figureSeed);
    float weave = periodicNoise(u, v, 64, 64, figureSeed + 1);
    Colour c = scaled(base, 0.9f + 0.14f * (cloth - 0.5f) + 0.06f * (weave - 0.5f));
    c.a = 1.0f;
    return c;
}

static Colour figureColour(int x, int y) { return clothColour(x, y, {0.95f, 0.46f, 0.16f, 1.0f}); }

// Light enough that tinting, which can only darken, reaches every colour.
static Colour neutralFigureColour(int x, int y) {
    return clothColour(x, y, {0.98f, 0.98f, 0.98f, 1.0f});
}

static void drawRightColumn(Image& image) {
    for (int y = 0; y < worldSize; ++y) {
        for (int x = stripEnd; x < worldSize; ++x) {
            int tx = x - tileLeft;
            Colour c{};
            if (y < WATER_BAND_END) {
                c = waterColour(tx, y - WATER_TILE_TOP);
            } else if (y < TERRAIN_BAND_END) {
                c = terrainColour(tx, y - TERRAIN_TILE_TOP);
            } else if (y < NEUTRAL_FIGURE_BAND_END) {
                c = neutralFigureColour(tx, y - NEUTRAL_FIGURE_TILE_TOP);
            } else {
                c = figureColour(tx, y - FIGURE_TILE_TOP);
            }
            setPixel(image, x, y, c);
        }
    }
}

static bool makeWorldTexture(const std::string& folder) {
    Image image = makeImage(worldSize, worldSize);
    drawBlockStrip(image);
    drawRightColumn(image);
    return savePng(image, folder + "/worldtexture.png", false);
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_media <output folder>\n");
        return 2;
    }
    std::string folder = argv[1];
    if (!makeDashboard(folder)) {
        return 1;
    }
    if (!makeWorldTexture(folder)) {
        return 1;
    }
    return 0;
}
