// File bytes to the world texture's surface or (FUZZ_DASHBOARD) the interface atlas's canvas.
// Inputs ending in an even byte get their chunk checksums mended, so mutations reach the decoder; a
// refusal says why; what is decoded is read to its last byte as the upload reads it, for the
// sanitizers.
#include "render/image_file_sdl.h"
#include "render/pixel_format.h"
#include "ui/ui_layout.h"

#include <SDL/SDL.h>
#include <lodepng.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

static void require(bool holds, const char* rule) {
    if (!holds)
        fprintf(stderr, "image rule broken: %s\n", rule), abort();
}

extern "C" int LLVMFuzzerInitialize(int*, char***) { // the canvas needs a video mode
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    require(SDL_Init(SDL_INIT_VIDEO) == 0 && SDL_SetVideoMode(64, 64, 32, 0) != nullptr,
            "dummy video");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    std::vector<unsigned char> bytes(data, data + size);
    for (size_t at = 8, length = 0; size > 0 && data[size - 1] % 2 == 0 && at + 12 <= size &&
                                    (length = lodepng_chunk_length(&bytes[at])) <= size - at - 12;
         at += 12 + length)
        lodepng_chunk_generate_crc(&bytes[at]);
    const char* why = nullptr;
    SDL_Surface* image = readPngImage(bytes.data(), size, &why);
    require(image != nullptr || (why != nullptr && why[0] != '\0'), "a refusal gives a reason");
    if (image == nullptr)
        return 0;
    require(image->w >= 1 && image->w <= MAX_IMAGE_SIDE && image->h >= 1 &&
                image->h <= MAX_IMAGE_SIDE,
            "sides within the limit");
#ifdef FUZZ_DASHBOARD
    SDL_Surface* canvas = makeAtlasCanvas(image, UI_CANVAS_WIDTH, UI_CANVAS_HEIGHT, &why);
    SDL_FreeSurface(image);
    require(canvas != nullptr && canvas->w == UI_CANVAS_WIDTH && canvas->h == UI_CANVAS_HEIGHT &&
                canvas->format->BytesPerPixel == 4,
            "any decoded image fits on the 4-byte canvas");
    image = canvas;
#endif
    static volatile unsigned sink = 0;
    const int rowBytes = image->w * image->format->BytesPerPixel;
    require(choosePixelFormat(image->format->BytesPerPixel, image->format->Rmask) !=
                PixelUnsupported,
            "the upload takes the pixels as they are");
    require(image->pitch >= rowBytes, "rows hold their pixels");
    for (int y = 0; y < image->h; y++)
        for (int i = 0; i < rowBytes; i++)
            sink = sink + ((const unsigned char*)image->pixels)[y * image->pitch + i];
    SDL_FreeSurface(image);
    return 0;
}
