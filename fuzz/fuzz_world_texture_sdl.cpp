// fuzz_world_texture_sdl.cpp: libFuzzer target for the world texture's way
// from file bytes to the surface whose rows are handed to GL.
#include "fuzz/fuzz_image_sdl.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    SDL_Surface* image = decodeFuzzInput(data, size);
    if (image != nullptr) {
        require(image->w >= 1 && image->w <= MAX_IMAGE_SIDE, "width within the limit");
        require(image->h >= 1 && image->h <= MAX_IMAGE_SIDE, "height within the limit");
        readEveryPixel(image);
    }
    return 0;
}
