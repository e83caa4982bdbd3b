// video_sdl.cpp: opening the window with an OpenGL context through SDL 1.2 and
// setting the fixed-function state the rest of the game relies on.
#include "app/shell_sdl.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL/SDL.h>
#include <cstdio>
#include <cstdlib>

#include "app/settings.h"
#include "app/window_size.h"

#ifndef GL_MULTISAMPLE
#define GL_MULTISAMPLE 0x809D
#endif

SDL_Surface* screenSurface = nullptr;
float startupFieldOfView = 45.0f;

static const char* const WINDOW_CAPTION = "The Hollowmark";
static const int COLOUR_CHANNEL_BITS = 5;
static const int DEPTH_BUFFER_BITS = 16;
static const int MULTISAMPLE_SAMPLES = 4;
static const double STARTUP_NEAR_PLANE = 1.0; // world units
static const double STARTUP_FAR_PLANE = 1000.0;
// GL clamps the clear depth to 1; the value stays as the game has always set it.
static const double CLEAR_DEPTH = 1000.0;

// The start-up failures are the only messages the game ever prints.
[[noreturn]] static void failVideoMode(const char* what, int width, int height, const char* why) {
    fprintf(stderr, "hollowmark: cannot set %s %d x %d: %s\n", what, width, height, why);
    SDL_Quit();
    exit(EXIT_NO_VIDEO_MODE);
}

static const char* sdlErrorText() {
    const char* text = SDL_GetError();
    return text != nullptr && text[0] != '\0' ? text : "no reason given by SDL";
}

static void requestGlAttributes() {
    if (antialiasing) {
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 1);
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, MULTISAMPLE_SAMPLES);
    }
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, COLOUR_CHANNEL_BITS);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, COLOUR_CHANNEL_BITS);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, COLOUR_CHANNEL_BITS);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, DEPTH_BUFFER_BITS);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

const char* const SIDE_RULE = "a window side must be 1 to 16384 pixels, or 0 for the desktop's";

// A plain (non-GL) mode with a zero side makes SDL substitute the desktop's
// size for it; that surface is only looked at, then given back.
static void probeDesktopSize() {
    int width = windowSide(screenWidth);
    int height = windowSide(screenHeight);
    if (!windowSizeAllowed(width, height)) {
        failVideoMode("a video mode of", width, height, SIDE_RULE);
    }
    SDL_Surface* probe = SDL_SetVideoMode(width, height, screenBpp, SDL_DOUBLEBUF);
    if (probe == nullptr) {
        // Without the desktop size there is no size to ask for.
        failVideoMode("the desktop-size video mode for", width, height, sdlErrorText());
    }
    screenWidth = (float)probe->w;
    screenHeight = (float)probe->h;
    aspectRatio = screenWidth / screenHeight;
    SDL_FreeSurface(probe);
}

static void setFixedGlState(int width, int height) {
    if (antialiasing) {
        glEnable(GL_MULTISAMPLE);
        glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
        glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
        glEnable(GL_LINE_SMOOTH);
        glEnable(GL_POLYGON_SMOOTH);
    }
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(startupFieldOfView, aspectRatio, STARTUP_NEAR_PLANE, STARTUP_FAR_PLANE);
    glMatrixMode(GL_MODELVIEW);

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(CLEAR_DEPTH);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
    // Set up here, switched on and off by whoever draws with them.
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GREATER, 0.0f);
}

void openGlWindow() {
    // Checked before SDL starts: without an X display SDL 1.2 falls back to
    // a text-terminal driver that writes escape codes and then has no OpenGL.
    if (!displayAvailable(getenv("DISPLAY"), getenv("SDL_VIDEODRIVER"))) {
        fprintf(stderr, "hollowmark: cannot start SDL: no X display (DISPLAY is not set)\n");
        exit(EXIT_SDL_UNAVAILABLE);
    }
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        fprintf(stderr, "hollowmark: cannot start SDL: %s\n", sdlErrorText());
        exit(EXIT_SDL_UNAVAILABLE);
    }
    SDL_WM_SetCaption(WINDOW_CAPTION, nullptr);
    requestGlAttributes();
    if (needsDesktopProbe(screenWidth, screenHeight)) {
        probeDesktopSize();
    }
    int width = windowSide(screenWidth);
    int height = windowSide(screenHeight);
    if (!windowSizeAllowed(width, height)) {
        failVideoMode("a video mode of", width, height, SIDE_RULE);
    }
    Uint32 flags = SDL_OPENGL;
    if (fullscreen) {
        flags |= SDL_FULLSCREEN;
    }
    screenSurface = SDL_SetVideoMode(width, height, screenBpp, flags);
    if (screenSurface == nullptr) {
        failVideoMode("a video mode of", width, height, sdlErrorText());
    }
    // The real window: a side that went to SDL as 0 (below 1, or not a
    // number) came back as the desktop's, and a viewport of the asked-for 0
    // would draw nothing.
    setFixedGlState(screenSurface->w, screenSurface->h);
}

void initVideo() {
    startupFieldOfView = 45.0f;
    openGlWindow();
    screenWidth = (float)screenSurface->w;
    screenHeight = (float)screenSurface->h;
    screenBpp = screenSurface->format->BitsPerPixel;
    aspectRatio = screenWidth / screenHeight;
    SDL_ShowCursor(showCursor ? SDL_ENABLE : SDL_DISABLE);
}
