// preview_media.cpp: shows the two images the way the game uses them, for an
// artist to look at without starting the game. Reads Media/dashboard.png and
// Media/worldtexture.png from a folder and writes ui_preview.png (text, panels,
// buttons, banners stretched to 1280 pixels, the pointer) and
// world_preview.png (block walls, terrain and water tiled, the figure colour and
// the light grey tile the tints start from).
// Depends on LodePNG only. Sampling copies the game's: linear filtering with
// repeat wrap, the UI image on a 1024 x 256 transparent canvas.
//
// Usage: preview_media <media folder> <output folder>
#include <lodepng.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ui/ui_atlas.h"
#include "world/world_atlas.h"

struct Picture {
    unsigned width;
    unsigned height;
    std::vector<unsigned char> rgba; // 4 bytes per pixel
};

struct Sample {
    float r, g, b, a; // 0..1
};

static bool loadPicture(const std::string& path, Picture& out) {
    unsigned error = lodepng::decode(out.rgba, out.width, out.height, path);
    if (error != 0) {
        std::fprintf(stderr, "preview_media: cannot read %s: %s\n", path.c_str(),
                     lodepng_error_text(error));
        return false;
    }
    return true;
}

static Picture makeCanvas(const Picture& image, unsigned width, unsigned height) {
    Picture canvas{width, height, std::vector<unsigned char>(size_t(width) * height * 4, 0)};
    for (unsigned y = 0; y < height && y < image.height; ++y) {
        for (unsigned x = 0; x < width && x < image.width; ++x) {
            std::memcpy(&canvas.rgba[(size_t(y) * width + x) * 4],
                        &image.rgba[(size_t(y) * image.width + x) * 4], 4);
        }
    }
    return canvas;
}

static Sample texel(const Picture& p, int x, int y) {
    int w = int(p.width), h = int(p.height);
    x = ((x % w) + w) % w;
    y = ((y % h) + h) % h;
    const unsigned char* t = &p.rgba[(size_t(y) * p.width + size_t(x)) * 4];
    return Sample{t[0] / 255.0f, t[1] / 255.0f, t[2] / 255.0f, t[3] / 255.0f};
}

// GL_LINEAR with GL_REPEAT, texel centres at half-integers.
static Sample sampleLinear(const Picture& p, float u, float v) {
    float s = u * float(p.width) - 0.5f;
    float t = v * float(p.height) - 0.5f;
    float fs = std::floor(s), ft = std::floor(t);
    int x0 = int(fs), y0 = int(ft);
    float ax = s - fs, ay = t - ft;
    Sample a = texel(p, x0, y0), b = texel(p, x0 + 1, y0), c = texel(p, x0, y0 + 1),
           d = texel(p, x0 + 1, y0 + 1);
    auto mix = [](const Sample& m, const Sample& n, float k) {
        return Sample{m.r + (n.r - m.r) * k, m.g + (n.g - m.g) * k, m.b + (n.b - m.b) * k,
                      m.a + (n.a - m.a) * k};
    };
    return mix(mix(a, b, ax), mix(c, d, ax), ay);
}

// Draws a textured rectangle; u/v run from (u0, v0) at the top-left corner to
// (u1, v1) at the bottom-right. Alpha blended, alpha test "greater than 0".
static void drawQuad(Picture& dst, float x, float y, float w, float h, const Picture& tex, float u0,
                     float v0, float u1, float v1, float opacity) {
    int xa = int(std::ceil(x - 0.5f)), xb = int(std::ceil(x + w - 0.5f));
    int ya = int(std::ceil(y - 0.5f)), yb = int(std::ceil(y + h - 0.5f));
    for (int py = ya; py < yb; ++py) {
        for (int px = xa; px < xb; ++px) {
            if (px < 0 || py < 0 || px >= int(dst.width) || py >= int(dst.height)) {
                continue;
            }
            float u = u0 + (float(px) + 0.5f - x) / w * (u1 - u0);
            float v = v0 + (float(py) + 0.5f - y) / h * (v1 - v0);
            Sample s = sampleLinear(tex, u, v);
            float a = s.a * opacity;
            if (a <= 0.0f) {
                continue;
            }
            unsigned char* d = &dst.rgba[(size_t(py) * dst.width + size_t(px)) * 4];
            d[0] = (unsigned char)(s.r * 255.0f * a + d[0] * (1.0f - a) + 0.5f);
            d[1] = (unsigned char)(s.g * 255.0f * a + d[1] * (1.0f - a) + 0.5f);
            d[2] = (unsigned char)(s.b * 255.0f * a + d[2] * (1.0f - a) + 0.5f);
            d[3] = 255;
        }
    }
}

// --- the game's 2D rules ---------------------------------------------------

static void drawAtlasRect(Picture& dst, const Picture& ui, float x, float y, float w, float h,
                          int ax, int ay, int aw, int ah) {
    drawQuad(dst, x, y, w, h, ui, ax / 1024.0f, ay / 256.0f, (ax + aw) / 1024.0f,
             (ay + ah) / 256.0f, 1.0f);
}

static void drawText(Picture& dst, const Picture& ui, const char* text, int x, int y) {
    for (int k = 0; text[k] != 0; ++k) {
        int i = (unsigned char)text[k] - 32;
        if (i < 0 || i > 94) {
            continue;
        }
        drawAtlasRect(dst, ui, float(x - 5 + 10 * k), float(y), GLYPH_SIZE, GLYPH_SIZE,
                      GLYPH_SIZE * (i % GLYPHS_PER_ROW), GLYPH_SIZE * (i / GLYPHS_PER_ROW),
                      GLYPH_SIZE, GLYPH_SIZE);
    }
}

static void drawPanel(Picture& dst, const Picture& ui, int x, int y, int w, int h, int style) {
    int top = y - 1;
    int nw = w / 20, rw = w - 20 * nw, nh = h / 20, rh = h - 20 * nh;
    auto piece = [&](int c, int r, int px, int py, int pw, int ph) {
        drawAtlasRect(dst, ui, float(px), float(py), float(pw), float(ph), PANEL_PIECE_SIZE * (3 * style + c),
                      PANEL_FIRST_ROW + PANEL_PIECE_SIZE * r, PANEL_PIECE_SIZE, PANEL_PIECE_SIZE);
    };
    piece(0, 0, x - 20, top - 20, 20, 20);
    piece(0, 2, x - 20, top + h, 20, 20);
    piece(2, 0, x + w, top - 20, 20, 20);
    piece(2, 2, x + w, top + h, 20, 20);
    for (int i = 0; i <= nw; ++i) {
        int pw = i < nw ? 20 : rw;
        piece(1, 2, x + 20 * i, top + h, pw, 20);
        piece(1, 0, x + 20 * i, top - 20, pw, 20);
    }
    for (int j = 0; j <= nh; ++j) {
        int ph = j < nh ? 20 : rh;
        piece(2, 1, x + w, top + 20 * j, 20, ph);
        piece(0, 1, x - 20, top + 20 * j, 20, ph);
    }
    for (int j = 0; j <= nh; ++j) {
        for (int i = 0; i <= nw; ++i) {
            piece(1, 1, x + 20 * i, top + 20 * j, i < nw ? 20 : rw, j < nh ? 20 : rh);
        }
    }
}

static void drawButton(Picture& dst, const Picture& ui, int cx, int cy, int w, int h, bool hovered,
                       const char* label) {
    int x = cx - w / 2, y = cy - h / 2;
    drawPanel(dst, ui, x, y, w, h, hovered ? 1 : 0);
    int n = int(std::strlen(label));
    drawText(dst, ui, label, x + w / 2 - int(n * 10 * 0.5), y + h / 2 - 10);
}

// A stand-in for the cave behind the interface: dark and light stripes, so
// the overlay is seen over both.
static void paintBackdrop(Picture& dst) {
    for (unsigned y = 0; y < dst.height; ++y) {
        for (unsigned x = 0; x < dst.width; ++x) {
            unsigned char* d = &dst.rgba[(size_t(y) * dst.width + x) * 4];
            bool light = ((x / 160) % 2) == 0;
            unsigned char base = (unsigned char)(light ? 150 + (y % 64) : 40 + (y % 32));
            d[0] = base;
            d[1] = (unsigned char)(base * 0.9f);
            d[2] = (unsigned char)(base * 0.8f);
            d[3] = 255;
        }
    }
}

static bool save(const Picture& p, const std::string& path) {
    unsigned error = lodepng::encode(path, p.rgba, p.width, p.height);
    if (error != 0) {
        std::fprintf(stderr, "preview_media: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: preview_media <media folder> <output folder>\n");
        return 2;
    }
    std::string in = argv[1], out = argv[2];
    Picture dashboard{}, world{};
    if (!loadPicture(in + "/dashboard.png", dashboard) ||
        !loadPicture(in + "/worldtexture.png", world)) {
        return 1;
    }
    Picture ui = makeCanvas(dashboard, 1024, 256);

    // --- interface, 1280 x 720 like a window ---
    const int width = 1280, height = 720;
    Picture screen{width, height, std::vector<unsigned char>(size_t(width) * height * 4, 0)};
    paintBackdrop(screen);
    drawAtlasRect(screen, ui, 0, 0, width, 60, 0, BANNER_TOP, BANNER_WIDTH, BANNER_HEIGHT);
    drawAtlasRect(screen, ui, 0, height - 60, width, 60, 0, BANNER_TOP + BANNER_HEIGHT,
                  BANNER_WIDTH, BANNER_HEIGHT);
    drawText(screen, ui, "The Hollowmark", 20, 18);
    drawText(screen, ui, "v0.9", 20, 38);
    const char* date = "Sunday December 6th 2026";
    const char* time = "12:05:09 AM";
    drawText(screen, ui, date, width - 20 - int(std::strlen(date)) * 10, 18);
    drawText(screen, ui, time, width - 20 - int(std::strlen(time)) * 10, 38);
    drawText(screen, ui, "Press Escape to return to the cave", 20, height - 61 + 23);
    const char* fps = "frames per second: 62.500000";
    drawPanel(screen, ui, 25, 95, 300, 10, 0);
    drawText(screen, ui, fps, 175 - int(std::strlen(fps) * 10 * 0.5), 90);
    drawPanel(screen, ui, 400, 100, 300, 30, 0);
    drawText(screen, ui, "Panel 300 x 30, style 0", 410, 104);
    drawPanel(screen, ui, 400, 170, 300, 30, 1);
    drawText(screen, ui, "Panel 300 x 30, style 1", 410, 174);
    drawPanel(screen, ui, 400, 240, 300, 30, 2);
    drawText(screen, ui, "Panel 300 x 30, style 2", 410, 244);
    drawButton(screen, ui, 960, 140, 220, 30, false, "Resume game");
    drawButton(screen, ui, 960, 210, 220, 30, true, "Exit");
    drawButton(screen, ui, 960, 280, 220, 30, false, "Save screenshot");
    drawPanel(screen, ui, 60, 340, 1100, 130, 0);
    for (int row = 0; row < 3; ++row) {
        char line[40] = {};
        int n = 0;
        for (int c = 32 + 32 * row; c < 64 + 32 * row && c <= 126; ++c) {
            line[n++] = char(c);
        }
        drawText(screen, ui, line, 70, 345 + 22 * row);
    }
    drawText(screen, ui, "The quick brown fox jumps over the lazy dog. 0123456789", 70, 420);
    drawText(screen, ui, "text on a light wall: Hollowmark {[(<>)]} |_| #@$%&", 10, 500);
    drawText(screen, ui, "text on a dark wall: jumping quickly, gyq", 170, 530);
    drawAtlasRect(screen, ui, 600 - 12, 600 - 10, 40, 60, POINTER_LEFT, POINTER_TOP, POINTER_WIDTH,
                  POINTER_HEIGHT);
    drawAtlasRect(screen, ui, 900 - 12, 580 - 10, 40, 60, POINTER_LEFT, POINTER_TOP, POINTER_WIDTH,
                  POINTER_HEIGHT);
    // The pointer again at four times its size, for a close look.
    drawAtlasRect(screen, ui, 1100, 480, 160, 240, POINTER_LEFT, POINTER_TOP, POINTER_WIDTH,
                  POINTER_HEIGHT);
    if (!save(screen, out + "/ui_preview.png")) {
        return 1;
    }

    // --- world, 1280 x 720: walls at 64 pixels a cell ---
    Picture scene{width, height, std::vector<unsigned char>(size_t(width) * height * 4, 0)};
    paintBackdrop(scene);
    const float cell = 64.0f;
    const float tileLeft = atlasCoordinate(TILE_COLUMN_LEFT);
    const float tileRight = atlasCoordinate(TILE_COLUMN_LEFT + WORLD_TILE_SIZE);
    auto tileTop = [](int top) { return atlasCoordinate(top); };
    auto tileBottom = [](int top) { return atlasCoordinate(top + WORLD_TILE_SIZE); };
    // A 3 x 2 wall.
    drawQuad(scene, 20, 20, 3 * cell, 2 * cell, world, 0.0625f, 0.0f, 0.0625f + 0.125f * 3,
             0.125f * 2, 1.0f);
    // A 5 x 10 wall: shows every tile across and wraps past v = 1 downward.
    drawQuad(scene, 240, 20, 5 * cell * 0.5f, 10 * cell * 0.5f, world, 0.0625f, 0.0f, 0.6875f,
             1.25f, 1.0f);
    // A 1 x 35 pillar at a quarter of the scale.
    drawQuad(scene, 420, 20, cell * 0.25f * 1.0f, 35 * cell * 0.25f, world, 0.0625f, 0.0f, 0.1875f,
             4.375f, 1.0f);
    // Terrain 4 x 4 and water 4 x 4 tiled, then the figure tile and its grey copy.
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) {
            drawQuad(scene, 470 + i * cell, 20 + j * cell, cell, cell, world, tileLeft,
                     tileTop(TERRAIN_TILE_TOP), tileRight, tileBottom(TERRAIN_TILE_TOP), 1.0f);
            drawQuad(scene, 760 + i * cell, 20 + j * cell, cell, cell, world, tileLeft,
                     tileTop(WATER_TILE_TOP), tileRight, tileBottom(WATER_TILE_TOP), 0.75f);
        }
    }
    drawQuad(scene, 1050, 20, 128, 128, world, tileLeft, tileTop(FIGURE_TILE_TOP), tileRight,
             tileBottom(FIGURE_TILE_TOP), 1.0f);
    drawQuad(scene, 1050, 160, 128, 128, world, tileLeft, tileTop(NEUTRAL_FIGURE_TILE_TOP),
             tileRight, tileBottom(NEUTRAL_FIGURE_TILE_TOP), 1.0f);
    // Terrain at 1:1 and one block face at 1:1.
    for (int j = 0; j < 2; ++j) {
        for (int i = 0; i < 2; ++i) {
            drawQuad(scene, 470 + 128 * i, 300 + 128 * j, 128, 128, world, tileLeft,
                     tileTop(TERRAIN_TILE_TOP), tileRight, tileBottom(TERRAIN_TILE_TOP), 1.0f);
        }
    }
    drawQuad(scene, 760, 300, 256, 256, world, 0.0625f, 0.0f, 0.3125f, 0.25f, 1.0f);
    if (!save(scene, out + "/world_preview.png")) {
        return 1;
    }
    return 0;
}
