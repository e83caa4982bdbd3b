// The drawing may get faster, never different: fixed scenes drawn under sets
// of graphics keys into 320 x 180 of the window, against frames the renderer
// drew before it was made faster (tests/drawn/same_picture/). Only pixels on
// triangle edges, which an equally valid rounding puts on the other side of a
// pixel centre, may differ: at most 0.1 % of them.
#include "drawn_support_gl.h"
#include "fixed_scenes_gl.h"

using namespace drawn;

// Keys: textures, light, fog, water, mipmaps, merged faces; the atlas and the
// meshes made again, as at start-up.
static void expectSamePicture(const std::string& keys, const std::string& name) {
    useTextures = keys[0] == '1', useLight = keys[1] == '1', useFog = keys[2] == '1';
    useWater = keys[3] == '1', optimizeGeometry = keys[5] == '1';
    if (mipmapping != (keys[4] == '1')) {
        GLuint old = worldTexture;
        mipmapping = keys[4] == '1', glDeleteTextures(1, &old), setupWorldTexture();
    }
    const Frame frame = shot("same_picture_" + name, true, 320, 180);
    const std::string path = HOLLOWMARK_SOURCE_DIR "/tests/drawn/same_picture/" + name + ".png";
    std::vector<unsigned char> kept;
    unsigned w = 0, h = 0;
    ASSERT_EQ(0u, lodepng::decode(kept, w, h, path, LCT_RGB)) << path;
    ASSERT_TRUE(w == 320 && h == 180) << path;
    int differing = 0;
    for (size_t i = 0; i < kept.size(); i += 3)
        differing += std::memcmp(&frame.rgb[i], &kept[i], 3) != 0;
    EXPECT_LE(differing, 320 * 180 / 1000) << name;
}

// The picture takes the window's top left corner, where the rasteriser's tiles
// start as in a window its size; the cameras keep to its shape.
static void screenSize(int w, int h) {
    screenWidth = (float)w, screenHeight = (float)h, aspectRatio = screenWidth / screenHeight;
    glViewport(0, HEIGHT - h, w, h);
}

// Calm: the start, then turned round over the water and the far ground. Busy:
// the crowd with the rope out, then turned aside with balls stranded 2.5
// ahead, their centres just outside the four sides of the view.
TEST(SamePicture, FixedScenesAsTheyWereDrawn) {
    screenSize(320, 180);
    emptyWorld(); // then as at a fresh start: the arms reach for the pointer, keys off
    mouseX = mouseY = 0, viewRange = 6;
    mipmapping = tintFigures = plainLabels = optimizeGeometry = false;
    fixed_scenes::startGame();
    const CameraPose start = viewCamera;
    expectSamePicture("111111", "calm_shipped");
    expectSamePicture("000000", "calm_alloff");
    for (int turn = 1; turn <= 2; turn++) {
        viewCamera.yaw = start.yaw + 2.0f * (float)turn;
        expectSamePicture("111111", "calm_turned" + std::to_string(turn));
    }
    viewCamera = start;
    fixed_scenes::addCrowd();
    player.swinging = true;
    player.ropeAnchor = {player.position.x + 6, player.position.y + 8, player.position.z - 9};
    expectSamePicture("111111", "busy_shipped");
    const char* off[6] = {"notextures", "nolight", "nofog", "nowater", "nomipmaps", "nomerge"};
    for (int k = 0; k < 6; k++)
        expectSamePicture(std::string("111111").replace(k, 1, "0"), std::string("busy_") + off[k]);
    expectSamePicture("000000", "busy_alloff");
    viewCamera.yaw = start.yaw + 0.6f, viewCamera.pitch = start.pitch - 0.3f;
    const float half[2] = {std::tan(25.0f * 0.01745329f) * 16 / 9, std::tan(25.0f * 0.01745329f)};
    for (int k = 0; k < 24; k++) { // along each side of the view, beyond it
        const float along = -0.8f + 0.32f * (float)(k / 4);
        float ab[2] = {along * half[0], along * half[1]};
        ab[k % 4 / 2] = (k % 2 ? 1 : -1) * (half[k % 4 / 2] + 0.04f);
        balls[ballCount - 1 - k].position = fixed_scenes::ahead(2.5f, ab[0], ab[1]);
    }
    expectSamePicture("111111", "busy_turned");
    fixed_scenes::removeCrowd();
    player.swinging = false;
    screenSize(WIDTH, HEIGHT);
}
