// textures.cpp: the world atlas and the UI atlas as GL textures, and the
// platform half of the new-game setup (the texture load) before the rest.
#include "render/textures.h"

#include "app/settings.h"
#include "render/pixel_format.h"
#include "world/new_game.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL/SDL.h>
#include <SDL/SDL_image.h>

#include <cstdio>

unsigned int worldTexture = 0;
unsigned int uiTexture = 0;

static const char* const WORLD_TEXTURE_FILE = "Media/worldtexture.png";

// Bytes R, G, B, A in memory order, whatever the machine's byte order.
#if SDL_BYTEORDER == SDL_BIG_ENDIAN
static const Uint32 RGBA_MASKS[4] = {0xFF000000u, 0x00FF0000u, 0x0000FF00u, 0x000000FFu};
#else
static const Uint32 RGBA_MASKS[4] = {0x000000FFu, 0x0000FF00u, 0x00FF0000u, 0xFF000000u};
#endif

// A copy of an image with other than 3 or 4 bytes per pixel (paletted, grey,
// 16-bit) as 32-bit RGBA, which the format rule then uploads as it is; null
// when the conversion fails.
static SDL_Surface* convertToRgba(SDL_Surface* image) {
    SDL_Surface* model = SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 32, RGBA_MASKS[0], RGBA_MASKS[1],
                                              RGBA_MASKS[2], RGBA_MASKS[3]);
    if (model == nullptr) {
        return nullptr;
    }
    SDL_Surface* converted = SDL_ConvertSurface(image, model->format, SDL_SWSURFACE);
    SDL_FreeSurface(model);
    return converted;
}

struct UploadFormat {
    GLenum source;
    GLint components;
};

static UploadFormat uploadFormatOf(const SDL_Surface* image) {
    switch (choosePixelFormat(image->format->BytesPerPixel, image->format->Rmask)) {
    case PixelRGBA:
        return UploadFormat{GL_RGBA, 4};
    case PixelBGRA:
        return UploadFormat{GL_BGRA, 4};
    case PixelRGB:
        return UploadFormat{GL_RGB, 3};
    default:
        return UploadFormat{GL_BGR, 3};
    }
}

// Creates and binds a texture from the image, rows in the order the image
// stores them (v = 0 is the top row). Mipmaps only when asked for.
static GLuint uploadTexture(SDL_Surface* image, bool withMipmaps) {
    SDL_Surface* converted = nullptr;
    if (choosePixelFormat(image->format->BytesPerPixel, image->format->Rmask) == PixelUnsupported) {
        converted = convertToRgba(image);
        if (converted == nullptr) {
            fprintf(stderr, "hollowmark: cannot convert a %d-bit image to RGBA: %s\n",
                    image->format->BitsPerPixel, SDL_GetError());
            return 0;
        }
        image = converted;
    }
    UploadFormat format = uploadFormatOf(image);

    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);

    if (SDL_MUSTLOCK(image)) {
        SDL_LockSurface(image);
    }
    // SDL pads rows to 4 bytes; with that alignment the row length below
    // gives exactly the surface's pitch. Other code may have set its own
    // unpack state, so keep and restore it.
    GLint oldAlignment = 4, oldRowLength = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &oldAlignment);
    glGetIntegerv(GL_UNPACK_ROW_LENGTH, &oldRowLength);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, image->pitch / image->format->BytesPerPixel);
    if (withMipmaps) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        gluBuild2DMipmaps(GL_TEXTURE_2D, format.components, image->w, image->h, format.source,
                          GL_UNSIGNED_BYTE, image->pixels);
    } else {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, format.components, image->w, image->h, 0, format.source,
                     GL_UNSIGNED_BYTE, image->pixels);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, oldAlignment);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, oldRowLength);
    if (SDL_MUSTLOCK(image)) {
        SDL_UnlockSurface(image);
    }
    if (converted != nullptr) {
        SDL_FreeSurface(converted);
    }
    return name;
}

unsigned int loadWorldTexture() {
    SDL_Surface* image = IMG_Load(WORLD_TEXTURE_FILE);
    if (image == nullptr) {
        // The game runs on untextured; say once why it looks that way.
        fprintf(stderr, "hollowmark: cannot load %s: %s\n", WORLD_TEXTURE_FILE, IMG_GetError());
        return 0;
    }
    GLuint name = uploadTexture(image, mipmapping);
    SDL_FreeSurface(image);
    return name;
}

unsigned int createUiTexture(SDL_Surface* surface) {
    if (surface == nullptr) {
        return 0;
    }
    return uploadTexture(surface, false);
}

void setupWorldTexture() {
    worldTexture = loadWorldTexture();
    fillTextureTables();
}

void newGame() {
    setupWorldTexture();
    setupNewWorld();
}
