// fuzz_image_sdl.h: what both image targets share: the input decoded the way
// the game reads its images, the rule a refusal keeps, and a surface read to
// its last byte the way the texture upload would, so the sanitizers see any
// overrun. Odd inputs go in as they are; even ones with their PNG chunk
// checksums mended, so that mutations reach the decoder instead of stopping
// at the first checksum test.
#pragma once

#include "render/image_file_sdl.h"
#include "render/pixel_format.h"

#include <SDL/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

inline void require(bool holds, const char* rule) {
    if (!holds) {
        fprintf(stderr, "image rule broken: %s\n", rule);
        abort();
    }
}

inline uint32_t pngCrc(const unsigned char* p, size_t n) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; i++) {
        crc ^= p[i];
        for (int k = 0; k < 8; k++)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

// The decoded image, or null after checking that the refusal says why.
inline SDL_Surface* decodeFuzzInput(const unsigned char* data, size_t size) {
    std::vector<unsigned char> bytes(data, data + size);
    for (size_t at = 8; size > 0 && data[size - 1] % 2 == 0 && at + 12 <= size;) {
        const size_t length = (size_t)bytes[at] << 24 | (size_t)bytes[at + 1] << 16 |
                              (size_t)bytes[at + 2] << 8 | bytes[at + 3];
        if (length > size - at - 12)
            break;
        const uint32_t crc = pngCrc(&bytes[at + 4], length + 4);
        for (int b = 0; b < 4; b++)
            bytes[at + 8 + length + b] = (unsigned char)(crc >> (24 - 8 * b));
        at += 12 + length;
    }
    const char* why = nullptr;
    SDL_Surface* image = readPngImage(bytes.data(), size, &why);
    if (image == nullptr)
        require(why != nullptr && why[0] != '\0', "a refusal gives a reason");
    return image;
}

// Checks that the upload takes the pixels as they are and reads every byte
// of every row; frees the surface.
inline void readEveryPixel(SDL_Surface* surface) {
    static volatile unsigned sink = 0;
    const int bytesPerPixel = surface->format->BytesPerPixel;
    require(choosePixelFormat(bytesPerPixel, surface->format->Rmask) != PixelUnsupported,
            "the upload takes the pixels as they are");
    require(surface->pitch >= surface->w * bytesPerPixel, "rows hold their pixels");
    unsigned sum = 0;
    for (int y = 0; y < surface->h; y++) {
        const unsigned char* row = (const unsigned char*)surface->pixels + y * surface->pitch;
        for (int i = 0; i < surface->w * bytesPerPixel; i++)
            sum += row[i];
    }
    sink = sink + sum;
    SDL_FreeSurface(surface);
}
