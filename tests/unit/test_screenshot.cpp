// test_screenshot.cpp: the screenshot's image, its PNG encoding and the
// numbered, all-or-nothing file write; and the committed Media images
// against the pixel regions the game draws from.
#include <gtest/gtest.h>
#include <lodepng.h>

#include <algorithm>
#include <cmath>
#include <dirent.h>
#include <set>
#include <signal.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "screenshot/png_file.h"

namespace {

std::set<std::string> entries(const std::string& folder) {
    std::set<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* e = readdir(dir))
            if (e->d_name[0] != '.' || e->d_name[1] > '.')
                names.insert(e->d_name);
        closedir(dir);
    }
    return names;
}

std::string readAll(const std::string& path) {
    std::vector<unsigned char> bytes;
    if (lodepng::load_file(bytes, path) != 0)
        return "<missing>";
    return std::string(bytes.begin(), bytes.end());
}

void writeText(const std::string& path, const std::string& text) {
    lodepng::save_file(std::vector<unsigned char>(text.begin(), text.end()), path);
}

// Runs a write with stderr captured; returns the number it gave.
int save(const std::string& folder, const unsigned char* bytes, size_t size,
         std::string* message = nullptr) {
    testing::internal::CaptureStderr();
    int n = writeNumberedScreenshot(folder.c_str(), bytes, size);
    std::string said = testing::internal::GetCapturedStderr();
    if (message != nullptr)
        *message = said;
    return n;
}

const unsigned char payload[] = "not really a png, but bytes all the same";

} // namespace

TEST(ScreenshotImage, RowsFlipAlphaIsOpaqueAndTheFileIsRgbWithItsComment) {
    const unsigned char frame[24] = {1,  2,  3,  0,   4,  5,  6,  17, 7,  8,  9,  128, // bottom row
                                     10, 11, 12, 255, 13, 14, 15, 1,  16, 17, 18, 0};  // top row
    const unsigned char expected[24] = {10, 11, 12, 255, 13, 14, 15, 255, 16, 17, 18, 255,
                                        1,  2,  3,  255, 4,  5,  6,  255, 7,  8,  9,  255};
    unsigned char image[24];
    memset(image, 0xAA, sizeof image);
    flipFrameToImage(frame, 3, 2, image);
    EXPECT_EQ(0, memcmp(image, expected, sizeof image));
    // The captured alpha does not change the file; one grey is still RGB.
    std::vector<unsigned char> other(frame, frame + 24), png, png2;
    for (int i = 3; i < 24; i += 4)
        other[i] = (unsigned char)(i * 13);
    unsigned char image2[24];
    flipFrameToImage(other.data(), 3, 2, image2);
    ASSERT_TRUE(encodeScreenshotPng(image, 3, 2, png) && encodeScreenshotPng(image2, 3, 2, png2));
    EXPECT_EQ(png, png2);
    std::vector<unsigned char> grey(8 * 8 * 4, 128), greyPng;
    ASSERT_TRUE(encodeScreenshotPng(grey.data(), 8, 8, greyPng));
    for (const std::vector<unsigned char>* file : {&png, &greyPng}) {
        LodePNGState state;
        lodepng_state_init(&state);
        unsigned char* decoded = nullptr;
        unsigned w = 0, h = 0;
        ASSERT_EQ(lodepng_decode(&decoded, &w, &h, &state, file->data(), file->size()), 0u);
        EXPECT_TRUE(state.info_png.color.colortype == LCT_RGB &&
                    state.info_png.color.bitdepth == 8);
        bool comment = false;
        for (size_t i = 0; i < state.info_png.text_num; ++i)
            comment |= std::string(state.info_png.text_keys[i]) == "Comment" &&
                       std::string(state.info_png.text_strings[i]) == "Created with LodePNG";
        EXPECT_TRUE(comment);
        if (file == &png) {
            EXPECT_TRUE(w == 3 && h == 2 && decoded[0] == 10 && decoded[6] == 15); // top row first
        }
        free(decoded);
        lodepng_state_cleanup(&state);
    }
    std::vector<unsigned char> none;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(encodeScreenshotPng(image, 0, 2, none));
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(none.empty());
}

TEST(ScreenshotFile, TakesTheFirstFreeNumberAndWritesAllOrNothing) {
    char pattern[] = "/tmp/hollowmark_png_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string folder = pattern, name = folder + "/screenshot";
    writeText(name + "2.png", "two");
    EXPECT_EQ(save(folder, payload, sizeof payload), 1); // a gap is filled first
    EXPECT_EQ(save(folder, payload, sizeof payload), 3);
    writeText(name + "4.png", "four");
    EXPECT_EQ(save(folder, payload, sizeof payload), 5);
    EXPECT_EQ(readAll(name + "5.png"), std::string((const char*)payload, sizeof payload));
    EXPECT_EQ(readAll(name + "2.png") + readAll(name + "4.png"), "twofour");
    // A dangling link is not written through; an unreadable file keeps its name.
    ASSERT_EQ(symlink((folder + "/elsewhere").c_str(), (name + "6.png").c_str()), 0);
    writeText(name + "7.png", "locked");
    chmod((name + "7.png").c_str(), 0);
    EXPECT_EQ(save(folder, payload, sizeof payload), 8);
    chmod((name + "7.png").c_str(), 0644);
    EXPECT_EQ(entries(folder).size(), 8u); // no temporary file left, nothing else written
    // Failures leave no file and say why in one line: nothing to write, a
    // write cut short by a file-size limit, a folder that does not exist.
    const std::string empty = folder + "/empty";
    ASSERT_EQ(mkdir(empty.c_str(), 0700), 0);
    std::string message;
    EXPECT_EQ(save(empty, payload, 0, &message), 0);
    EXPECT_NE(message.find("screenshot not saved"), std::string::npos);
    std::vector<unsigned char> big(64 * 1024, 0x5A);
    struct rlimit saved, tiny;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    tiny = saved;
    tiny.rlim_cur = 1000;
    void (*previous)(int) = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    std::string tooLarge;
    int result = save(empty, big.data(), big.size(), &tooLarge);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previous);
    EXPECT_EQ(result, 0);
    EXPECT_NE(tooLarge.find("File too large"), std::string::npos) << tooLarge;
    EXPECT_EQ(save(empty + "/missing", payload, sizeof payload, &message), 0);
    for (const std::string& m : {message, tooLarge})
        EXPECT_EQ(std::count(m.begin(), m.end(), '\n'), 1);
    EXPECT_TRUE(entries(empty).empty());
    EXPECT_EQ(save(empty, big.data(), big.size()), 1); // and works again
    EXPECT_EQ(readAll(empty + "/screenshot1.png").size(), big.size());
    system(("rm -rf '" + folder + "'").c_str());
}

namespace {

struct Image {
    unsigned width = 0, height = 0;
    std::vector<unsigned char> rgba;
    Image(const char* name) {
        lodepng::decode(rgba, width, height, std::string(HOLLOWMARK_SOURCE_DIR) + "/Media/" + name);
    }
    const unsigned char* at(int x, int y) const { return &rgba[((size_t)y * width + x) * 4]; }
    int distance(int x0, int y0, int x1, int y1) const {
        int d = 0;
        for (int c = 0; c < 4; ++c)
            d += std::abs(at(x0, y0)[c] - at(x1, y1)[c]);
        return d;
    }
};

} // namespace

TEST(MediaImages, DashboardRegionsHoldWhatTheGameDrawsFromThem) {
    const Image img("dashboard.png");
    ASSERT_TRUE(img.width == 640 && img.height == 256);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 640; ++x) {
            bool glyph = y < 59 && (y / 20) * 32 + x / 20 < 95,
                 panel = x < 180 && y >= 60 && y < 119;
            bool pointer = x >= 440 && y >= 60 && y < 120, banner = y >= 120;
            if (!glyph && !panel && !pointer && !banner) {
                ASSERT_EQ(img.at(x, y)[3], 0) << x << "," << y;
            }
            if (banner) {
                ASSERT_GT(img.at(x, y)[3], 230) << x << "," << y;
            }
            if (banner && x > 0) {
                ASSERT_LT(img.distance(x, y, x - 1, y), 8) << "banners stretch sideways";
            }
            // Glyphs advance 10 pixels from a cell started 5 to the left:
            // ink stays in columns 4..15 and off the cell's last row.
            if (glyph && img.at(x, y)[3] > 0) {
                ASSERT_TRUE(x % 20 >= 4 && x % 20 <= 15 && y % 20 < 19) << x << "," << y;
            }
        }
    }
    for (int code = 33; code < 127; ++code) { // every glyph but the space has ink
        int ink = 0, cx = 20 * ((code - 32) % 32), cy = 20 * ((code - 32) / 32);
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 20; ++x) {
                ink += img.at(cx + x, cy + y)[3] > 128;
            }
        }
        EXPECT_GT(ink, 1) << (char)code;
    }
    // Panel pieces are stretched and tiled: each fill piece is flat.
    for (int s = 0; s < 3; ++s) {
        for (int i = 0; i < 400; ++i) {
            EXPECT_LT(img.distance(60 * s + 20 + i % 20, 79 + i / 20, 60 * s + 20, 79), 3) << s;
        }
    }
    EXPECT_GT(img.at(440 + 12, 60 + 10)[3], 128); // the pointer's tip at its hot spot
}

TEST(MediaImages, WorldTilesRepeatWithoutSeams) {
    const Image img("worldtexture.png");
    ASSERT_TRUE(img.width == 1024 && img.height == 1024);
    // The mean step between two columns (rows) against the mean step between
    // neighbours inside a tile: a tile that does not repeat shows a jump
    // where it wraps, a strip of block faces where one face meets the next.
    auto columns = [&](int a, int b, int y0, int h) {
        double sum = 0;
        for (int y = y0; y < y0 + h; ++y)
            sum += img.distance(a, y, b, y);
        return sum / h;
    };
    auto rows = [&](int a, int b, int x0, int w) {
        double sum = 0;
        for (int x = x0; x < x0 + w; ++x)
            sum += img.distance(x, a, x, b);
        return sum / w;
    };
    for (int tile : {64, 320}) { // water, terrain
        double inside = 0;
        for (int k = 0; k < 127; ++k)
            inside += columns(832 + k, 833 + k, tile, 128) + rows(tile + k, tile + k + 1, 832, 128);
        inside /= 254;
        EXPECT_LT(columns(959, 832, tile, 128), 1.6 * inside) << tile;
        EXPECT_LT(rows(tile + 127, tile, 832, 128), 1.6 * inside) << tile;
    }
    float blue = 0, red = 0;
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            blue += img.at(832 + x, 64 + y)[2] - img.at(832 + x, 64 + y)[0];
            red += img.at(832 + x, 832 + y)[0] - img.at(832 + x, 832 + y)[2];
        }
    }
    EXPECT_GT(blue / 16384, 50) << "water is blue";
    EXPECT_GT(red / 16384, 50) << "figures are warm";
}
