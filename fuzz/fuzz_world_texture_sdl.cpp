// fuzz_world_texture_sdl.cpp: libFuzzer target for the world texture's way from
// file bytes to the surface whose rows are handed to GL. Every byte the
// upload would read is read here, so the sanitizers see any overrun.
#include "fuzz/png_chunks.h"
#include "render/image_file_sdl.h"
#include "render/pixel_format.h"

#include <SDL/SDL.h>

#include <cstdio>
#include <cstdlib>

static void require(bool holds, const char* rule) {
    if (!holds) {
        fprintf(stderr, "image rule broken: %s\n", rule);
        abort();
    }
}

static volatile unsigned sink = 0;

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
    require(image->w >= 1 && image->w <= MAX_IMAGE_SIDE, "width within the limit");
    require(image->h >= 1 && image->h <= MAX_IMAGE_SIDE, "height within the limit");
    int bytesPerPixel = image->format->BytesPerPixel;
    require(choosePixelFormat(bytesPerPixel, image->format->Rmask) != PixelUnsupported,
            "the upload takes the pixels as they are");
    require(image->pitch >= image->w * bytesPerPixel, "rows hold their pixels");
    unsigned sum = 0;
    for (int y = 0; y < image->h; y++) {
        const unsigned char* row = (const unsigned char*)image->pixels + y * image->pitch;
        for (int i = 0; i < image->w * bytesPerPixel; i++) {
            sum += row[i];
        }
    }
    sink = sink + sum;
    SDL_FreeSurface(image);
    return 0;
}
