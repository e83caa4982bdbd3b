// fuzz_image_sdl.h: shared by the image targets. Inputs whose last byte is
// even get their PNG chunk checksums mended first, so mutations reach the
// decoder; a refusal must say why; a decoded surface is read to its last
// byte the way the texture upload reads it, for the sanitizers to see.
#pragma once

#include "render/image_file_sdl.h"
#include "render/pixel_format.h"

#include <SDL/SDL.h>
#include <lodepng.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

inline void require(bool holds, const char* rule) {
    if (!holds)
        fprintf(stderr, "image rule broken: %s\n", rule), abort();
}

inline SDL_Surface* decodeFuzzInput(const unsigned char* data, size_t size) {
    std::vector<unsigned char> bytes(data, data + size);
    for (size_t at = 8; size > 0 && data[size - 1] % 2 == 0 && at + 12 <= size;) {
        const size_t length = lodepng_chunk_length(&bytes[at]);
        if (length > size - at - 12)
            break;
        lodepng_chunk_generate_crc(&bytes[at]);
        at += 12 + length;
    }
    const char* why = nullptr;
    SDL_Surface* image = readPngImage(bytes.data(), size, &why);
    require(image != nullptr || (why != nullptr && why[0] != '\0'), "a refusal gives a reason");
    return image;
}

inline void readEveryPixel(SDL_Surface* surface) { // and frees it
    static volatile unsigned sink = 0;
    const int rowBytes = surface->w * surface->format->BytesPerPixel;
    require(choosePixelFormat(surface->format->BytesPerPixel, surface->format->Rmask) != PixelUnsupported,
            "the upload takes the pixels as they are");
    require(surface->pitch >= rowBytes, "rows hold their pixels");
    for (int y = 0; y < surface->h; y++)
        for (int i = 0; i < rowBytes; i++)
            sink = sink + ((const unsigned char*)surface->pixels)[y * surface->pitch + i];
    SDL_FreeSurface(surface);
}
