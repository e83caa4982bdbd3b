// textures_gl.cpp: the world atlas and the UI atlas as GL textures; loading
// the world atlas is the platform half of the new-game setup.
#include "render/textures_gl.h"

#include "app/settings.h"
#include "render/image_file_sdl.h"
#include "render/pixel_format.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL/SDL.h>

#include <cstdio>

unsigned int worldTexture = 0;
unsigned int uiTexture = 0;

static const char* const WORLD_TEXTURE_FILE = "Media/worldtexture.png";

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

// Creates and binds a texture from the image (3 or 4 bytes per pixel), rows
// in the order the image stores them (v = 0 is the top row). Mipmaps only when
// asked for. 0 when the driver cannot hold a texture that large.
static GLuint uploadTexture(SDL_Surface* image, bool withMipmaps, const char* what) {
    if (choosePixelFormat(image->format->BytesPerPixel, image->format->Rmask) == PixelUnsupported) {
        fprintf(stderr, "hollowmark: cannot use %s: %d bytes per pixel\n", what,
                image->format->BytesPerPixel);
        return 0;
    }
    // The mipmap builder scales a large image down by itself; a plain upload
    // beyond the driver's limit would leave an unusable texture.
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    if (!withMipmaps && largest > 0 && (image->w > largest || image->h > largest)) {
        fprintf(stderr, "hollowmark: cannot use %s: %d x %d is larger than this driver's %d\n",
                what, image->w, image->h, largest);
        return 0;
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
    return name;
}

unsigned int loadWorldTexture() {
    const char* why = nullptr;
    SDL_Surface* image = readPngFile(WORLD_TEXTURE_FILE, &why);
    if (image == nullptr) {
        // The game runs on untextured; say once why it looks that way.
        fprintf(stderr, "hollowmark: cannot load %s: %s\n", WORLD_TEXTURE_FILE, why);
        return 0;
    }
    GLuint name = uploadTexture(image, mipmapping, WORLD_TEXTURE_FILE);
    SDL_FreeSurface(image);
    return name;
}

unsigned int createUiTexture(SDL_Surface* surface) {
    if (surface == nullptr) {
        return 0;
    }
    return uploadTexture(surface, false, "the UI atlas");
}

void setupWorldTexture() { worldTexture = loadWorldTexture(); }
