// png_tool: what the end-to-end scripts need to know about PNG files, and the
// odd ones they put in place of the game's images.
//   png_tool info FILE               "WIDTH HEIGHT COLOURTYPE BITDEPTH COMMENT"
//                                    (COMMENT: the "Comment" text, or "-")
//   png_tool diff A B [X Y W H]      how many pixels of the rectangle (or of
//                                    all) differ at all between two images of
//                                    one size (B "-": a black image)
//   png_tool make OUT KIND W H       KIND: rgba, grey, palette (real images);
//                                    claim (a header claiming W x H, nothing
//                                    more); truncated (RGBA cut off in its data)
// Exit status: 0 done, 1 cannot read or write, 2 bad arguments.
#include <lodepng.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

static int fail(const char* what, unsigned error) {
    fprintf(stderr, "png_tool: %s: %s\n", what, lodepng_error_text(error));
    return 1;
}

static int info(const char* path) {
    std::vector<unsigned char> file, pixels;
    unsigned w = 0, h = 0, error = lodepng::load_file(file, path);
    lodepng::State state;
    if (error == 0)
        error = lodepng::decode(pixels, w, h, state, file);
    if (error != 0)
        return fail(path, error);
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
    if (unsigned error = lodepng::decode(a, wa, ha, args[0], LCT_RGB, 8))
        return fail(args[0], error);
    if (strcmp(args[1], "-") == 0)
        b.assign(a.size(), 0), wb = wa, hb = ha;
    else if (unsigned error = lodepng::decode(b, wb, hb, args[1], LCT_RGB, 8))
        return fail(args[1], error);
    const bool all = count == 2;
    const long x = all ? 0 : atol(args[2]), y = all ? 0 : atol(args[3]);
    const long w = all ? wa : atol(args[4]), h = all ? ha : atol(args[5]);
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

static int make(const char* path, const char* kind, unsigned w, unsigned h) {
    const bool claim = strcmp(kind, "claim") == 0;
    lodepng::State state;
    state.encoder.auto_convert = 0; // stored as asked, not as the encoder would prefer
    LodePNGColorMode& raw = state.info_raw;
    raw.colortype = LCT_RGBA;
    if (strcmp(kind, "grey") == 0)
        raw.colortype = LCT_GREY;
    else if (strcmp(kind, "palette") == 0) {
        raw.colortype = LCT_PALETTE;
        for (int c = 0; c < 16; c++)
            lodepng_palette_add(&raw, (unsigned char)(c * 16), (unsigned char)(255 - c * 16), 90, 255);
    } else if (!claim && strcmp(kind, "rgba") != 0 && strcmp(kind, "truncated") != 0) {
        fprintf(stderr, "png_tool: unknown kind %s\n", kind);
        return 2;
    }
    lodepng_color_mode_copy(&state.info_png.color, &raw);
    const unsigned realW = claim ? 1 : w, realH = claim ? 1 : h;
    std::vector<unsigned char> pixels(lodepng_get_raw_size(realW, realH, &raw));
    for (size_t i = 0; i < pixels.size(); i++)
        pixels[i] = (unsigned char)(raw.colortype == LCT_PALETTE ? i % 16 : i * 37 + 11);
    std::vector<unsigned char> png;
    if (unsigned error = lodepng::encode(png, pixels, realW, realH, state))
        return fail(path, error);
    if (claim) {
        // The header chunk with the claimed size and its checksum; the file
        // ends right after it.
        png.resize(33);
        for (int b = 0; b < 4; b++) {
            png[16 + b] = (unsigned char)(w >> (24 - 8 * b));
            png[20 + b] = (unsigned char)(h >> (24 - 8 * b));
        }
        const unsigned crc = lodepng_crc32(&png[12], 17);
        for (int b = 0; b < 4; b++)
            png[29 + b] = (unsigned char)(crc >> (24 - 8 * b));
    } else if (strcmp(kind, "truncated") == 0) {
        png.resize(png.size() * 2 / 3);
    }
    if (lodepng::save_file(png, path) != 0) {
        fprintf(stderr, "png_tool: cannot write %s\n", path);
        return 1;
    }
    return 0;
}

int main(int argc, char** argv) {
    const char* command = argc > 1 ? argv[1] : "";
    if (argc == 3 && strcmp(command, "info") == 0)
        return info(argv[2]);
    if ((argc == 4 || argc == 8) && strcmp(command, "diff") == 0)
        return diff(argc - 2, argv + 2);
    if (argc == 6 && strcmp(command, "make") == 0)
        return make(argv[2], argv[3], (unsigned)atol(argv[4]), (unsigned)atol(argv[5]));
    fprintf(stderr, "usage: png_tool info FILE | diff A B [X Y W H] | make OUT KIND W H\n");
    return 2;
}
