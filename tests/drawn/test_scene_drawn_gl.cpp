// test_scene_drawn_gl.cpp: draws real frames of the scene through the game's own
// start-up code and checks them against positions worked out from the camera
// maths and the UI atlas, not against pictures the renderer made itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "drawn_support_gl.h"
#include "game/game.h"
#include "meshing/chunks.h"
#include "render/scene_gl.h"
#include "render/scene_layout.h"
#include "ui/draw2d_gl.h"
#include "world/new_game.h"
#include "world/world.h"
#include "render/textures_gl.h"

namespace {

const int WIDTH = 800;
const int HEIGHT = 600;
const float HALF_PI = 1.570796325f;
const float NEAR_PLANE = 0.1f;
const int LIT = 150; // brightness of untextured, unlit white geometry is 255
const int DARK = 30; // the clear colour is black

struct Point {
    float x, y;
};

// Opens the window once for the whole program, as main does.
class SceneEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        drawn::openWindow(WIDTH, HEIGHT);
        useTextures = true;
        useLight = false;
        useFog = false;
        useWater = false;
        viewRange = 3;
        loadUi();
        srand(20260612);
        newGame();
    }
};
::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new SceneEnvironment);

// An empty cave: the floor and ceiling at their extremes, no blocks, nobody
// else about. The graphics switches are the ones every frame below uses.
void emptyWorld() {
    useTextures = false;
    useLight = false;
    useFog = false;
    useWater = false;
    std::memset(blocks, 0, sizeof blocks);
    std::memset(fallingBlocks, 0, sizeof fallingBlocks);
    for (int x = 0; x < WORLD_SIZE; x++) {
        for (int z = 0; z < WORLD_SIZE; z++) {
            floorHeight[x][z] = MIN_SURFACE_HEIGHT;
            ceilingHeight[x][z] = MAX_SURFACE_HEIGHT;
        }
    }
    markAllChunksDirty();
    rebuildDirtyChunks();
    figureCount = 0;
    ballCount = 0;
    settleProgress = 0.0f;
    actionType = ActionRaiseGround;
    player.swinging = false;
}

CameraPose cameraAt(float x, float y, float z, float pitch, float yaw) {
    CameraPose c{};
    c.position = {x, y, z};
    c.pitch = pitch;
    c.yaw = yaw;
    c.roll = 0.0f;
    return c;
}

// Puts every pose point of the player, and its aim marker, at one spot.
void putPlayerFigureAt(float x, float y, float z) {
    const Vector3 p = {x, y, z};
    player.head = player.neck = player.hipCentre = p;
    for (int i = 0; i < 2; i++) {
        player.shoulderX[i] = player.handX[i] = player.hipX[i] = player.footX[i] = x;
        player.shoulderY[i] = player.handY[i] = player.hipY[i] = player.footY[i] = y;
        player.shoulderZ[i] = player.handZ[i] = player.hipZ[i] = player.footZ[i] = z;
    }
    aimPoint = p;
}

// Sets the camera and the player: the body (which centres the disc of drawn
// chunks) at `body`, its figure and aim marker 10 units behind the eye.
void stage(const CameraPose& camera, Vector3 body) {
    viewCamera = camera;
    player.position = body;
    putPlayerFigureAt(camera.position.x - 10.0f * std::sin(camera.yaw), camera.position.y,
                      camera.position.z + 10.0f * std::cos(camera.yaw));
}

drawn::Frame drawFrame(const char* name) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderScene();
    drawn::Frame frame = drawn::readFrame();
    drawn::saveFrame(frame, name);
    return frame;
}

Point projectPoint(float x, float y, float z) {
    drawn::ScreenPoint s{};
    EXPECT_TRUE(drawn::project(viewCamera, NEAR_PLANE, farPlaneDistance(viewRange), x, y, z, s));
    return {s.x, s.y};
}

float cross(Point o, Point a, Point b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// Convex hull, counter-clockwise in a y-up sense (monotone chain).
std::vector<Point> convexHull(std::vector<Point> p) {
    std::sort(p.begin(), p.end(),
              [](Point a, Point b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    std::vector<Point> hull(2 * p.size());
    size_t k = 0;
    for (size_t i = 0; i < p.size(); i++) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], p[i]) <= 0)
            k--;
        hull[k++] = p[i];
    }
    for (size_t i = p.size() - 1, t = k + 1; i > 0; i--) {
        while (k >= t && cross(hull[k - 2], hull[k - 1], p[i - 1]) <= 0)
            k--;
        hull[k++] = p[i - 1];
    }
    hull.resize(k - 1);
    return hull;
}

float segmentDistance(Point p, Point a, Point b) {
    const float dx = b.x - a.x, dy = b.y - a.y;
    float t = ((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy);
    t = std::max(0.0f, std::min(1.0f, t));
    const float ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
    return std::sqrt(ex * ex + ey * ey);
}

// Positive inside the hull, negative outside: the distance to its outline.
float signedDistance(const std::vector<Point>& hull, Point p) {
    bool inside = true;
    float nearest = 1e30f;
    for (size_t i = 0; i < hull.size(); i++) {
        const Point a = hull[i], b = hull[(i + 1) % hull.size()];
        inside = inside && cross(a, b, p) >= 0.0f;
        nearest = std::min(nearest, segmentDistance(p, a, b));
    }
    return inside ? nearest : -nearest;
}

// The screen outline of the box [x0,x1] x [y0,y1] x [z0,z1].
std::vector<Point> boxOutline(float x0, float y0, float z0, float x1, float y1, float z1) {
    std::vector<Point> corners;
    for (int c = 0; c < 8; c++) {
        corners.push_back(projectPoint((c & 1) ? x1 : x0, (c & 2) ? y1 : y0, (c & 4) ? z1 : z0));
    }
    return convexHull(corners);
}

bool inLabelCorner(int x, int y) {
    return x >= labelPanelX(WIDTH) - 25 && y < 60;
}

// Every pixel more than a pixel inside the outline is lit and every pixel
// more than a pixel outside it is black (the label's corner aside).
void expectFillsOutline(const drawn::Frame& frame, const std::vector<Point>& outline,
                        const char* what) {
    int litInside = 0, wrongInside = 0, wrongOutside = 0;
    for (int y = 0; y < frame.height; y++) {
        for (int x = 0; x < frame.width; x++) {
            if (inLabelCorner(x, y))
                continue;
            const float d = signedDistance(outline, {x + 0.5f, y + 0.5f});
            const int b = frame.brightness(x, y);
            if (d > 1.0f) {
                (b > LIT ? litInside : wrongInside)++;
            } else if (d < -1.0f && b > DARK) {
                wrongOutside++;
            }
        }
    }
    EXPECT_GT(litInside, 2000) << what;
    EXPECT_EQ(wrongInside, 0) << what;
    EXPECT_EQ(wrongOutside, 0) << what;
}

} // namespace

TEST(SceneDrawn, BlockAtNegativePositionFillsItsProjectedOutline) {
    emptyWorld();
    viewRange = 3;
    // Cell 47 of the world shows one world-width over, at x = -3, when the
    // player stands in chunk -2 (the disc then holds chunk -1, slot 9).
    blocks[47][17][25] = 1;
    markAllChunksDirty();
    rebuildDirtyChunks();
    stage(cameraAt(-8.0f, 17.5f, 25.7f, 0.1f, HALF_PI + 0.15f), {-8.0f, 17.5f, 25.7f});
    const drawn::Frame frame = drawFrame("scene_block_negative");
    expectFillsOutline(frame, boxOutline(-3, 17, 25, -2, 18, 26), "block at x -3");
}

TEST(SceneDrawn, FallingBlockIsLoweredBySettleProgress) {
    emptyWorld();
    viewRange = 3;
    fallingBlocks[27][16][27] = 1;
    markAllChunksDirty();
    rebuildDirtyChunks();
    settleProgress = 0.4f;
    stage(cameraAt(22.0f, 17.5f, 26.0f, 0.15f, HALF_PI - 0.1f), {22.0f, 17.5f, 26.0f});
    const drawn::Frame frame = drawFrame("scene_falling_block");
    expectFillsOutline(frame, boxOutline(27, 15.6f, 27, 28, 16.6f, 28), "falling block 0.4 down");
    settleProgress = 0.0f;
}

namespace {

// The UI atlas as the file holds it: the canvas is the image at its top-left.
struct Atlas {
    unsigned char* rgba = nullptr;
    unsigned width = 0, height = 0;
    const unsigned char* texel(int x, int y) const {
        static const unsigned char transparent[4] = {0, 0, 0, 0};
        if (x < 0 || y < 0 || x >= (int)width || y >= (int)height) {
            return transparent;
        }
        return &rgba[((size_t)y * width + x) * 4];
    }
};

bool sameColour(const unsigned char* a, const unsigned char* b) {
    for (int ch = 0; ch < 3; ch++) {
        if (std::abs(a[ch] - b[ch]) > 8) {
            return false;
        }
    }
    return true;
}

// The label's panel frame and glyph cells, pixel for pixel against the
// atlas: a piece drawn 20 x 20 maps texel centres onto pixel centres, so an
// opaque texel comes out as its own colour.
void expectLabelAsTheAtlasDrawsIt(const drawn::Frame& frame, const Atlas& atlas, int action) {
    const char* text = actionTypeNames[action];
    const int n = (int)std::strlen(text);
    const int panelX = labelPanelX(WIDTH);
    const int top = LABEL_PANEL_Y - 1;
    const int textX = panelX - 5 * n + 125;

    // Which glyph texel each pixel ends up with: the last glyph drawn there
    // with any coverage wins.
    std::vector<int> glyphAlpha((size_t)WIDTH * 60, -1);
    std::vector<const unsigned char*> glyphTexel((size_t)WIDTH * 60, nullptr);
    for (int k = 0; k < n; k++) {
        const int code = (unsigned char)text[k] - 32;
        const int gx = 20 * (code % 32), gy = 20 * (code / 32);
        for (int v = 0; v < 20; v++) {
            for (int u = 0; u < 20; u++) {
                const unsigned char* t = atlas.texel(gx + u, gy + v);
                if (t[3] != 0) {
                    const size_t at = (size_t)(LABEL_TEXT_Y + v) * WIDTH + (textX - 5 + 10 * k + u);
                    glyphAlpha[at] = t[3];
                    glyphTexel[at] = t;
                }
            }
        }
    }
    int glyphChecked = 0, glyphWrong = 0;
    for (size_t at = 0; at < glyphAlpha.size(); at++) {
        if (glyphAlpha[at] == 255) {
            glyphChecked++;
            glyphWrong +=
                !sameColour(frame.at((int)(at % WIDTH), (int)(at / WIDTH)), glyphTexel[at]);
        }
    }
    EXPECT_GT(glyphChecked, 5 * n) << text; // the opaque core of every glyph
    EXPECT_EQ(glyphWrong, 0) << text;

    // The panel pieces drawn at full size: four corners, and the top and
    // bottom edges (250 wide: 12 whole pieces).
    struct Piece {
        int column, row, x, y;
    };
    std::vector<Piece> pieces = {{0, 0, panelX - 20, top - 20},
                                 {2, 0, panelX + 250, top - 20},
                                 {0, 2, panelX - 20, top + 10},
                                 {2, 2, panelX + 250, top + 10}};
    for (int i = 0; i < 12; i++) {
        pieces.push_back({1, 0, panelX + 20 * i, top - 20});
        pieces.push_back({1, 2, panelX + 20 * i, top + 10});
    }
    int panelChecked = 0, panelWrong = 0;
    for (const Piece& piece : pieces) {
        for (int v = 0; v < 20; v++) {
            for (int u = 0; u < 20; u++) {
                const int x = piece.x + u, y = piece.y + v;
                const unsigned char* t =
                    atlas.texel(20 * piece.column + u, 59 + 20 * piece.row + v);
                // Skip what text covers and what lets the scene through.
                if (glyphAlpha[(size_t)y * WIDTH + x] < 0 && t[3] == 255) {
                    panelChecked++;
                    panelWrong += !sameColour(frame.at(x, y), t);
                }
            }
        }
    }
    EXPECT_GT(panelChecked, 1000) << text;
    EXPECT_EQ(panelWrong, 0) << text;
}

Atlas loadAtlas() {
    Atlas atlas;
    EXPECT_EQ(
        lodepng_decode32_file(&atlas.rgba, &atlas.width, &atlas.height, "Media/dashboard.png"), 0u);
    return atlas;
}

} // namespace

TEST(SceneDrawn, LabelPanelAndGlyphsStandWhereTheAtlasPutsThem) {
    const Atlas atlas = loadAtlas();
    ASSERT_NE(atlas.rgba, nullptr);
    emptyWorld();
    stage(cameraAt(25.0f, 17.5f, 25.0f, 0.0f, 0.0f), {25.0f, 17.5f, 25.0f});
    const int panelX = labelPanelX(WIDTH);
    const int top = LABEL_PANEL_Y - 1;
    ASSERT_EQ(panelX, 525);
    for (int action = 0; action < ACTION_TYPE_COUNT; action++) {
        actionType = action;
        char name[64];
        snprintf(name, sizeof name, "scene_label_%d", action);
        const drawn::Frame frame = drawFrame(name);
        expectLabelAsTheAtlasDrawsIt(frame, atlas, action);
        // Nothing of the label strays outside the frame of the panel.
        int stray = 0;
        for (int y = 0; y < 80; y++) {
            for (int x = 380; x < WIDTH; x++) {
                const bool inFrame =
                    x >= panelX - 20 && x < panelX + 270 && y >= top - 20 && y < top + 30;
                stray += !inFrame && frame.brightness(x, y) > DARK;
            }
        }
        EXPECT_EQ(stray, 0) << actionTypeNames[action];
    }
    free(atlas.rgba);
    actionType = ActionRaiseGround;
}

TEST(SceneDrawn, ViewRangeZeroDrawsNoChunkButFiguresAndLabel) {
    emptyWorld();
    blocks[23][11][23] = 1;
    markAllChunksDirty();
    rebuildDirtyChunks();
    viewCamera = cameraAt(20.0f, 11.5f, 25.5f, 0.0f, HALF_PI);
    // The player stands 4 ahead and 1 to the right, facing the camera.
    player.position = {24.0f, 10.0f, 26.5f};
    player.yaw = 3.14159265f;
    player.pitch = 0.0f;
    player.neck = {24.0f, 11.25f, 26.5f};
    player.head = {24.0f, 11.65f, 26.5f};
    player.hipCentre = {24.0f, 10.25f, 26.5f};
    for (int i = 0; i < 2; i++) {
        const float side = i == 0 ? -0.4f : 0.4f;
        player.shoulderX[i] = 24.0f, player.shoulderY[i] = 11.15f,
        player.shoulderZ[i] = 26.5f + side;
        player.handX[i] = 23.5f, player.handY[i] = 9.8f, player.handZ[i] = 26.5f + side;
        player.hipX[i] = 24.0f, player.hipY[i] = 10.15f, player.hipZ[i] = 26.5f + side;
        player.footX[i] = 24.0f, player.footY[i] = 8.4f, player.footZ[i] = 26.5f + side;
    }
    aimPoint = {10.0f, 11.0f, 25.5f}; // behind the eye
    // A ball straight ahead, 6.5 away: beyond a far plane of 5.
    ballCount = 1;
    balls[0].kind = 0;
    balls[0].position = {26.5f, 11.5f, 25.5f};
    balls[0].velocity = {0.0f, 0.0f, 0.0f};

    viewRange = 2;
    const drawn::Frame wide = drawFrame("scene_viewrange_2");
    const Point block = projectPoint(23.5f, 11.5f, 23.5f);
    const Point ball = projectPoint(26.5f, 11.5f, 25.5f);
    const Point head = projectPoint(24.0f, 11.65f, 26.5f);
    viewRange = 0;
    const drawn::Frame narrow = drawFrame("scene_viewrange_0");

    EXPECT_GT(wide.brightness((int)block.x, (int)block.y), LIT) << "the block shows at range 2";
    EXPECT_GT(wide.brightness((int)ball.x, (int)ball.y), LIT) << "the ball shows at range 2";
    EXPECT_GT(wide.brightness((int)head.x, (int)head.y), LIT);
    EXPECT_LT(narrow.brightness((int)block.x, (int)block.y), DARK) << "no chunk at range 0";
    EXPECT_LT(narrow.brightness((int)ball.x, (int)ball.y), DARK) << "the far plane lies at 5";
    EXPECT_GT(narrow.brightness((int)head.x, (int)head.y), LIT) << "the player is still drawn";
    int labelPixels = 0;
    for (int y = 0; y < 60; y++) {
        for (int x = 500; x < WIDTH; x++)
            labelPixels += narrow.brightness(x, y) > DARK;
    }
    EXPECT_GT(labelPixels, 2000) << "the label is still drawn";
    ballCount = 0;
    viewRange = 3;
}

// Linear fog from 0.1 to the far plane (20 at range 3), to black.
TEST(SceneDrawn, FogTurnsDistantGeometryTowardBlack) {
    emptyWorld();
    viewRange = 3;
    blocks[28][17][24] = 1; // front face 3 ahead, to the left
    blocks[40][17][26] = 1; // front face 15 ahead, to the right
    markAllChunksDirty();
    rebuildDirtyChunks();
    // The body stands further on so that the disc reaches chunk 8 (x 40..45).
    stage(cameraAt(25.0f, 17.5f, 25.5f, 0.0f, HALF_PI), {30.0f, 17.5f, 25.5f});
    const Point nearFace = projectPoint(28.0f, 17.5f, 24.5f);
    const Point farFace = projectPoint(40.0f, 17.5f, 26.5f);

    const drawn::Frame clear = drawFrame("scene_fog_off");
    useFog = true;
    const drawn::Frame fogged = drawFrame("scene_fog_on");
    useFog = false;

    EXPECT_GT(clear.brightness((int)nearFace.x, (int)nearFace.y), 245);
    EXPECT_GT(clear.brightness((int)farFace.x, (int)farFace.y), 245);
    const float expectedNear = 255.0f * (20.0f - 3.0f) / (20.0f - 0.1f);
    const float expectedFar = 255.0f * (20.0f - 15.0f) / (20.0f - 0.1f);
    EXPECT_NEAR(fogged.brightness((int)nearFace.x, (int)nearFace.y), expectedNear, 10.0f);
    EXPECT_NEAR(fogged.brightness((int)farFace.x, (int)farFace.y), expectedFar, 10.0f);
}

// Water is drawn at 75 % opacity over what lies below it, and the label after
// it is drawn at full opacity again (the colour is white once more).
TEST(SceneDrawn, WaterIsDrawnAtThreeQuartersOpacity) {
    const Atlas atlas = loadAtlas();
    ASSERT_NE(atlas.rgba, nullptr);
    emptyWorld();
    useWater = true;
    viewRange = 1; // far plane 10: the floor 11.75 below the eye is clipped
    // One quad at y = 4 over the whole of chunk (5, 5), facing up.
    static float quad[12] = {0, 4, 0, 0, 4, 5, 5, 4, 5, 5, 4, 0};
    static float quadTexCoords[8] = {0, 0, 0, 1, 1, 1, 1, 0};
    WaterMesh saved[CHUNK_TOTAL];
    std::memcpy(saved, waterMeshes, sizeof saved);
    for (WaterMesh& mesh : waterMeshes) {
        mesh.vertexCount = 0;
    }
    waterMeshes[55].vertexCount = 4;
    waterMeshes[55].positions = quad;
    waterMeshes[55].texCoords = quadTexCoords;

    // Looking straight down from 8 above the water.
    viewCamera = cameraAt(27.5f, 12.0f, 27.5f, HALF_PI, 0.0f);
    player.position = {27.5f, 12.0f, 27.5f};
    putPlayerFigureAt(27.5f, 30.0f, 27.5f); // above the eye, out of sight
    actionType = ActionSpawnEnemy;
    const drawn::Frame frame = drawFrame("scene_water");
    std::memcpy(waterMeshes, saved, sizeof saved);
    useWater = false;

    const std::vector<Point> outline = boxOutline(25, 4, 25, 30, 4, 30);
    int inside = 0, wrong = 0;
    for (int y = 0; y < frame.height; y++) {
        for (int x = 0; x < frame.width; x++) {
            if (inLabelCorner(x, y)) {
                continue;
            }
            const float d = signedDistance(outline, {x + 0.5f, y + 0.5f});
            const int b = frame.brightness(x, y);
            if (d > 1.0f) {
                inside++;
                wrong += std::abs(b - 191) > 6; // 0.75 x 255 over black
            } else if (d < -1.0f) {
                wrong += b > DARK;
            }
        }
    }
    EXPECT_GT(inside, 50000);
    EXPECT_EQ(wrong, 0);
    expectLabelAsTheAtlasDrawsIt(frame, atlas, ActionSpawnEnemy);
    free(atlas.rgba);
    viewRange = 3;
    actionType = ActionRaiseGround;
}

// The light sits at the eye: a face turned toward it is brighter than one
// seen at a slant, by the fixed-function formula (ambient 0.04 + 0.2, diffuse
// 0.8 N.L, no attenuation); without light both are plain white.
TEST(SceneDrawn, LightSitsAtTheEye) {
    emptyWorld();
    blocks[28][17][25] = 1;
    viewCamera = cameraAt(25.0f, 17.5f, 27.5f, 0.0f, HALF_PI - 0.35f);
    player.position = {25.0f, 17.5f, 27.5f};
    putPlayerFigureAt(15.0f, 17.5f, 27.5f);
    markAllChunksDirty();
    rebuildDirtyChunks();
    const Point front = projectPoint(28.0f, 17.5f, 25.5f); // face x = 28, normal -x
    const Point side = projectPoint(28.5f, 17.5f, 26.0f);  // face z = 26, normal +z
    const drawn::Frame unlit = drawFrame("scene_light_off");
    useLight = true;
    markAllChunksDirty(); // the meshes carry normals only while the light is on
    rebuildDirtyChunks();
    const drawn::Frame lit = drawFrame("scene_light_on");
    useLight = false;
    markAllChunksDirty();
    rebuildDirtyChunks();

    // Per-vertex lighting: the face centre gets about the mean of its corners.
    auto expected = [](float nx, float nz, const float corners[4][3]) {
        float sum = 0.0f;
        for (int c = 0; c < 4; c++) {
            const float lx = 25.0f - corners[c][0], ly = 17.5f - corners[c][1],
                        lz = 27.5f - corners[c][2];
            const float dot = (nx * lx + nz * lz) / std::sqrt(lx * lx + ly * ly + lz * lz);
            sum += std::min(1.0f, 0.24f + 0.8f * std::max(0.0f, dot));
        }
        return 255.0f * sum / 4.0f;
    };
    const float frontCorners[4][3] = {{28, 17, 25}, {28, 18, 25}, {28, 18, 26}, {28, 17, 26}};
    const float sideCorners[4][3] = {{28, 17, 26}, {28, 18, 26}, {29, 18, 26}, {29, 17, 26}};
    EXPECT_GT(unlit.brightness((int)front.x, (int)front.y), 245);
    EXPECT_GT(unlit.brightness((int)side.x, (int)side.y), 245);
    EXPECT_NEAR(lit.brightness((int)front.x, (int)front.y), expected(-1, 0, frontCorners), 15.0f);
    EXPECT_NEAR(lit.brightness((int)side.x, (int)side.y), expected(0, 1, sideCorners), 15.0f);
}

// Balls by kind, and the rope: 50 beads from hand 0, the last one step short
// of the anchor.
TEST(SceneDrawn, BallsAndRopeBeads) {
    emptyWorld();
    viewRange = 5; // far plane 30
    // Looking along -z at a rope 30 long across the view, 26 away.
    viewCamera = cameraAt(25.0f, 17.0f, 51.0f, 0.0f, 0.0f);
    player.position = {25.0f, 17.0f, 51.0f};
    putPlayerFigureAt(25.0f, 17.0f, 60.0f); // behind the eye
    player.swinging = true;
    player.handX[0] = 10.0f, player.handY[0] = 19.0f, player.handZ[0] = 25.0f;
    player.ropeAnchor = {40.0f, 19.0f, 25.0f};
    // A small ball, a big ball and a ball of a kind nothing draws.
    ballCount = 3;
    balls[0] = {0, {18.0f, 14.0f, 25.0f}, {0, 0, 0}};
    balls[1] = {1, {25.0f, 14.0f, 25.0f}, {0, 0, 0}};
    balls[2] = {2, {32.0f, 14.0f, 25.0f}, {0, 0, 0}};
    const drawn::Frame frame = drawFrame("scene_balls_rope");
    player.swinging = false;
    ballCount = 0;
    viewRange = 3;

    auto brightnessAt = [&](float x, float y, float z) {
        const Point p = projectPoint(x, y, z);
        return frame.brightness((int)p.x, (int)p.y);
    };
    // Beads every 0.6 with radius 0.25: each centre lit, each gap and the
    // anchor itself dark.
    for (int k = 0; k < 50; k++) {
        EXPECT_GT(brightnessAt(10.0f + 0.6f * k, 19.0f, 25.0f), LIT) << "bead " << k;
        EXPECT_LT(brightnessAt(10.3f + 0.6f * k, 19.0f, 25.0f), DARK) << "gap after bead " << k;
    }
    EXPECT_LT(brightnessAt(40.0f, 19.0f, 25.0f), DARK) << "no bead at the anchor";
    // Kind 0 has radius 0.25, kind 1 radius 1.0, kind 2 draws nothing.
    EXPECT_GT(brightnessAt(18.0f, 14.0f, 25.0f), LIT);
    EXPECT_LT(brightnessAt(18.6f, 14.0f, 25.0f), DARK);
    EXPECT_GT(brightnessAt(25.0f, 14.0f, 25.0f), LIT);
    EXPECT_GT(brightnessAt(25.8f, 14.0f, 25.0f), LIT);
    EXPECT_LT(brightnessAt(26.3f, 14.0f, 25.0f), DARK);
    EXPECT_LT(brightnessAt(32.0f, 14.0f, 25.0f), DARK);
}
