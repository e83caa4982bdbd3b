// test_screenshot.cpp: the screenshot's image, its PNG encoding and the
// numbered, all-or-nothing file write.
#include <gtest/gtest.h>
#include <lodepng.h>

#include <algorithm>
#include <filesystem>
#include <signal.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "screenshot/png_file.h"

namespace {

int entryCount(const std::string& folder) { // hidden temporary files too
    const std::filesystem::directory_iterator entries(folder);
    return (int)std::distance(begin(entries), end(entries));
}

std::string readAll(const std::string& path) {
    std::vector<unsigned char> bytes;
    return lodepng::load_file(bytes, path) ? "<missing>" : std::string(bytes.begin(), bytes.end());
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

} // namespace

TEST(ScreenshotImage, RowsFlipAlphaIsOpaqueAndTheFileIsRgbWithItsComment) {
    const unsigned char frame[24] = {1,  2,  3,  0,   4,  5,  6,  17, 7,  8,  9,  128,
                                     10, 11, 12, 255, 13, 14, 15, 1,  16, 17, 18, 0};
    const unsigned char expected[24] = {10, 11, 12, 255, 13, 14, 15, 255, 16, 17, 18, 255,
                                        1,  2,  3,  255, 4,  5,  6,  255, 7,  8,  9,  255};
    unsigned char image[24], image2[24];
    memset(image, 0xAA, sizeof image);
    flipFrameToImage(frame, 3, 2, image);
    EXPECT_EQ(0, memcmp(image, expected, sizeof image));
    // The captured alpha does not change the file; one grey is still RGB.
    std::vector<unsigned char> other(frame, frame + 24), png, png2, grey(8 * 8 * 4, 128), greyPng;
    for (int i = 3; i < 24; i += 4)
        other[i] = (unsigned char)(i * 13);
    flipFrameToImage(other.data(), 3, 2, image2);
    ASSERT_TRUE(encodeScreenshotPng(image, 3, 2, png) && encodeScreenshotPng(image2, 3, 2, png2));
    EXPECT_EQ(png, png2);
    ASSERT_TRUE(encodeScreenshotPng(grey.data(), 8, 8, greyPng));
    for (const std::vector<unsigned char>* file : {&png, &greyPng}) {
        LodePNGState state;
        lodepng_state_init(&state);
        unsigned char* decoded = nullptr;
        unsigned w = 0, h = 0;
        ASSERT_EQ(lodepng_decode(&decoded, &w, &h, &state, file->data(), file->size()), 0u);
        const LodePNGInfo& info = state.info_png;
        EXPECT_TRUE(info.color.colortype == LCT_RGB && info.color.bitdepth == 8);
        EXPECT_TRUE(info.text_num >= 1 && std::string(info.text_keys[0]) == "Comment" &&
                    std::string(info.text_strings[0]) == "Created with LodePNG");
        if (file == &png) { // top row first
            EXPECT_TRUE(w == 3 && h == 2 && decoded[0] == 10 && decoded[6] == 15);
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
    const unsigned char payload[] = "not really a png, but bytes all the same";
    char pattern[] = "/tmp/hollowmark_png_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string folder = pattern, name = folder + "/screenshot";
    lodepng::save_file(std::vector<unsigned char>{'2'}, name + "2.png");
    EXPECT_EQ(save(folder, payload, sizeof payload), 1); // a gap is filled first
    EXPECT_EQ(save(folder, payload, sizeof payload), 3);
    lodepng::save_file(std::vector<unsigned char>{'4'}, name + "4.png");
    EXPECT_EQ(save(folder, payload, sizeof payload), 5);
    EXPECT_EQ(readAll(name + "5.png"), std::string((const char*)payload, sizeof payload));
    EXPECT_EQ(readAll(name + "2.png") + readAll(name + "4.png"), "24");
    // A dangling link is not written through; an unreadable file keeps its name.
    ASSERT_EQ(symlink((folder + "/elsewhere").c_str(), (name + "6.png").c_str()), 0);
    lodepng::save_file(std::vector<unsigned char>{'7'}, name + "7.png");
    chmod((name + "7.png").c_str(), 0);
    EXPECT_EQ(save(folder, payload, sizeof payload), 8);
    chmod((name + "7.png").c_str(), 0644);
    EXPECT_EQ(entryCount(folder), 8); // no temporary file left, nothing else written
    // Failures leave no file and say why in one line: nothing to write, a
    // write cut short by a file-size limit, a folder that does not exist.
    const std::string empty = folder + "/empty";
    ASSERT_EQ(mkdir(empty.c_str(), 0700), 0);
    std::string message, tooLarge;
    EXPECT_EQ(save(empty, payload, 0, &message), 0);
    EXPECT_NE(message.find("screenshot not saved"), std::string::npos);
    EXPECT_STREQ(screenshotProblem, "PNG encoding failed"); // the few words the screen shows
    std::vector<unsigned char> big(64 * 1024, 0x5A);
    struct rlimit saved, tiny;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    tiny = saved;
    tiny.rlim_cur = 1000;
    void (*previous)(int) = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    int result = save(empty, big.data(), big.size(), &tooLarge);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previous);
    EXPECT_EQ(result, 0);
    EXPECT_NE(tooLarge.find("File too large"), std::string::npos) << tooLarge;
    EXPECT_STREQ(screenshotProblem, "File too large");
    EXPECT_EQ(save(empty + "/missing", payload, sizeof payload, &message), 0);
    EXPECT_STREQ(screenshotProblem, "No such file or directory");
    for (const std::string& m : {message, tooLarge})
        EXPECT_EQ(std::count(m.begin(), m.end(), '\n'), 1);
    EXPECT_EQ(entryCount(empty), 0);
    EXPECT_EQ(save(empty, big.data(), big.size()), 1); // and works again
    EXPECT_EQ(readAll(empty + "/screenshot1.png").size(), big.size());
    system(("rm -rf '" + folder + "'").c_str());
}
