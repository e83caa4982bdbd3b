// The drawing may get faster, never different. Fixed scenes (the start of a
// world from a fixed seed, and the same with a crowd and the rope out), drawn
// under several sets of graphics keys into 320 x 180 of the window, are held
// against frames kept in tests/drawn/same_picture/. Only pixels along triangle
// edges, where an equally valid rounding puts an edge on the other side of a
// pixel centre, may differ: at most 0.1 % of the frame. The kept frames were
// drawn by the renderer as it was before the drawing was made faster (the
// commit that closed the seams in the ground), at a window of their size.
#include "drawn_support_gl.h"
#include "fixed_scenes_gl.h"

using namespace drawn;

// Keys: textures, light, fog, water, mipmaps, merged faces. The atlas is loaded
// again for the mipmap key and the meshes built again, as at start-up.
static void expectSamePicture(const char* keys, const std::string& name) {
    useTextures = keys[0] == '1', useLight = keys[1] == '1', useFog = keys[2] == '1';
    useWater = keys[3] == '1', optimizeGeometry = keys[5] == '1';
    if (mipmapping != (keys[4] == '1')) {
        GLuint old = worldTexture;
        mipmapping = keys[4] == '1', glDeleteTextures(1, &old), setupWorldTexture();
    }
    markAllChunksDirty(), rebuildDirtyChunks();
    const int w = (int)screenWidth, h = (int)screenHeight;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT), renderScene();
    const Frame frame = readFrame("same_picture_" + name, w, h, HEIGHT - h);
    const std::string path = HOLLOWMARK_SOURCE_DIR "/tests/drawn/same_picture/" + name + ".png";
    unsigned char* kept = nullptr;
    unsigned width = 0, height = 0;
    ASSERT_EQ(0u, lodepng_decode24_file(&kept, &width, &height, path.c_str())) << path;
    ASSERT_TRUE(width == (unsigned)w && height == (unsigned)h) << path;
    int differing = 0;
    for (size_t i = 0; i < frame.rgb.size(); i += 3)
        differing += std::memcmp(&frame.rgb[i], &kept[i], 3) != 0;
    std::free(kept);
    EXPECT_LE(differing, w * h / 1000) << name;
}

// The game's cameras keep to the screen's shape. The picture takes the window's
// top left corner, where the rasteriser's tiles start as in a window its size.
static void screenSize(int w, int h) {
    screenWidth = (float)w, screenHeight = (float)h, aspectRatio = screenWidth / screenHeight;
    glViewport(0, HEIGHT - h, w, h);
}

// Calm: shipped keys and all off, then turned round over the water and the far
// ground. Busy: the crowd with the rope out to a point above and ahead, under
// each key set, then turned aside with balls stranded 2.5 ahead, their centres
// 0.1 outside the four sides of the view.
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
    const char* sets[8][2] = {{"111111", "shipped"}, {"011111", "notextures"},
                              {"101111", "nolight"}, {"110111", "nofog"},
                              {"111011", "nowater"}, {"111101", "nomipmaps"},
                              {"111110", "nomerge"}, {"000000", "alloff"}};
    for (const auto& set : sets)
        expectSamePicture(set[0], std::string("busy_") + set[1]);
    viewCamera.yaw = start.yaw + 0.6f, viewCamera.pitch = start.pitch - 0.3f;
    float m[16];
    cameraModelviewMatrix(m, viewCamera);
    const float halfHeight = std::tan(25.0f * 0.01745329f), halfWidth = halfHeight * 16 / 9;
    for (int k = 0; k < 24; k++) {
        const int side = k % 4;
        float a = (-0.8f + 0.32f * (float)(k / 4)) * halfWidth;
        float b = (-0.8f + 0.32f * (float)(k / 4)) * halfHeight;
        (side < 2 ? a : b) = (side % 2 ? 1 : -1) * ((side < 2 ? halfWidth : halfHeight) + 0.04f);
        Vector3& p = balls[ballCount - 1 - k].position;
        p = viewCamera.position;
        p.x += 2.5f * (-m[2] + a * m[0] + b * m[1]);
        p.y += 2.5f * (-m[6] + a * m[4] + b * m[5]);
        p.z += 2.5f * (-m[10] + a * m[8] + b * m[9]);
    }
    expectSamePicture("111111", "busy_turned");
    fixed_scenes::removeCrowd();
    player.swinging = false;
    screenSize(WIDTH, HEIGHT);
}
