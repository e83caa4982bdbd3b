// png_probe: prints a PNG's size and the colour of pixels in it, for the
// end-to-end scripts that check what the game drew.
// Usage: png_probe <file.png> [x y]...   prints "width height", then "r g b"
// for each point (origin top-left). Exit status: 0 read, 1 cannot read or
// point outside, 2 bad arguments.
#include <cstdio>
#include <cstdlib>
#include <lodepng.h>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2 || argc % 2 != 0) {
        fprintf(stderr, "usage: png_probe <file.png> [x y]...\n");
        return 2;
    }
    std::vector<unsigned char> rgb;
    unsigned width = 0;
    unsigned height = 0;
    unsigned error = lodepng::decode(rgb, width, height, argv[1], LCT_RGB, 8);
    if (error != 0) {
        fprintf(stderr, "png_probe: cannot read %s: %s\n", argv[1], lodepng_error_text(error));
        return 1;
    }
    printf("%u %u\n", width, height);
    for (int i = 2; i + 1 < argc; i += 2) {
        long x = strtol(argv[i], nullptr, 10);
        long y = strtol(argv[i + 1], nullptr, 10);
        if (x < 0 || y < 0 || x >= (long)width || y >= (long)height) {
            fprintf(stderr, "png_probe: (%ld, %ld) lies outside %u x %u\n", x, y, width, height);
            return 1;
        }
        const unsigned char* p = &rgb[((size_t)y * width + (size_t)x) * 3];
        printf("%d %d %d\n", p[0], p[1], p[2]);
    }
    return 0;
}
