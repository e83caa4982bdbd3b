// fuzz_dashboard_sdl.cpp: libFuzzer target for the UI atlas's way from file
// bytes to the 1024 x 256 canvas that becomes the UI texture: decoding, the
// conversion to the display's format and the copy onto the canvas. SDL's
// dummy video driver stands in for the window.
#include "fuzz/png_chunks.h"
#include "render/image_file_sdl.h"
#include "render/pixel_format.h"

#include <SDL/SDL.h>

#include <cstdio>
#include <cstdlib>

static const int CANVAS_WIDTH = 1024; // pixels, as the UI atlas
static const int CANVAS_HEIGHT = 256;

static void require(bool holds, const char* rule) {
    if (!holds) {
        fprintf(stderr, "atlas rule broken: %s\n", rule);
        abort();
    }
}

static volatile unsigned sink = 0;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) != 0 || SDL_SetVideoMode(64, 64, 32, 0) == nullptr) {
        fprintf(stderr, "fuzz_dashboard: no dummy video: %s\n", SDL_GetError());
        abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    // Odd inputs go in as they are; even ones with their checksums mended.
    std::vector<unsigned char> mended;
    if (size > 0 && data[size - 1] % 2 == 0) {
        mended = withChunkChecksums(data, size);
        data = mended.data();
    }
    const char* why = nullptr;
    SDL_Surface* image = readPngImage(data, size, &why);
    if (image == nullptr) {
        require(why != nullptr && why[0] != '\0', "a refusal gives a reason");
        return 0;
    }
    SDL_Surface* canvas = makeAtlasCanvas(image, CANVAS_WIDTH, CANVAS_HEIGHT, &why);
    SDL_FreeSurface(image);
    require(canvas != nullptr, "a decoded image always fits on the canvas");
    require(canvas->w == CANVAS_WIDTH && canvas->h == CANVAS_HEIGHT, "the canvas keeps its size");
    require(canvas->format->BytesPerPixel == 4, "the canvas has an alpha channel");
    require(choosePixelFormat(4, canvas->format->Rmask) != PixelUnsupported,
            "the upload takes the canvas as it is");
    unsigned sum = 0;
    for (int y = 0; y < canvas->h; y++) {
        const unsigned char* row = (const unsigned char*)canvas->pixels + y * canvas->pitch;
        for (int i = 0; i < canvas->w * 4; i++) {
            sum += row[i];
        }
    }
    sink = sink + sum;
    SDL_FreeSurface(canvas);
    return 0;
}
