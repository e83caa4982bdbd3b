// png_region.cpp: measures a rectangle of a PNG for the end-to-end tests of
// the scene.
//   png_region stats FILE X Y W H
//       prints "COLOURS LIT MEAN": distinct colours, pixels brighter than
//       30 (mean of the three channels), and the mean brightness
//   png_region diff A B X Y W H
//       prints how many pixels of the rectangle differ by more than 24 in
//       some channel between the two images
// Exit status 0 on success, 2 on unreadable files, bad arguments or a
// rectangle outside the image.
#include <lodepng.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string_view>
#include <vector>

namespace {

const int LIT_BRIGHTNESS = 30;
const int CHANNEL_TOLERANCE = 24;

struct Image {
    std::vector<unsigned char> rgb;
    unsigned width = 0, height = 0;
};

bool load(const char* path, Image& image) {
    const unsigned error = lodepng::decode(image.rgb, image.width, image.height, path, LCT_RGB, 8);
    if (error != 0) {
        fprintf(stderr, "png_region: %s: %s\n", path, lodepng_error_text(error));
        return false;
    }
    return true;
}

bool rectangle(char** args, const Image& image, long r[4]) {
    for (int i = 0; i < 4; i++)
        r[i] = strtol(args[i], nullptr, 10);
    if (r[0] < 0 || r[1] < 0 || r[2] <= 0 || r[3] <= 0 || r[0] + r[2] > (long)image.width ||
        r[1] + r[3] > (long)image.height) {
        fprintf(stderr, "png_region: rectangle outside the %u x %u image\n", image.width,
                image.height);
        return false;
    }
    return true;
}

const unsigned char* pixel(const Image& image, long x, long y) {
    return &image.rgb[((size_t)y * image.width + (size_t)x) * 3];
}

} // namespace

int main(int argc, char** argv) {
    long r[4];
    if (argc == 7 && std::string_view(argv[1]) == "stats") {
        Image image;
        if (!load(argv[2], image) || !rectangle(argv + 3, image, r))
            return 2;
        std::set<unsigned> colours;
        long lit = 0;
        double sum = 0.0;
        for (long y = r[1]; y < r[1] + r[3]; y++) {
            for (long x = r[0]; x < r[0] + r[2]; x++) {
                const unsigned char* p = pixel(image, x, y);
                colours.insert((unsigned)p[0] << 16 | (unsigned)p[1] << 8 | p[2]);
                const int brightness = (p[0] + p[1] + p[2]) / 3;
                lit += brightness > LIT_BRIGHTNESS;
                sum += brightness;
            }
        }
        printf("%zu %ld %.1f\n", colours.size(), lit, sum / (double)(r[2] * r[3]));
        return 0;
    }
    if (argc == 8 && std::string_view(argv[1]) == "diff") {
        Image a, b;
        if (!load(argv[2], a) || !load(argv[3], b))
            return 2;
        if (a.width != b.width || a.height != b.height) {
            fprintf(stderr, "png_region: the images differ in size\n");
            return 2;
        }
        if (!rectangle(argv + 4, a, r))
            return 2;
        long differing = 0;
        for (long y = r[1]; y < r[1] + r[3]; y++) {
            for (long x = r[0]; x < r[0] + r[2]; x++) {
                const unsigned char* p = pixel(a, x, y);
                const unsigned char* q = pixel(b, x, y);
                bool same = true;
                for (int c = 0; c < 3; c++)
                    same = same && std::abs(p[c] - q[c]) <= CHANNEL_TOLERANCE;
                differing += !same;
            }
        }
        printf("%ld\n", differing);
        return 0;
    }
    fprintf(stderr, "usage: png_region stats FILE X Y W H | png_region diff A B X Y W H\n");
    return 2;
}
