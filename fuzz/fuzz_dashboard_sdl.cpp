// fuzz_dashboard_sdl.cpp: file bytes to the interface atlas's canvas, under
// SDL's dummy video driver.
#include "fuzz/fuzz_image_sdl.h"
#include "ui/ui_layout.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    require(SDL_Init(SDL_INIT_VIDEO) == 0 && SDL_SetVideoMode(64, 64, 32, 0) != nullptr, "dummy video");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    SDL_Surface* image = decodeFuzzInput(data, size);
    const char* why = nullptr;
    if (image == nullptr)
        return 0;
    SDL_Surface* canvas = makeAtlasCanvas(image, UI_CANVAS_WIDTH, UI_CANVAS_HEIGHT, &why);
    SDL_FreeSurface(image);
    require(canvas != nullptr && canvas->w == UI_CANVAS_WIDTH && canvas->h == UI_CANVAS_HEIGHT &&
                canvas->format->BytesPerPixel == 4, "any decoded image fits on the 4-byte canvas");
    readEveryPixel(canvas);
    return 0;
}
