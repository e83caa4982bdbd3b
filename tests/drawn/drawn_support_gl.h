// drawn_support_gl.h: what the drawn tests share. The program opens ONE window
// before its first test, through the game's own start-up steps (initVideo,
// loadUi, newGame on a fixed seed). It is taller than wide, so every check
// below also holds for a portrait window. Tests check pixels against places
// worked out from the camera maths and the UI atlas, never against pictures
// the renderer made itself.
//
//   WIDTH, HEIGHT                  the window in pixels
//   readFrame()                    the window now, top row first: at(x, y), brightness(x, y)
//   saveFrame(frame, name)         $HOLLOWMARK_TEST_OUT/NAME.png, for a person to look at
//   clearTo(r, g, b)               the whole window in one colour (for 2D checks)
//   changedBox(frame, rgb, x0, y0, x1, y1)  box of the pixels in [x0,x1) x [y0,y1) not rgb
//   emptyWorld()                   floor and ceiling at their extremes, no blocks, nobody
//                                  about, every graphics switch off, view range 3
//   stage(x, y, z, pitch, yaw)     viewCamera there; the player's body too, its figure
//                                  and aim marker 10 behind the eye, out of sight
//   drawScene(name)                clear, renderScene, read and save the frame
//   project(x, y, z)               a world point in window pixels through the scene's maths
//   Outline box(x0, y0, z0, x1, y1, z1)  a box's screen outline; covers(x, y, margin)
//   expectFillsOutline(frame, outline, what)  lit more than a pixel inside, black
//                                  more than a pixel outside (the label's corner aside)
//   atlasTexel(x, y)               RGBA of Media/dashboard.png as the file holds it
//   Expected                       what 2D drawing should put where, painted from the atlas
//                                  in drawing order: panel(), text(), unknown()
//   expectDrawn(frame, expected, background, what)  atlas texels that land whole come
//                                  out as they are; where nothing is drawn, the background
#pragma once

#include <string>
#include <vector>

namespace drawn {

const int WIDTH = 450;
const int HEIGHT = 660;
const int LIT = 150; // untextured, unlit white geometry is 255
const int DARK = 30; // the clear colour is black

struct Frame {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    const unsigned char* at(int x, int y) const { return &rgb[((size_t)y * width + x) * 3]; }
    int brightness(int x, int y) const { return (at(x, y)[0] + at(x, y)[1] + at(x, y)[2]) / 3; }
    int brightness(float x, float y) const { return brightness((int)x, (int)y); }
};
struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1; // inclusive
    long count = 0;
};
struct Point {
    float x, y;
};
struct Outline {
    Point corner[8]; // corner c has x1 if c & 1, y1 if c & 2, z1 if c & 4
    bool covers(float x, float y, float margin) const;
};

Frame readFrame();
void saveFrame(const Frame& frame, const std::string& name);
void clearTo(float r, float g, float b);
Box changedBox(const Frame& frame, const unsigned char rgb[3], int x0, int y0, int x1, int y1);

void emptyWorld();
void stage(float x, float y, float z, float pitch, float yaw);
Frame drawScene(const std::string& name);
Point project(float x, float y, float z);
Outline box(float x0, float y0, float z0, float x1, float y1, float z1);
bool inLabelCorner(int x, int y);
void expectFillsOutline(const Frame& frame, const Outline& outline, const char* what);
const unsigned char* atlasTexel(int x, int y);

// Per pixel: an atlas texel drawn at its own size and opaque, UNKNOWN where a
// piece is stretched or blended, nullptr where nothing is drawn.
extern const unsigned char UNKNOWN[4];
struct Expected {
    std::vector<const unsigned char*> texel =
        std::vector<const unsigned char*>((size_t)WIDTH * HEIGHT, nullptr);
    void unknown(int x, int y, int w, int h);
    void piece(int atlasX, int atlasY, int x, int y); // 20 x 20 at its own size
    void panel(int x, int y, int w, int h, int style);
    void text(const char* s, int x, int y);
};
void expectDrawn(const Frame& frame, const Expected& expected, const unsigned char background[3],
                 const char* what);

} // namespace drawn
