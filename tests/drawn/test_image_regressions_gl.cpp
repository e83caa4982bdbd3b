// test_image_regressions_gl.cpp: image files that broke, or could have broken,
// the way from bytes to texture pixels, replayed from
// tests/fuzz_regressions/images/ (where the fuzzers' findings are kept)
// through both images' paths: the world texture's surface and the UI canvas.
#include "render/image_file_sdl.h"

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/regression_files.h"

namespace {

const std::string FOLDER = std::string(HOLLOWMARK_SOURCE_DIR) + "/tests/fuzz_regressions/images/";

class ImageRegressions : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
        // The canvas conversion needs a display format; no GL is involved.
        ASSERT_NE(SDL_SetVideoMode(64, 64, 32, 0), nullptr) << SDL_GetError();
    }
    static void TearDownTestSuite() { SDL_Quit(); }
};

std::vector<std::string> regressionFiles() { return listRegressionFiles(FOLDER); }

TEST_F(ImageRegressions, EveryKeptFileIsRefusedOrReachesTheCanvasWhole) {
    std::vector<std::string> names = regressionFiles();
    ASSERT_GE(names.size(), 5u) << "regression inputs missing from " << FOLDER;
    for (const std::string& name : names) {
        const char* why = nullptr;
        SDL_Surface* image = readPngFile((FOLDER + name).c_str(), &why);
        // A file the decoder accepts (a palette index past the palette
        // reads as black) must be within the limits and reach the canvas.
        if (image != nullptr) {
            EXPECT_LE(image->w, MAX_IMAGE_SIDE) << name;
            EXPECT_LE(image->h, MAX_IMAGE_SIDE) << name;
            EXPECT_TRUE(image->format->BytesPerPixel == 3 || image->format->BytesPerPixel == 4);
            const char* canvasWhy = nullptr;
            SDL_Surface* canvas = makeAtlasCanvas(image, 1024, 256, &canvasWhy);
            EXPECT_NE(canvas, nullptr) << name << ": " << (canvasWhy ? canvasWhy : "");
            SDL_FreeSurface(canvas);
            SDL_FreeSurface(image);
            continue;
        }
        ASSERT_NE(why, nullptr) << name;
        EXPECT_GT(strlen(why), 0u) << name;
        EXPECT_EQ(strchr(why, '\n'), nullptr) << name << ": the reason is one line";
    }
}

TEST_F(ImageRegressions, SizesAreRefusedBeforeDecoding) {
    const char* why = nullptr;
    EXPECT_EQ(readPngFile((FOLDER + "wide_20000x1_rgba.png").c_str(), &why), nullptr);
    EXPECT_STREQ(why, "the image must be 1 to 4096 pixels on each side");
    EXPECT_EQ(readPngFile((FOLDER + "claims_100000x100000.png").c_str(), &why), nullptr);
    EXPECT_STREQ(why, "the image must be 1 to 4096 pixels on each side");
    EXPECT_EQ(readPngFile((FOLDER + "zero_width.png").c_str(), &why), nullptr);
    EXPECT_STREQ(why, "the image must be 1 to 4096 pixels on each side");
    EXPECT_EQ(readPngFile("/no/such/folder/image.png", &why), nullptr);
    EXPECT_STREQ(why, "No such file or directory");
    EXPECT_EQ(readPngFile("/", &why), nullptr); // a folder
    EXPECT_STREQ(why, "not a plain file");
    EXPECT_EQ(readPngFile("/dev/zero", &why), nullptr);
    EXPECT_STREQ(why, "not a plain file");
}

TEST_F(ImageRegressions, SmallImagesReachTheCanvasWithTheirPixels) {
    // A 2 x 1 RGBA image: its two pixels land at the canvas's top-left, the
    // rest of the canvas stays transparent black.
    const unsigned char png[] = {
        0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44,
        0x52, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0xF4,
        0x22, 0x7F, 0x8A, 0x00, 0x00, 0x00, 0x0F, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0x60,
        0x08, 0x38, 0xF1, 0x1F, 0x08, 0x1A, 0x00, 0x15, 0x5B, 0x05, 0x95, 0x2D, 0x0B, 0xF6, 0x87,
        0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
    const char* why = nullptr;
    SDL_Surface* image = readPngImage(png, sizeof png, &why);
    ASSERT_NE(image, nullptr) << why;
    SDL_Surface* canvas = makeAtlasCanvas(image, 1024, 256, &why);
    SDL_FreeSurface(image);
    ASSERT_NE(canvas, nullptr) << why;
    ASSERT_EQ(canvas->w, 1024);
    ASSERT_EQ(canvas->format->BytesPerPixel, 4);
    Uint8 r = 0, g = 0, b = 0, a = 0;
    const Uint32* row = (const Uint32*)canvas->pixels;
    SDL_GetRGBA(row[0], canvas->format, &r, &g, &b, &a);
    EXPECT_EQ(r, 0x00);
    EXPECT_EQ(g, 0x50);
    EXPECT_EQ(b, 0xC8);
    EXPECT_EQ(a, 0xFF);
    SDL_GetRGBA(row[1], canvas->format, &r, &g, &b, &a);
    EXPECT_EQ(r, 0xFF);
    EXPECT_EQ(g, 0xFF);
    EXPECT_EQ(b, 0xFF);
    EXPECT_EQ(a, 0x80);
    SDL_GetRGBA(row[2], canvas->format, &r, &g, &b, &a);
    EXPECT_EQ(a, 0x00);
    SDL_FreeSurface(canvas);
}

} // namespace
