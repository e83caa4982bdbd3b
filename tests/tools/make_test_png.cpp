// make_test_png: writes the odd image files the end-to-end tests put in
// place of the game's images.
// Usage: make_test_png <out.png> <kind> [width height]
//   kinds: rgb, rgba, grey, palette, rgb16 (a real image of that kind);
//          claim (a PNG header claiming width x height, and nothing more);
//          truncated (a real RGBA image cut off in its pixel data).
// Exit status: 0 written, 1 cannot write or encode, 2 bad arguments.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <lodepng.h>
#include <vector>

static unsigned char sample(size_t i) {
    return (unsigned char)(i * 37u + 11u);
}

int main(int argc, char** argv) {
    if (argc != 3 && argc != 5) {
        fprintf(stderr, "usage: make_test_png <out.png> <kind> [width height]\n");
        return 2;
    }
    const char* path = argv[1];
    const char* kind = argv[2];
    unsigned w = argc == 5 ? (unsigned)strtoul(argv[3], nullptr, 10) : 64;
    unsigned h = argc == 5 ? (unsigned)strtoul(argv[4], nullptr, 10) : 64;
    std::vector<unsigned char> png;
    unsigned error = 0;
    if (strcmp(kind, "claim") == 0 || strcmp(kind, "truncated") == 0) {
        bool claim = kind[0] == 'c';
        unsigned realW = claim ? 1 : w, realH = claim ? 1 : h;
        std::vector<unsigned char> raw((size_t)realW * realH * 4);
        for (size_t i = 0; i < raw.size(); i++)
            raw[i] = sample(i);
        error = lodepng::encode(png, raw, realW, realH, LCT_RGBA, 8);
        if (claim && error == 0) {
            // The header chunk with the claimed size and its checksum; the
            // file ends right after it.
            png.resize(33);
            const unsigned size[2] = {w, h};
            for (int k = 0; k < 2; k++)
                for (int b = 0; b < 4; b++)
                    png[16 + 4 * k + b] = (unsigned char)(size[k] >> (24 - 8 * b));
            unsigned crc = lodepng_crc32(&png[12], 17);
            for (int b = 0; b < 4; b++)
                png[29 + b] = (unsigned char)(crc >> (24 - 8 * b));
        } else if (error == 0) {
            png.resize(png.size() * 2 / 3);
        }
    } else if (strcmp(kind, "palette") == 0) {
        lodepng::State state;
        state.encoder.auto_convert = 0;
        state.info_png.color.colortype = LCT_PALETTE;
        state.info_png.color.bitdepth = 8;
        state.info_raw.colortype = LCT_PALETTE;
        state.info_raw.bitdepth = 8;
        for (int c = 0; c < 16; c++) {
            lodepng_palette_add(&state.info_png.color, sample(3 * c), sample(3 * c + 1),
                                sample(3 * c + 2), 255);
            lodepng_palette_add(&state.info_raw, sample(3 * c), sample(3 * c + 1),
                                sample(3 * c + 2), 255);
        }
        std::vector<unsigned char> indices((size_t)w * h);
        for (size_t i = 0; i < indices.size(); i++)
            indices[i] = (unsigned char)(i % 16);
        error = lodepng::encode(png, indices, w, h, state);
    } else {
        LodePNGColorType type = LCT_RGB;
        unsigned depth = 8;
        size_t channels = 3;
        if (strcmp(kind, "rgba") == 0)
            type = LCT_RGBA, channels = 4;
        else if (strcmp(kind, "grey") == 0)
            type = LCT_GREY, channels = 1;
        else if (strcmp(kind, "rgb16") == 0)
            depth = 16;
        else if (strcmp(kind, "rgb") != 0) {
            fprintf(stderr, "make_test_png: unknown kind %s\n", kind);
            return 2;
        }
        std::vector<unsigned char> raw((size_t)w * h * channels * (depth / 8));
        for (size_t i = 0; i < raw.size(); i++)
            raw[i] = sample(i);
        // Stored exactly as asked: no conversion to a smaller colour type.
        lodepng::State state;
        state.encoder.auto_convert = 0;
        state.info_raw.colortype = state.info_png.color.colortype = type;
        state.info_raw.bitdepth = state.info_png.color.bitdepth = depth;
        error = lodepng::encode(png, raw, w, h, state);
    }
    if (error != 0) {
        fprintf(stderr, "make_test_png: %s\n", lodepng_error_text(error));
        return 1;
    }
    if (lodepng::save_file(png, path) != 0) {
        fprintf(stderr, "make_test_png: cannot write %s\n", path);
        return 1;
    }
    return 0;
}
