// Screenshot image preparation, PNG encoding and the numbered, all-or-nothing
// file write.
#include <gtest/gtest.h>

#include <dirent.h>
#include <lodepng.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>
#include <string>
#include <vector>

#include "screenshot/png_file.h"

namespace {

std::string makeFolder() {
    char pattern[] = "/tmp/hollowmark_png_XXXXXX";
    const char* made = mkdtemp(pattern);
    EXPECT_NE(made, nullptr);
    return made ? made : "";
}

std::set<std::string> folderEntries(const std::string& folder) {
    std::set<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return names;
    }
    while (dirent* entry = readdir(dir)) {
        if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0) {
            names.insert(entry->d_name);
        }
    }
    closedir(dir);
    return names;
}

void writeText(const std::string& path, const char* text) {
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    fputs(text, file);
    fclose(file);
}

std::string readAll(const std::string& path) {
    std::string content;
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return "<missing>";
    }
    char buffer[4096];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) {
        content.append(buffer, got);
    }
    fclose(file);
    return content;
}

void removeFolder(const std::string& folder) {
    for (const std::string& name : folderEntries(folder)) {
        unlink((folder + "/" + name).c_str());
    }
    rmdir(folder.c_str());
}

const unsigned char payload[] = "not really a png, but bytes all the same";

} // namespace

TEST(ScreenshotImage, RowsAreFlippedAndAlphaIsOpaque) {
    // 3 x 2 frame, bottom row first as glReadPixels gives it.
    const unsigned char frame[2 * 3 * 4] = {
        1,  2,  3,  0,   4,  5,  6,  17, 7,  8,  9,  128, // bottom row of the window
        10, 11, 12, 255, 13, 14, 15, 1,  16, 17, 18, 0,   // top row
    };
    unsigned char image[sizeof frame];
    memset(image, 0xAA, sizeof image);
    flipFrameToImage(frame, 3, 2, image);
    const unsigned char expected[sizeof frame] = {
        10, 11, 12, 255, 13, 14, 15, 255, 16, 17, 18, 255, // the frame's top row
        1,  2,  3,  255, 4,  5,  6,  255, 7,  8,  9,  255, // its bottom row
    };
    for (size_t i = 0; i < sizeof frame; ++i) {
        EXPECT_EQ(image[i], expected[i]) << "byte " << i;
    }
}

TEST(ScreenshotImage, EncodesAsRgbWithTheCommentAndIgnoresCapturedAlpha) {
    const int width = 5, height = 4;
    std::vector<unsigned char> frameA(width * height * 4), frameB(width * height * 4);
    for (int i = 0; i < width * height; ++i) {
        for (int c = 0; c < 3; ++c) {
            frameA[4 * i + c] = frameB[4 * i + c] = (unsigned char)(i * 11 + c * 70);
        }
        frameA[4 * i + 3] = 255;
        frameB[4 * i + 3] = (unsigned char)(i * 13); // alpha that must not matter
    }
    std::vector<unsigned char> imageA(frameA.size()), imageB(frameB.size()), pngA, pngB;
    flipFrameToImage(frameA.data(), width, height, imageA.data());
    flipFrameToImage(frameB.data(), width, height, imageB.data());
    ASSERT_TRUE(encodeScreenshotPng(imageA.data(), width, height, pngA));
    ASSERT_TRUE(encodeScreenshotPng(imageB.data(), width, height, pngB));
    EXPECT_EQ(pngA, pngB);

    LodePNGState state;
    lodepng_state_init(&state);
    unsigned char* decoded = nullptr;
    unsigned w = 0, h = 0;
    ASSERT_EQ(lodepng_decode(&decoded, &w, &h, &state, pngA.data(), pngA.size()), 0u);
    EXPECT_EQ(w, 5u);
    EXPECT_EQ(h, 4u);
    EXPECT_EQ(state.info_png.color.colortype, LCT_RGB);
    EXPECT_EQ(state.info_png.color.bitdepth, 8u);
    bool hasComment = false;
    for (size_t i = 0; i < state.info_png.text_num; ++i) {
        if (strcmp(state.info_png.text_keys[i], "Comment") == 0) {
            hasComment = strcmp(state.info_png.text_strings[i], "Created with LodePNG") == 0;
        }
    }
    EXPECT_TRUE(hasComment);
    // The top-left pixel of the file is the first pixel of the frame's last row.
    const int lastRow = (height - 1) * width * 4;
    EXPECT_EQ(decoded[0], frameA[lastRow + 0]);
    EXPECT_EQ(decoded[1], frameA[lastRow + 1]);
    EXPECT_EQ(decoded[2], frameA[lastRow + 2]);
    EXPECT_EQ(decoded[3], 255);
    free(decoded);
    lodepng_state_cleanup(&state);

    // A picture of one grey is still stored as 8-bit RGB, not as grey or a palette.
    std::vector<unsigned char> grey(8 * 8 * 4, 128), greyPng;
    ASSERT_TRUE(encodeScreenshotPng(grey.data(), 8, 8, greyPng));
    LodePNGState greyState;
    lodepng_state_init(&greyState);
    ASSERT_EQ(lodepng_inspect(&w, &h, &greyState, greyPng.data(), greyPng.size()), 0u);
    EXPECT_EQ(greyState.info_png.color.colortype, LCT_RGB);
    EXPECT_EQ(greyState.info_png.color.bitdepth, 8u);
    lodepng_state_cleanup(&greyState);

    std::vector<unsigned char> none;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(encodeScreenshotPng(imageA.data(), 0, 4, none));
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(none.empty());
}

TEST(ScreenshotFile, FirstFreeNumberIsTakenAndNothingIsOverwritten) {
    const std::string folder = makeFolder();
    for (int n = 1; n <= 3; ++n) {
        writeText(folder + "/screenshot" + std::to_string(n) + ".png", "old");
    }
    EXPECT_EQ(writeNumberedScreenshot(folder.c_str(), payload, sizeof payload), 4);
    EXPECT_EQ(readAll(folder + "/screenshot4.png"),
              std::string((const char*)payload, sizeof payload));
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(readAll(folder + "/screenshot" + std::to_string(n) + ".png"), "old");
    }
    EXPECT_EQ(folderEntries(folder).size(), 4u); // no temporary file left over
    removeFolder(folder);
}

TEST(ScreenshotFile, GapsAreFilledFirst) {
    const std::string folder = makeFolder();
    writeText(folder + "/screenshot2.png", "two");
    EXPECT_EQ(writeNumberedScreenshot(folder.c_str(), payload, sizeof payload), 1);
    EXPECT_EQ(writeNumberedScreenshot(folder.c_str(), payload, sizeof payload), 3);
    EXPECT_EQ(readAll(folder + "/screenshot2.png"), "two");
    const std::set<std::string> expected = {"screenshot1.png", "screenshot2.png",
                                            "screenshot3.png"};
    EXPECT_EQ(folderEntries(folder), expected);
    removeFolder(folder);
}

TEST(ScreenshotFile, NamesHeldByUnreadableFilesOrDanglingLinksAreSkipped) {
    const std::string folder = makeFolder();
    // A dangling link must not be followed and written through.
    ASSERT_EQ(symlink((folder + "/elsewhere.png").c_str(), (folder + "/screenshot1.png").c_str()),
              0);
    writeText(folder + "/screenshot2.png", "locked");
    chmod((folder + "/screenshot2.png").c_str(), 0);
    EXPECT_EQ(writeNumberedScreenshot(folder.c_str(), payload, sizeof payload), 3);
    struct stat info;
    EXPECT_NE(lstat((folder + "/elsewhere.png").c_str(), &info), 0);
    chmod((folder + "/screenshot2.png").c_str(), 0644);
    EXPECT_EQ(readAll(folder + "/screenshot2.png"), "locked");
    removeFolder(folder);
}

TEST(ScreenshotFile, FailedWriteLeavesNoFileAndSaysWhy) {
    const std::string folder = makeFolder();

    // Nothing to write: no file at all rather than an empty one.
    testing::internal::CaptureStderr();
    EXPECT_EQ(writeNumberedScreenshot(folder.c_str(), payload, 0), 0);
    std::string message = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(folderEntries(folder).empty());
    EXPECT_NE(message.find("screenshot not saved"), std::string::npos);
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1);

    // A real write failure part-way: a file-size limit below the data's size
    // makes write() fail with EFBIG after the first bytes.
    std::vector<unsigned char> big(64 * 1024, 0x5A);
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit tiny = saved;
    tiny.rlim_cur = 1000;
    void (*previous)(int) = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    testing::internal::CaptureStderr();
    const int result = writeNumberedScreenshot(folder.c_str(), big.data(), big.size());
    message = testing::internal::GetCapturedStderr();
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previous);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(folderEntries(folder).empty());
    EXPECT_NE(message.find("File too large"), std::string::npos) << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1);

    // A folder that cannot take files: nothing written, one line.
    testing::internal::CaptureStderr();
    EXPECT_EQ(writeNumberedScreenshot((folder + "/missing").c_str(), payload, sizeof payload), 0);
    message = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1);

    // The same folder works again once the cause is gone.
    EXPECT_EQ(writeNumberedScreenshot(folder.c_str(), big.data(), big.size()), 1);
    EXPECT_EQ(readAll(folder + "/screenshot1.png").size(), big.size());
    removeFolder(folder);
}
