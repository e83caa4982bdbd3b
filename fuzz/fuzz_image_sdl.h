// fuzz_image_sdl.h: shared by the image targets. Inputs whose last byte is
// even get their PNG chunk checksums mended first, so mutations reach the
// decoder; a refusal must say why; a decoded surface is read to its last
// byte the way the texture upload reads it, for the sanitizers to see.
#pragma once

#include "render/image_file_sdl.h"
#include "render/pixel_format.h"

#include <SDL/SDL.h>

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
        const size_t length = (size_t)bytes[at] << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 | bytes[at + 3];
        if (length > size - at - 12)
            break;
        uint32_t crc = 0xFFFFFFFFu;
        for (size_t i = at + 4; i < at + 8 + length; i++) {
            crc ^= bytes[i];
            for (int k = 0; k < 8; k++)
                crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
        for (int b = 0; b < 4; b++)
            bytes[at + 8 + length + b] = (unsigned char)(~crc >> (24 - 8 * b));
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
