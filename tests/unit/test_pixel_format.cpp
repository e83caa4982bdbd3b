// test_pixel_format.cpp: which upload format an image's pixel layout gets.
#include "render/pixel_format.h"

#include <gtest/gtest.h>

TEST(PixelFormat, ByBytesAndRedMask) {
    EXPECT_EQ(choosePixelFormat(4, 0x000000FFu), PixelRGBA);
    EXPECT_EQ(choosePixelFormat(4, 0xFF000000u), PixelBGRA);
    EXPECT_EQ(choosePixelFormat(4, 0x00FF0000u), PixelBGRA);
    EXPECT_EQ(choosePixelFormat(3, 0x000000FFu), PixelRGB);
    EXPECT_EQ(choosePixelFormat(3, 0x00FF0000u), PixelBGR);
    // Paletted, grey, 16-bit: converted before upload, never sent as is.
    EXPECT_EQ(choosePixelFormat(1, 0u), PixelUnsupported);
    EXPECT_EQ(choosePixelFormat(2, 0xF800u), PixelUnsupported);
    EXPECT_EQ(choosePixelFormat(2, 0x00FFu), PixelUnsupported);
    EXPECT_EQ(choosePixelFormat(0, 0x00FFu), PixelUnsupported);
}
