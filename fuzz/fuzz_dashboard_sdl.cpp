// fuzz_dashboard_sdl.cpp: libFuzzer target for the interface atlas's way from
// file bytes to the 1024 x 256 canvas that becomes its texture: decoding, the
// conversion to the display's format and the copy onto the canvas. SDL's
// dummy video driver stands in for the window.
#include "fuzz/fuzz_image_sdl.h"
#include "ui/ui_layout.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) != 0 || SDL_SetVideoMode(64, 64, 32, 0) == nullptr) {
        fprintf(stderr, "fuzz_dashboard: no dummy video: %s\n", SDL_GetError());
        abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    SDL_Surface* image = decodeFuzzInput(data, size);
    if (image == nullptr)
        return 0;
    const char* why = nullptr;
    SDL_Surface* canvas = makeAtlasCanvas(image, UI_CANVAS_WIDTH, UI_CANVAS_HEIGHT, &why);
    SDL_FreeSurface(image);
    require(canvas != nullptr, "a decoded image always fits on the canvas");
    require(canvas->w == UI_CANVAS_WIDTH && canvas->h == UI_CANVAS_HEIGHT, "the canvas keeps its size");
    require(canvas->format->BytesPerPixel == 4, "the canvas has an alpha channel");
    readEveryPixel(canvas);
    return 0;
}
