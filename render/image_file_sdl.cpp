// image_file_sdl.cpp: the checks and conversions between a PNG file on disk and
// a surface the texture upload can read row by row.
//
// Everything a user's disk can hold arrives here: empty, truncated or foreign
// files, grey, paletted and 16-bit images, and headers claiming sizes no
// surface could hold. Only decoded images of a sane size get past.
#include "render/image_file_sdl.h"

#include <SDL/SDL.h>
#include <lodepng.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// The fixed start of every PNG file, and where its header chunk keeps the
// image size (two big-endian 32-bit numbers after the chunk's length and name).
static const unsigned char PNG_SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
static const size_t PNG_HEADER_BYTES = 24;
static const size_t PNG_WIDTH_OFFSET = 16;
static const size_t PNG_HEIGHT_OFFSET = 20;

static_assert(MAX_IMAGE_SIDE == 4096, "the refusal below names the limit");
static const char* const SIZE_REFUSAL = "the image must be 1 to 4096 pixels on each side";

// Bytes R, G, B(, A) in memory order, whatever the machine's byte order.
#if SDL_BYTEORDER == SDL_BIG_ENDIAN
static const Uint32 RGBA_MASKS[4] = {0xFF000000u, 0x00FF0000u, 0x0000FF00u, 0x000000FFu};
static const Uint32 RGB_MASKS[3] = {0xFF0000u, 0x00FF00u, 0x0000FFu};
#else
static const Uint32 RGBA_MASKS[4] = {0x000000FFu, 0x0000FF00u, 0x00FF0000u, 0xFF000000u};
static const Uint32 RGB_MASKS[3] = {0x0000FFu, 0x00FF00u, 0xFF0000u};
#endif

static unsigned bigEndian32(const unsigned char* p) {
    return ((unsigned)p[0] << 24) | ((unsigned)p[1] << 16) | ((unsigned)p[2] << 8) | (unsigned)p[3];
}

// Null when the bytes may be decoded, else the reason.
static const char* refuseByHeader(const unsigned char* bytes, size_t size) {
    if (size == 0) {
        return "the file is empty";
    }
    if (size < sizeof PNG_SIGNATURE || memcmp(bytes, PNG_SIGNATURE, sizeof PNG_SIGNATURE) != 0) {
        return "not a PNG image";
    }
    if (size < PNG_HEADER_BYTES) {
        return "the PNG image is truncated";
    }
    unsigned width = bigEndian32(bytes + PNG_WIDTH_OFFSET);
    unsigned height = bigEndian32(bytes + PNG_HEIGHT_OFFSET);
    if (width == 0 || height == 0 || width > (unsigned)MAX_IMAGE_SIDE ||
        height > (unsigned)MAX_IMAGE_SIDE) {
        return SIZE_REFUSAL;
    }
    return nullptr;
}

SDL_Surface* readPngImage(const unsigned char* bytes, size_t size, const char** why) {
    *why = refuseByHeader(bytes, size);
    if (*why != nullptr) {
        return nullptr;
    }
    lodepng::State state;
    unsigned width = 0, height = 0;
    if (lodepng_inspect(&width, &height, &state, bytes, size) != 0) {
        *why = "the PNG header is damaged";
        return nullptr;
    }
    if (width == 0 || height == 0 || width > (unsigned)MAX_IMAGE_SIDE ||
        height > (unsigned)MAX_IMAGE_SIDE) {
        *why = SIZE_REFUSAL;
        return nullptr;
    }
    bool withAlpha = lodepng_can_have_alpha(&state.info_png.color) != 0;
    state.info_raw.colortype = withAlpha ? LCT_RGBA : LCT_RGB;
    state.info_raw.bitdepth = 8;
    std::vector<unsigned char> pixels;
    if (lodepng::decode(pixels, width, height, state, bytes, size) != 0) {
        *why = "the PNG image is damaged or truncated";
        return nullptr;
    }
    int channels = withAlpha ? 4 : 3;
    SDL_Surface* image =
        withAlpha ? SDL_CreateRGBSurface(SDL_SWSURFACE, (int)width, (int)height, 32, RGBA_MASKS[0],
                                         RGBA_MASKS[1], RGBA_MASKS[2], RGBA_MASKS[3])
                  : SDL_CreateRGBSurface(SDL_SWSURFACE, (int)width, (int)height, 24, RGB_MASKS[0],
                                         RGB_MASKS[1], RGB_MASKS[2], 0);
    if (image == nullptr) {
        *why = "out of memory for the image";
        return nullptr;
    }
    // SDL pads every row to four bytes; the decoder's rows are packed.
    size_t rowBytes = (size_t)width * channels;
    for (unsigned y = 0; y < height; y++) {
        memcpy((unsigned char*)image->pixels + (size_t)y * image->pitch, &pixels[y * rowBytes],
               rowBytes);
    }
    return image;
}

SDL_Surface* readPngFile(const char* path, const char** why) {
    // Opened without waiting and looked at before reading: a named pipe
    // with no writer would hold up the start for ever.
    int fd = open(path, O_RDONLY | O_NONBLOCK);
    if (fd < 0) {
        *why = strerror(errno);
        return nullptr;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        *why = "not a plain file";
        return nullptr;
    }
    FILE* file = fdopen(fd, "rb");
    if (file == nullptr) {
        close(fd);
        *why = strerror(errno);
        return nullptr;
    }
    std::vector<unsigned char> bytes;
    long size = -1;
    if (fseek(file, 0, SEEK_END) == 0) {
        size = ftell(file);
    }
    if (size < 0 || fseek(file, 0, SEEK_SET) != 0) {
        fclose(file);
        *why = "the file cannot be read";
        return nullptr;
    }
    if (size > MAX_IMAGE_FILE_BYTES) {
        fclose(file);
        *why = "the file is larger than 256 MiB";
        return nullptr;
    }
    bytes.resize((size_t)size);
    size_t got = size > 0 ? fread(bytes.data(), 1, bytes.size(), file) : 0;
    bool failed = ferror(file) != 0;
    fclose(file);
    if (failed) {
        *why = "the file cannot be read";
        return nullptr;
    }
    return readPngImage(bytes.data(), got, why);
}

SDL_Surface* makeAtlasCanvas(SDL_Surface* image, int width, int height, const char** why) {
    *why = nullptr;
    SDL_Surface* converted = SDL_DisplayFormatAlpha(image);
    if (converted == nullptr) {
        *why = "the image cannot be converted to the display's format";
        return nullptr;
    }
    const SDL_PixelFormat* format = converted->format;
    SDL_Surface* canvas =
        SDL_CreateRGBSurface(converted->flags, width, height, format->BitsPerPixel, format->Rmask,
                             format->Gmask, format->Bmask, format->Amask);
    if (canvas == nullptr) {
        SDL_FreeSurface(converted);
        *why = "out of memory for the atlas canvas";
        return nullptr;
    }
    // Without per-surface alpha the blit copies every pixel, alpha included,
    // instead of blending it onto the empty canvas.
    SDL_SetAlpha(converted, SDL_RLEACCEL, 0);
    SDL_SetAlpha(canvas, SDL_RLEACCEL, 0);
    int blitted = SDL_BlitSurface(converted, nullptr, canvas, nullptr);
    SDL_FreeSurface(converted);
    if (blitted != 0) {
        SDL_FreeSurface(canvas);
        *why = "the image cannot be copied onto the atlas canvas";
        return nullptr;
    }
    return canvas;
}
