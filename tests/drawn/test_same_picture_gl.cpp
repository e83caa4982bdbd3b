// The drawing may get faster, never different: fixed scenes under sets of
// graphics keys, 320 x 180 at the window's top left (where the rasteriser's
// tiles start as in a window that size), drawn the fast way and the plain way
// (scene_gl.h), which must agree on any renderer. The frames recorded before
// the speed-ups hold what is drawn as well (the figures' limbs among it), but
// only on the renderer that recorded them: another rounds edges and texels its
// own way. Pixels on triangle edges may round either way: 0.1 % may differ.
#include "drawn_support_gl.h"
#include "fixed_scenes_gl.h"

#include <fstream>

static const std::string KEPT = HOLLOWMARK_SOURCE_DIR "/tests/drawn/same_picture/";
static bool keptHere = false; // this renderer recorded the kept frames (renderer.txt)

static int differing(const Frame& frame, const std::vector<unsigned char>& other) {
    int count = 0;
    for (size_t i = 0; i < other.size(); i += 3)
        count += std::memcmp(&frame.rgb[i], &other[i], 3) != 0;
    return count;
}

// Keys, a bit each: textures 32, light 16, fog 8, water 4, mipmaps 2, merged
// faces 1. The atlas is made again for the mipmap key, as at start-up.
static void expectSamePicture(int keys, const std::string& name) {
    useTextures = keys & 32, useLight = keys & 16, useFog = keys & 8, useWater = keys & 4;
    optimizeGeometry = keys & 1;
    if (mipmapping != (bool)(keys & 2)) {
        GLuint old = worldTexture;
        mipmapping = keys & 2, glDeleteTextures(1, &old), setupWorldTexture();
    }
    const Frame frame = shot("same_picture_" + name, true, 320, 180);
    plainSceneDrawing = true;
    const Frame plain = shot("same_picture_plain_" + name, true, 320, 180);
    plainSceneDrawing = false;
    EXPECT_LE(differing(frame, plain.rgb), 320 * 180 / 1000) << name << " drawn plainly";
    std::vector<unsigned char> kept;
    unsigned w = 0, h = 0;
    if (keptHere) {
        lodepng::decode(kept, w, h, KEPT + name + ".png", LCT_RGB);
        ASSERT_EQ(kept.size(), frame.rgb.size()) << name;
        EXPECT_LE(differing(frame, kept), 320 * 180 / 1000) << name << " as recorded";
    }
}

static void screenSize(int w, int h) { // the cameras keep to the picture's shape
    screenWidth = (float)w, screenHeight = (float)h, aspectRatio = screenWidth / screenHeight;
    glViewport(0, HEIGHT - h, w, h);
}

// Calm: the start, then turned round over the water and the far ground. Busy:
// the crowd with the rope out, then turned aside with balls 2.5 ahead, their
// centres just outside the four sides of the view.
TEST(SamePicture, FixedScenesAsTheyWereDrawn) {
    std::string recorded, here = (const char*)glGetString(GL_RENDERER);
    std::getline(std::ifstream(KEPT + "renderer.txt"), recorded);
    if (!(keptHere = recorded == here))
        std::printf("SamePicture: the kept frames are from \"%s\", this is \"%s\": only the "
                    "plain drawing is compared\n",
                    recorded.c_str(), here.c_str());
    screenSize(320, 180);
    emptyWorld(); // then as at a fresh start: the arms reach for the pointer, keys off
    mouseX = mouseY = 0, viewRange = 6;
    mipmapping = tintFigures = plainLabels = optimizeGeometry = false;
    fixed_scenes::startGame();
    const CameraPose start = viewCamera;
    expectSamePicture(63, "calm_shipped"), expectSamePicture(0, "calm_alloff");
    for (int turn = 1; turn <= 2; turn++)
        viewCamera.yaw = start.yaw + 2.0f * turn,
        expectSamePicture(63, "calm_turned" + std::to_string(turn));
    viewCamera = start;
    fixed_scenes::addCrowd();
    player.swinging = true;
    player.ropeAnchor = {player.position.x + 6, player.position.y + 8, player.position.z - 9};
    const char* sets[8] = {"shipped", "notextures", "nolight", "nofog",
                           "nowater", "nomipmaps",  "nomerge", "alloff"};
    for (int k = 0; k < 8; k++) // all on, each off in turn, all off
        expectSamePicture(k == 7 ? 0 : 63 ^ 64 >> k, std::string("busy_") + sets[k]);
    viewCamera.yaw = start.yaw + 0.6f, viewCamera.pitch = start.pitch - 0.3f;
    const float half[2] = {std::tan(25.0f * 0.01745329f) * 16 / 9, std::tan(25.0f * 0.01745329f)};
    for (int k = 0; k < 24; k++) { // along each side of the view
        const float along = -0.8f + 0.32f * (float)(k / 4);
        float ab[2] = {along * half[0], along * half[1]};
        ab[k % 4 / 2] = (k % 2 ? 1 : -1) * (half[k % 4 / 2] + 0.04f);
        balls[ballCount - 1 - k].position = fixed_scenes::ahead(2.5f, ab[0], ab[1]);
    }
    expectSamePicture(63, "busy_turned");
    fixed_scenes::removeCrowd();
    player.swinging = false;
    screenSize(WIDTH, HEIGHT);
}
