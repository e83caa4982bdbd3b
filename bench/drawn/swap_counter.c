/* swap_counter.c: preloaded into the real game by bench/scene_fps.sh to count
 * its frames. Wraps SDL_GL_SwapBuffers and, once a second, writes
 * "FRAMES SECONDS" (frames since the 60th, and the seconds they took) to the
 * file named by HOLLOWMARK_SWAP_LOG. The game itself is not changed. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#define WARM_UP_FRAMES 60 /* start-up and the first frames are not counted */

static double nowSeconds(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

void SDL_GL_SwapBuffers(void) {
    static void (*realSwap)(void) = NULL;
    static long frames = 0;
    static double start = 0.0;
    static double lastReport = 0.0;
    if (realSwap == NULL) {
        realSwap = (void (*)(void))dlsym(RTLD_NEXT, "SDL_GL_SwapBuffers");
    }
    realSwap();
    frames++;
    if (frames == WARM_UP_FRAMES) {
        start = lastReport = nowSeconds();
        return;
    }
    if (frames < WARM_UP_FRAMES) {
        return;
    }
    const double now = nowSeconds();
    if (now - lastReport >= 1.0) {
        lastReport = now;
        const char* path = getenv("HOLLOWMARK_SWAP_LOG");
        FILE* log = path != NULL ? fopen(path, "a") : NULL;
        if (log != NULL) {
            fprintf(log, "%ld %.3f\n", frames - WARM_UP_FRAMES, now - start);
            fclose(log);
        }
    }
}
