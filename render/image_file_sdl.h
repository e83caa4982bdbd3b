// image_file_sdl.h: reading the game's two PNG images into SDL surfaces that the
// texture upload can use as they are. LodePNG decodes (it reports a damaged
// file as an error code, where libpng would also print to stderr); SDL holds
// the pixels. No GL, so the same path can be fuzzed without a display.
#pragma once

#include <cstddef>

struct SDL_Surface;

// Largest side, in pixels, either image may declare. The atlases are 1024
// pixels wide; the limit keeps the decoded pixels of any accepted image
// within 64 MiB, and a header that claims more is refused before a byte of
// pixels is decoded or allocated.
const int MAX_IMAGE_SIDE = 4096;

// Largest file accepted, in bytes: far more than any PNG of the largest
// accepted size needs, and little enough to read into memory at once.
const long MAX_IMAGE_FILE_BYTES = 256L * 1024 * 1024;

// Decodes a PNG image held in memory. The signature and the declared size are
// checked before anything is decoded. Images with an alpha channel or a
// transparent colour come back as 32-bit RGBA, all others (grey, paletted,
// 16-bit alike) as 24-bit RGB, both with red in the lowest byte. Returns null
// on failure with a one-line reason in *why (static text).
SDL_Surface* readPngImage(const unsigned char* bytes, size_t size, const char** why);
// The same from a file; the reason then may also be the system's.
SDL_Surface* readPngFile(const char* path, const char** why);

// The UI atlas canvas: a width x height surface in the display's format with
// alpha, holding the image at its top-left corner, alpha included (a larger
// image is clipped). Needs a video mode. The image stays the caller's. Null
// on failure with the reason in *why.
SDL_Surface* makeAtlasCanvas(SDL_Surface* image, int width, int height, const char** why);
