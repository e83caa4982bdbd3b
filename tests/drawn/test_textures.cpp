// test_textures.cpp: the world and UI textures in a real GL context: the
// pixels that arrive for each kind of image, wrap and filter state, mipmaps,
// and the missing-file case.
#include "app/settings.h"
#include "render/textures.h"
#include "world/new_game.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>
#include <lodepng.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const int W = 6, H = 4; // not powers of two, and a row of 18 RGB bytes needs padding

// Colour of pixel (x, y): distinct in every channel, top row first.
unsigned char channel(int x, int y, int c) {
    return (unsigned char)(40 * x + 7 * y + 60 * c + 3);
}

// Each run works in a fresh folder of its own, removed afterwards.
class Textures : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
        ASSERT_NE(SDL_SetVideoMode(64, 64, 0, SDL_OPENGL), nullptr) << SDL_GetError();
        ASSERT_NE(mkdtemp(folder), nullptr);
        ASSERT_EQ(chdir(folder), 0);
        mkdir("Media", 0755);
    }
    static void TearDownTestSuite() {
        SDL_Quit();
        remove("Media/worldtexture.png");
        rmdir("Media");
        if (chdir("/") == 0)
            rmdir(folder);
    }
    static char folder[];
    void SetUp() override { mipmapping = false; }
};

char Textures::folder[] = "/tmp/hollowmark-textures-XXXXXX";

std::vector<unsigned char> texturePixels(unsigned int name, int level, int& w, int& h) {
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
    std::vector<unsigned char> out(4 * (size_t)(w > 0 ? w : 1) * (h > 0 ? h : 1));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (w > 0 && h > 0)
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
    return out;
}

void expectPattern(unsigned int name, bool hasAlpha) {
    ASSERT_NE(name, 0u);
    int w = 0, h = 0;
    std::vector<unsigned char> px = texturePixels(name, 0, w, h);
    ASSERT_EQ(w, W);
    ASSERT_EQ(h, H);
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++) {
            const unsigned char* p = &px[4 * (y * W + x)];
            for (int c = 0; c < 3; c++)
                ASSERT_EQ(p[c], channel(x, y, c)) << "pixel " << x << "," << y << " channel " << c;
            ASSERT_EQ(p[3], hasAlpha ? channel(x, y, 3) : 255);
        }
    GLint wrapS = 0, wrapT = 0, minFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(wrapS, GL_REPEAT);
    EXPECT_EQ(wrapT, GL_REPEAT);
    EXPECT_EQ(minFilter, GL_LINEAR);
}

void writePng(int colours) {
    std::vector<unsigned char> raw;
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++)
            for (int c = 0; c < colours; c++)
                raw.push_back(channel(x, y, c));
    LodePNGColorType type = colours == 4 ? LCT_RGBA : LCT_RGB;
    ASSERT_EQ(lodepng_encode_file("Media/worldtexture.png", raw.data(), W, H, type, 8), 0u);
}

TEST_F(Textures, TrueColourImagesArriveUnchanged) {
    writePng(3); // red in the lowest byte: GL_RGB
    expectPattern(loadWorldTexture(), false);
    writePng(4); // GL_RGBA
    expectPattern(loadWorldTexture(), true);

    // A 24-bit BMP (the loader goes by content, not name) has red in the
    // highest byte: GL_BGR.
    SDL_Surface* bmp =
        SDL_CreateRGBSurface(SDL_SWSURFACE, W, H, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    ASSERT_NE(bmp, nullptr);
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++) {
            Uint32 v =
                SDL_MapRGB(bmp->format, channel(x, y, 0), channel(x, y, 1), channel(x, y, 2));
            unsigned char* p = (unsigned char*)bmp->pixels + y * bmp->pitch + 3 * x;
            p[0] = v & 0xFF, p[1] = (v >> 8) & 0xFF, p[2] = (v >> 16) & 0xFF;
        }
    ASSERT_EQ(SDL_SaveBMP(bmp, "Media/worldtexture.png"), 0);
    SDL_FreeSurface(bmp);
    expectPattern(loadWorldTexture(), false);
}

TEST_F(Textures, UiSurfaceWithRedInTheHighByte) {
    // 32-bit with red in the third byte: GL_BGRA; the surface stays the caller's.
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, W, H, 32, 0x00FF0000, 0x0000FF00,
                                          0x000000FF, 0xFF000000);
    ASSERT_NE(s, nullptr);
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++)
            ((Uint32*)((unsigned char*)s->pixels + y * s->pitch))[x] = SDL_MapRGBA(
                s->format, channel(x, y, 0), channel(x, y, 1), channel(x, y, 2), channel(x, y, 3));
    mipmapping = true; // the UI texture never has mipmaps
    unsigned int name = createUiTexture(s);
    expectPattern(name, true);
    EXPECT_EQ(s->w, W); // still valid
    SDL_FreeSurface(s);
}

TEST_F(Textures, PalettedAndGreyImagesAreConverted) {
    // Grey: every channel equals the grey level.
    std::vector<unsigned char> grey;
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++)
            grey.push_back(channel(x, y, 0));
    ASSERT_EQ(lodepng_encode_file("Media/worldtexture.png", grey.data(), W, H, LCT_GREY, 8), 0u);
    unsigned int name = loadWorldTexture();
    ASSERT_NE(name, 0u);
    int w = 0, h = 0;
    std::vector<unsigned char> px = texturePixels(name, 0, w, h);
    ASSERT_EQ(w, W);
    for (int i = 0; i < W * H; i++)
        for (int c = 0; c < 3; c++)
            ASSERT_EQ(px[4 * i + c], grey[i]) << "pixel " << i;

    // Paletted: four colours in a 2-bit palette.
    const unsigned char palette[4][4] = {
        {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {10, 20, 30, 255}};
    lodepng::State state;
    state.encoder.auto_convert = 0;
    state.info_png.color.colortype = LCT_PALETTE;
    state.info_png.color.bitdepth = 8;
    state.info_raw.colortype = LCT_PALETTE;
    state.info_raw.bitdepth = 8;
    for (const auto& c : palette) {
        lodepng_palette_add(&state.info_png.color, c[0], c[1], c[2], c[3]);
        lodepng_palette_add(&state.info_raw, c[0], c[1], c[2], c[3]);
    }
    std::vector<unsigned char> indices;
    for (int i = 0; i < W * H; i++)
        indices.push_back((unsigned char)(i % 4));
    std::vector<unsigned char> png;
    ASSERT_EQ(lodepng::encode(png, indices, W, H, state), 0u);
    ASSERT_EQ(lodepng::save_file(png, "Media/worldtexture.png"), 0u);
    name = loadWorldTexture();
    ASSERT_NE(name, 0u);
    px = texturePixels(name, 0, w, h);
    ASSERT_EQ(w, W);
    for (int i = 0; i < W * H; i++)
        for (int c = 0; c < 3; c++)
            ASSERT_EQ(px[4 * i + c], palette[i % 4][c]) << "pixel " << i;
}

TEST_F(Textures, MipmapsOnlyWhenAsked) {
    writePng(3);
    mipmapping = false;
    unsigned int plain = loadWorldTexture();
    int w = 0, h = 0;
    texturePixels(plain, 1, w, h);
    EXPECT_EQ(w, 0); // no level 1

    mipmapping = true;
    unsigned int mipped = loadWorldTexture(); // 6 x 4: rescaled while the chain is built
    ASSERT_NE(mipped, 0u);
    GLint minFilter = 0, magFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(magFilter, GL_LINEAR);
    texturePixels(mipped, 0, w, h);
    EXPECT_GT(w, 0);
    int w1 = 0, h1 = 0;
    texturePixels(mipped, 1, w1, h1);
    EXPECT_GT(w1, 0);
    EXPECT_LT(w1, w);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

TEST_F(Textures, MissingFileGivesNameZeroAndOneWarning) {
    remove("Media/worldtexture.png");
    fflush(stderr);
    char log[] = "/tmp/hollowmark-stderr-XXXXXX";
    int fd = mkstemp(log);
    ASSERT_GE(fd, 0);
    int saved = dup(2);
    dup2(fd, 2);
    unsigned int name = loadWorldTexture();
    fflush(stderr);
    dup2(saved, 2);
    close(saved);
    EXPECT_EQ(name, 0u);
    FILE* f = fopen(log, "r");
    ASSERT_NE(f, nullptr);
    std::string text;
    char buf[512];
    while (fgets(buf, sizeof buf, f))
        text += buf;
    fclose(f);
    close(fd);
    remove(log);
    EXPECT_NE(text.find("Media/worldtexture.png"), std::string::npos) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;

    // The new-game setup still completes and fills the tables.
    useWater = false;
    srand(1);
    newGame();
    EXPECT_EQ(worldTexture, 0u);
    EXPECT_EQ(terrainTile[0], 0.8125f);
}

} // namespace
