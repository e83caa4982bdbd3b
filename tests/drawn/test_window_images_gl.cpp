// Image files on their way to GL.
#include <SDL/SDL.h>

#include "drawn_support_gl.h"
#include "render/image_file_sdl.h"
#include "tests/regression_files.h"

using namespace drawn;

// The world texture reaches GL with the file's pixels, repeating, with
// mipmaps only when asked.
TEST(Textures, WorldTextureArrivesWithItsPixels) {
    unsigned char* file = nullptr;
    unsigned w = 0, h = 0;
    ASSERT_EQ(lodepng_decode32_file(&file, &w, &h, "Media/worldtexture.png"), 0u);
    for (bool mip : {false, true}) {
        mipmapping = mip;
        glBindTexture(GL_TEXTURE_2D, loadWorldTexture());
        GLint wrap = 0, minFilter = 0, width1 = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &width1);
        EXPECT_EQ(wrap, GL_REPEAT);
        EXPECT_EQ(minFilter, mip ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
        EXPECT_EQ(width1 > 0, mip);
        std::vector<unsigned char> got(4 * w * h);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, got.data());
        EXPECT_TRUE(std::equal(got.begin(), got.end(), file)) << "mipmaps " << mip;
    }
    mipmapping = false;
    free(file);
}

// The image files the fuzzers found, kept in tests/fuzz_regressions/images:
// each is refused with a one-line reason, or within the limits and reaches
// the UI canvas.
TEST(Textures, KeptRegressionFilesAreRefusedOrReachTheCanvas) {
    const std::string folder =
        std::string(HOLLOWMARK_SOURCE_DIR) + "/tests/fuzz_regressions/images/";
    const std::vector<std::string> names = listRegressionFiles(folder);
    ASSERT_GE(names.size(), 5u);
    for (const std::string& name : names) {
        const char* why = "";
        SDL_Surface* image = readPngFile((folder + name).c_str(), &why);
        SDL_Surface* canvas = image ? makeAtlasCanvas(image, 1024, 256, &why) : nullptr;
        EXPECT_TRUE(image == nullptr ||
                    (image->w <= MAX_IMAGE_SIDE && image->h <= MAX_IMAGE_SIDE && canvas))
            << name;
        EXPECT_TRUE(canvas || (why && why[0] && !std::strchr(why, '\n'))) << name;
        SDL_FreeSurface(canvas);
        SDL_FreeSurface(image);
    }
}
