// pixel_format.h: which upload format an image's pixels need. Pure, so the
// rule is tested without GL; the texture code maps it to GL constants.
#pragma once

enum PixelFormat {
    PixelRGBA,       // 4 bytes, red in the lowest byte
    PixelBGRA,       // 4 bytes, red elsewhere
    PixelRGB,        // 3 bytes, red in the lowest byte
    PixelBGR,        // 3 bytes, red elsewhere
    PixelUnsupported // paletted, grey, 16-bit: refused with a message, no texture made
};

PixelFormat choosePixelFormat(int bytesPerPixel, unsigned int redMask);
