// png_examine.cpp: answers questions about PNG files for the end-to-end tests.
//   png_examine info FILE
//       prints "WIDTH HEIGHT COLOURTYPE BITDEPTH COMMENT" (COMMENT is the text
//       of the "Comment" chunk, or "-" when there is none)
//   png_examine diff A B X Y W H
//       compares the RGB pixels of the rectangle in both images and prints
//       "DIFFERING MEAN": how many pixels differ at all, and the mean absolute
//       difference per channel (0..255) over the rectangle
// Exit status 0 on success, 2 when a file cannot be read or sizes disagree.
#include <lodepng.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static bool loadRgb(const char* path, unsigned char** pixels, unsigned* w, unsigned* h) {
    const unsigned error = lodepng_decode24_file(pixels, w, h, path);
    if (error != 0) {
        fprintf(stderr, "png_examine: %s: %s\n", path, lodepng_error_text(error));
        return false;
    }
    return true;
}

static int info(const char* path) {
    unsigned char* file = nullptr;
    size_t size = 0;
    if (lodepng_load_file(&file, &size, path) != 0) {
        fprintf(stderr, "png_examine: cannot read %s\n", path);
        return 2;
    }
    LodePNGState state;
    lodepng_state_init(&state);
    unsigned char* pixels = nullptr;
    unsigned w = 0, h = 0;
    const unsigned error = lodepng_decode(&pixels, &w, &h, &state, file, size);
    free(file);
    if (error != 0) {
        fprintf(stderr, "png_examine: %s: %s\n", path, lodepng_error_text(error));
        lodepng_state_cleanup(&state);
        return 2;
    }
    const char* comment = "-";
    for (size_t i = 0; i < state.info_png.text_num; ++i) {
        if (strcmp(state.info_png.text_keys[i], "Comment") == 0) {
            comment = state.info_png.text_strings[i];
        }
    }
    printf("%u %u %d %u %s\n", w, h, (int)state.info_png.color.colortype,
           state.info_png.color.bitdepth, comment);
    free(pixels);
    lodepng_state_cleanup(&state);
    return 0;
}

static int diff(const char* pathA, const char* pathB, int x, int y, int w, int h) {
    unsigned char *a = nullptr, *b = nullptr;
    unsigned wa = 0, ha = 0, wb = 0, hb = 0;
    if (!loadRgb(pathA, &a, &wa, &ha) || !loadRgb(pathB, &b, &wb, &hb)) {
        return 2;
    }
    if (wa != wb || ha != hb || x < 0 || y < 0 || w <= 0 || h <= 0 || (unsigned)(x + w) > wa ||
        (unsigned)(y + h) > ha) {
        fprintf(stderr, "png_examine: sizes %ux%u and %ux%u, rectangle %d,%d %dx%d do not fit\n", wa,
                ha, wb, hb, x, y, w, h);
        return 2;
    }
    long differing = 0;
    double total = 0.0;
    for (int row = y; row < y + h; ++row) {
        for (int column = x; column < x + w; ++column) {
            const size_t at = ((size_t)row * wa + column) * 3;
            int pixelDifference = 0;
            for (int c = 0; c < 3; ++c) {
                pixelDifference += abs((int)a[at + c] - (int)b[at + c]);
            }
            differing += pixelDifference != 0;
            total += pixelDifference;
        }
    }
    printf("%ld %.3f\n", differing, total / (3.0 * w * h));
    free(a);
    free(b);
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 3 && strcmp(argv[1], "info") == 0) {
        return info(argv[2]);
    }
    if (argc == 8 && strcmp(argv[1], "diff") == 0) {
        return diff(argv[2], argv[3], atoi(argv[4]), atoi(argv[5]), atoi(argv[6]), atoi(argv[7]));
    }
    fprintf(stderr, "usage: png_examine info FILE | png_examine diff A B X Y W H\n");
    return 2;
}
