// png_tool info FILE: "WIDTH HEIGHT COLOURTYPE BITDEPTH COMMENT" ("-" without one); png_tool
// diff A B [X Y W H]: pixels of the rectangle (or all) that differ. Status 1: unreadable or no fit.
#include <lodepng.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

int main(int argc, char** argv) {
    const bool isInfo = argc == 3 && strcmp(argv[1], "info") == 0;
    if (!isInfo && !((argc == 4 || argc == 8) && strcmp(argv[1], "diff") == 0)) {
        fprintf(stderr, "usage: png_tool info FILE | png_tool diff A B [X Y W H]\n");
        return 2;
    }
    std::vector<unsigned char> file, a, b;
    unsigned wa = 0, ha = 0, wb = 0, hb = 0;
    lodepng::State state;
    unsigned error = lodepng::load_file(file, argv[2]);
    if (error == 0)
        error = isInfo ? lodepng::decode(a, wa, ha, state, file)
                       : lodepng::decode(a, wa, ha, file, LCT_RGB, 8) ?: lodepng::decode(b, wb, hb, argv[3], LCT_RGB, 8);
    if (error != 0)
        return fprintf(stderr, "png_tool: %s\n", lodepng_error_text(error)), 1;
    if (isInfo) {
        const char* comment = "-";
        for (size_t i = 0; i < state.info_png.text_num; ++i)
            if (strcmp(state.info_png.text_keys[i], "Comment") == 0)
                comment = state.info_png.text_strings[i];
        printf("%u %u %d %u %s\n", wa, ha, (int)state.info_png.color.colortype, state.info_png.color.bitdepth, comment);
        return 0;
    }
    const long x = argc == 8 ? atol(argv[4]) : 0, y = argc == 8 ? atol(argv[5]) : 0;
    const long w = argc == 8 ? atol(argv[6]) : wa, h = argc == 8 ? atol(argv[7]) : ha;
    if (wa != wb || ha != hb || x < 0 || y < 0 || w <= 0 || h <= 0 || x + w > (long)wa || y + h > (long)ha)
        return fprintf(stderr, "png_tool: the images or the rectangle do not fit\n"), 1;
    long differing = 0;
    for (long row = y; row < y + h; ++row)
        for (long column = x; column < x + w; ++column)
            differing += memcmp(&a[(row * wa + column) * 3], &b[(row * wa + column) * 3], 3) != 0;
    printf("%ld\n", differing);
}
