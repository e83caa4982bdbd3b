// pixel_format.cpp: the upload format an image's pixel layout needs.
#include "render/pixel_format.h"

const unsigned int RED_IN_LOWEST_BYTE = 0xFF;

PixelFormat choosePixelFormat(int bytesPerPixel, unsigned int redMask) {
    bool redFirst = redMask == RED_IN_LOWEST_BYTE;
    if (bytesPerPixel == 4) {
        return redFirst ? PixelRGBA : PixelBGRA;
    }
    if (bytesPerPixel == 3) {
        return redFirst ? PixelRGB : PixelBGR;
    }
    return PixelUnsupported;
}
