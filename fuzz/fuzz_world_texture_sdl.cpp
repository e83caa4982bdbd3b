// fuzz_world_texture_sdl.cpp: file bytes to the world texture's surface.
#include "fuzz/fuzz_image_sdl.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    if (SDL_Surface* image = decodeFuzzInput(data, size)) {
        require(image->w >= 1 && image->w <= MAX_IMAGE_SIDE && image->h >= 1 && image->h <= MAX_IMAGE_SIDE,
                "sides within the limit");
        readEveryPixel(image);
    }
    return 0;
}
