// png_tool: what the end-to-end scripts need to know about PNG files.
//   png_tool info FILE            "WIDTH HEIGHT COLOURTYPE BITDEPTH COMMENT"
//                                 (COMMENT: the "Comment" text, or "-")
//   png_tool diff A B [X Y W H]   how many pixels of the rectangle (or of the
//                                 whole) differ at all between two images of
//                                 one size
// Exit status: 0 done, 1 cannot read, 2 bad arguments.
#include <lodepng.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

static bool decode(std::vector<unsigned char>& rgb, unsigned& w, unsigned& h, const char* path) {
    const unsigned error = lodepng::decode(rgb, w, h, path, LCT_RGB, 8);
    if (error != 0)
        fprintf(stderr, "png_tool: %s: %s\n", path, lodepng_error_text(error));
    return error == 0;
}

static int info(const char* path) {
    std::vector<unsigned char> file, pixels;
    unsigned w = 0, h = 0, error = lodepng::load_file(file, path);
    lodepng::State state;
    if (error == 0)
        error = lodepng::decode(pixels, w, h, state, file);
    if (error != 0) {
        fprintf(stderr, "png_tool: %s: %s\n", path, lodepng_error_text(error));
        return 1;
    }
    const char* comment = "-";
    for (size_t i = 0; i < state.info_png.text_num; ++i)
        if (strcmp(state.info_png.text_keys[i], "Comment") == 0)
            comment = state.info_png.text_strings[i];
    printf("%u %u %d %u %s\n", w, h, (int)state.info_png.color.colortype,
           state.info_png.color.bitdepth, comment);
    return 0;
}

static int diff(int count, char** args) {
    std::vector<unsigned char> a, b;
    unsigned wa = 0, ha = 0, wb = 0, hb = 0;
    if (!decode(a, wa, ha, args[0]) || !decode(b, wb, hb, args[1]))
        return 1;
    const bool whole = count == 2;
    const long x = whole ? 0 : atol(args[2]), y = whole ? 0 : atol(args[3]);
    const long w = whole ? wa : atol(args[4]), h = whole ? ha : atol(args[5]);
    if (wa != wb || ha != hb || x < 0 || y < 0 || w <= 0 || h <= 0 || x + w > (long)wa ||
        y + h > (long)ha) {
        fprintf(stderr, "png_tool: %ux%u and %ux%u, rectangle %ld,%ld %ldx%ld do not fit\n", wa, ha,
                wb, hb, x, y, w, h);
        return 2;
    }
    long differing = 0;
    for (long row = y; row < y + h; ++row)
        for (long column = x; column < x + w; ++column)
            differing += memcmp(&a[(row * wa + column) * 3], &b[(row * wa + column) * 3], 3) != 0;
    printf("%ld\n", differing);
    return 0;
}

int main(int argc, char** argv) {
    const char* command = argc > 1 ? argv[1] : "";
    if (argc == 3 && strcmp(command, "info") == 0)
        return info(argv[2]);
    if ((argc == 4 || argc == 8) && strcmp(command, "diff") == 0)
        return diff(argc - 2, argv + 2);
    fprintf(stderr, "usage: png_tool info FILE | png_tool diff A B [X Y W H]\n");
    return 2;
}
