// png_file.cpp: frame flipping, PNG encoding with LodePNG, and the
// all-or-nothing write under the first free screenshot number. Core library.
#include "screenshot/png_file.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <lodepng.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "app/whole_file.h"

void flipFrameToImage(const unsigned char* frame, int width, int height, unsigned char* out) {
    const size_t rowBytes = (size_t)width * 4;
    for (int r = 0; r < height; ++r) {
        const unsigned char* source = frame + (size_t)(height - 1 - r) * rowBytes;
        unsigned char* target = out + (size_t)r * rowBytes;
        for (int x = 0; x < width; ++x) {
            target[4 * x + 0] = source[4 * x + 0];
            target[4 * x + 1] = source[4 * x + 1];
            target[4 * x + 2] = source[4 * x + 2];
            target[4 * x + 3] = 255; // the captured alpha means nothing on screen
        }
    }
}

char screenshotProblem[SCREENSHOT_PROBLEM_SIZE] = "";

static void setProblem(const char* text) {
    snprintf(screenshotProblem, sizeof screenshotProblem, "%s", text);
}

bool encodeScreenshotPng(const unsigned char* image, int width, int height,
                         std::vector<unsigned char>& png) {
    png.clear();
    if (width <= 0 || height <= 0) {
        setProblem("no picture");
        return false;
    }
    LodePNGState state;
    lodepng_state_init(&state);
    state.info_raw.colortype = LCT_RGBA;
    state.info_raw.bitdepth = 8;
    // Always 8-bit RGB: left to itself the encoder would pick grey or a
    // palette for a frame of few colours, and a viewer would get a different
    // kind of file depending on the picture.
    state.encoder.auto_convert = 0;
    state.info_png.color.colortype = LCT_RGB;
    state.info_png.color.bitdepth = 8;
    // The encoder's identification chunk, and plain (uncompressed) text.
    state.encoder.add_id = 1;
    state.encoder.text_compression = 0;
    unsigned char* encoded = nullptr;
    size_t encodedSize = 0;
    unsigned error = lodepng_add_text(&state.info_png, "Comment", "Created with LodePNG");
    if (error == 0) {
        error = lodepng_encode(&encoded, &encodedSize, image, (unsigned)width, (unsigned)height,
                               &state);
    }
    if (error == 0 && encoded != nullptr) {
        png.assign(encoded, encoded + encodedSize);
    } else {
        setProblem("PNG encoding failed");
        fprintf(stderr, "hollowmark: screenshot not saved: PNG encoding failed: %s\n",
                lodepng_error_text(error));
    }
    free(encoded);
    lodepng_state_cleanup(&state);
    return !png.empty();
}

// Creates a new, hidden temporary file in folder; fills path. -1 on failure.
static int createTemporary(const char* folder, char* path, size_t pathSize) {
    const int attempts = 100;
    for (int k = 0; k < attempts; ++k) {
        snprintf(path, pathSize, "%s/.screenshot-%d-%d.tmp", folder, (int)getpid(), k);
        const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

// Gives the finished temporary file the name `name` unless that name exists.
// Returns 1 when done, 0 when the name is taken, -1 on failure (errno set).
static int claimName(const char* temporary, const char* name) {
    if (link(temporary, name) == 0) {
        unlink(temporary);
        return 1;
    }
    if (errno == EEXIST) {
        return 0;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS && errno != EMLINK) {
        return -1;
    }
    // A file system without hard links: claim the name with an empty file
    // created exclusively, then move the finished file over our own claim.
    const int fd = open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return errno == EEXIST ? 0 : -1;
    }
    close(fd);
    if (rename(temporary, name) != 0) {
        const int renameError = errno;
        unlink(name);
        errno = renameError;
        return -1;
    }
    return 1;
}

int writeNumberedScreenshot(const char* folder, const unsigned char* bytes, size_t size) {
    if (bytes == nullptr || size == 0) {
        setProblem("PNG encoding failed");
        fprintf(stderr, "hollowmark: screenshot not saved: the PNG encoder produced no bytes\n");
        return 0;
    }
    char temporary[PATH_MAX] = "";
    const int fd = createTemporary(folder, temporary, sizeof temporary);
    if (fd < 0) {
        const int createError = errno;
        setProblem(strerror(createError));
        fprintf(stderr, "hollowmark: screenshot not saved: cannot create a file in %s: %s\n",
                folder, strerror(createError));
        return 0;
    }
    bool written = writeAllBytes(fd, bytes, size) && fsync(fd) == 0;
    int writeError = errno;
    if (close(fd) != 0 && written) {
        written = false;
        writeError = errno;
    }
    if (!written) {
        unlink(temporary);
        setProblem(strerror(writeError));
        fprintf(stderr, "hollowmark: screenshot not saved: writing in %s failed: %s\n", folder,
                strerror(writeError));
        return 0;
    }
    char name[PATH_MAX] = "";
    for (int n = 1; n < INT_MAX; ++n) {
        snprintf(name, sizeof name, "%s/screenshot%d.png", folder, n);
        const int claimed = claimName(temporary, name);
        if (claimed == 1) {
            return n;
        }
        if (claimed < 0) {
            const int claimError = errno;
            unlink(temporary);
            setProblem(strerror(claimError));
            fprintf(stderr, "hollowmark: screenshot not saved: cannot create %s: %s\n", name,
                    strerror(claimError));
            return 0;
        }
    }
    unlink(temporary);
    setProblem("every number is taken");
    fprintf(stderr, "hollowmark: screenshot not saved: every screenshot number in %s is taken\n",
            folder);
    return 0;
}
