// test_textures_gl.cpp: the world and UI textures in a real GL context: the
// pixels that arrive for each kind of image, wrap and filter state, mipmaps,
// and the missing-file case.
#include "app/settings.h"
#include "render/textures_gl.h"
#include "world/new_game.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>
#include <lodepng.h>

#include <algorithm>
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

// What a call writes to stderr.
template <typename Call> std::string stderrOf(Call call) {
    fflush(stderr);
    char log[] = "/tmp/hollowmark-stderr-XXXXXX";
    int fd = mkstemp(log);
    EXPECT_GE(fd, 0);
    int saved = dup(2);
    dup2(fd, 2);
    call();
    fflush(stderr);
    dup2(saved, 2);
    close(saved);
    std::string text;
    FILE* f = fopen(log, "r");
    char buf[512];
    while (f != nullptr && fgets(buf, sizeof buf, f))
        text += buf;
    if (f != nullptr)
        fclose(f);
    close(fd);
    remove(log);
    return text;
}

void writeBytes(const std::vector<unsigned char>& bytes) {
    FILE* f = fopen("Media/worldtexture.png", "wb");
    ASSERT_NE(f, nullptr);
    if (!bytes.empty())
        fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

std::vector<unsigned char> encodedPng(unsigned w, unsigned h, LodePNGColorType type,
                                      unsigned depth) {
    size_t channels = type == LCT_RGBA ? 4 : type == LCT_RGB ? 3 : type == LCT_GREY_ALPHA ? 2 : 1;
    std::vector<unsigned char> raw((size_t)w * h * channels * (depth / 8), 0);
    for (size_t i = 0; i < raw.size(); i++)
        raw[i] = (unsigned char)(i * 37 + 11);
    std::vector<unsigned char> png;
    EXPECT_EQ(lodepng::encode(png, raw, w, h, type, depth), 0u);
    return png;
}

// Every file a user's disk can hold in place of the atlas: the game goes on
// untextured (name 0) with one line on stderr naming the file, or loads it.
TEST_F(Textures, HostileWorldTexturesGiveNameZeroAndOneLine) {
    std::vector<unsigned char> good = encodedPng(W, H, LCT_RGB, 8);
    // A PNG header claiming 100000 x 100000 pixels followed by nothing.
    std::vector<unsigned char> enormous(good.begin(), good.begin() + 33);
    enormous[16] = 0, enormous[17] = 1, enormous[18] = 0x86, enormous[19] = 0xA0;
    enormous[20] = 0, enormous[21] = 1, enormous[22] = 0x86, enormous[23] = 0xA0;
    const struct {
        const char* what;
        std::vector<unsigned char> bytes;
    } cases[] = {
        {"an empty file", {}},
        {"text", {'h', 'e', 'l', 'l', 'o', '\n'}},
        {"a PNG cut inside its header",
         std::vector<unsigned char>(good.begin(), good.begin() + 20)},
        {"a PNG cut in its pixel data",
         std::vector<unsigned char>(good.begin(), good.begin() + good.size() / 2)},
        {"a header claiming 100000 x 100000", enormous},
        // Real images beyond the limit, in one dimension only.
        {"a real 20000 x 1 image", encodedPng(20000, 1, LCT_RGBA, 8)},
        {"a real 4097 x 2 image", encodedPng(4097, 2, LCT_RGB, 8)},
    };
    for (const auto& c : cases) {
        writeBytes(c.bytes);
        unsigned int name = 1;
        std::string text = stderrOf([&] { name = loadWorldTexture(); });
        EXPECT_EQ(name, 0u) << c.what;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << c.what << ": " << text;
        EXPECT_NE(text.find("Media/worldtexture.png"), std::string::npos) << c.what << ": " << text;
    }
    // A BMP under the PNG name is not read: only PNG files are accepted.
    SDL_Surface* bmp =
        SDL_CreateRGBSurface(SDL_SWSURFACE, W, H, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    ASSERT_NE(bmp, nullptr);
    ASSERT_EQ(SDL_SaveBMP(bmp, "Media/worldtexture.png"), 0);
    SDL_FreeSurface(bmp);
    unsigned int name = 1;
    std::string text = stderrOf([&] { name = loadWorldTexture(); });
    EXPECT_EQ(name, 0u);
    EXPECT_NE(text.find("not a PNG image"), std::string::npos) << text;
}

TEST_F(Textures, SixteenBitTinyAndWidestImagesLoad) {
    const struct {
        const char* what;
        unsigned w, h;
        LodePNGColorType type;
        unsigned depth;
    } cases[] = {
        {"16-bit RGB", W, H, LCT_RGB, 16},
        {"16-bit RGBA", W, H, LCT_RGBA, 16},
        {"16-bit grey", W, H, LCT_GREY, 16},
        {"grey with alpha", W, H, LCT_GREY_ALPHA, 8},
        {"1 x 1", 1, 1, LCT_RGB, 8},
        {"4096 x 2, the widest accepted", 4096, 2, LCT_RGBA, 8},
    };
    for (bool mip : {false, true}) {
        mipmapping = mip;
        for (const auto& c : cases) {
            writeBytes(encodedPng(c.w, c.h, c.type, c.depth));
            unsigned int name = 0;
            std::string text = stderrOf([&] { name = loadWorldTexture(); });
            ASSERT_NE(name, 0u) << c.what << ": " << text;
            EXPECT_EQ(text, "") << c.what;
            int w = 0, h = 0;
            texturePixels(name, 0, w, h);
            EXPECT_GT(w, 0) << c.what;
            if (!mip) {
                EXPECT_EQ(w, (int)c.w) << c.what;
                EXPECT_EQ(h, (int)c.h) << c.what;
            }
            EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR) << c.what;
        }
    }
    // 16-bit channels arrive as their high bytes.
    std::vector<unsigned char> raw(2 * 3, 0);
    raw[0] = 0xAB, raw[1] = 0x12, raw[2] = 0x34, raw[3] = 0xFF, raw[4] = 0x07, raw[5] = 0x00;
    std::vector<unsigned char> png;
    ASSERT_EQ(lodepng::encode(png, raw, 1, 1, LCT_RGB, 16), 0u);
    writeBytes(png);
    mipmapping = false;
    unsigned int name = loadWorldTexture();
    int w = 0, h = 0;
    std::vector<unsigned char> px = texturePixels(name, 0, w, h);
    ASSERT_EQ(w, 1);
    EXPECT_EQ(px[0], 0xAB);
    EXPECT_EQ(px[1], 0x34);
    EXPECT_EQ(px[2], 0x07);
}

} // namespace
