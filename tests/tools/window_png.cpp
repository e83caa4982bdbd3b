// window_png.cpp: saves what an X window shows as an 8-bit RGB PNG.
//   window_png WINDOW-ID OUT.png
// The window id is decimal or 0x-hex, as xdotool prints it. Exit status 0 on
// success, 2 when the display, the window or the file cannot be used.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <lodepng.h>
#include <stdio.h>
#include <stdlib.h>

#include <vector>

// Position of the lowest set bit of a channel mask, and its width.
static void maskShape(unsigned long mask, int& shift, int& bits) {
    shift = 0;
    bits = 0;
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++shift;
    }
    while (mask & 1) {
        mask >>= 1;
        ++bits;
    }
}

static unsigned char channel(unsigned long pixel, int shift, int bits) {
    if (bits == 0) {
        return 0;
    }
    const unsigned long value = (pixel >> shift) & ((1ul << bits) - 1);
    return (unsigned char)(value * 255 / ((1ul << bits) - 1));
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: window_png WINDOW-ID OUT.png\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        fprintf(stderr, "window_png: cannot open the display\n");
        return 2;
    }
    const Window window = (Window)strtoul(argv[1], nullptr, 0);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) {
        fprintf(stderr, "window_png: no window %s\n", argv[1]);
        return 2;
    }
    XImage* image =
        XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (image == nullptr) {
        fprintf(stderr, "window_png: cannot read window %s\n", argv[1]);
        return 2;
    }
    int rs = 0, rb = 0, gs = 0, gb = 0, bs = 0, bb = 0;
    maskShape(image->red_mask, rs, rb);
    maskShape(image->green_mask, gs, gb);
    maskShape(image->blue_mask, bs, bb);
    std::vector<unsigned char> rgb((size_t)attributes.width * attributes.height * 3);
    for (int y = 0; y < attributes.height; ++y) {
        for (int x = 0; x < attributes.width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            unsigned char* out = &rgb[((size_t)y * attributes.width + x) * 3];
            out[0] = channel(pixel, rs, rb);
            out[1] = channel(pixel, gs, gb);
            out[2] = channel(pixel, bs, bb);
        }
    }
    XDestroyImage(image);
    XCloseDisplay(display);
    const unsigned error =
        lodepng_encode24_file(argv[2], rgb.data(), attributes.width, attributes.height);
    if (error != 0) {
        fprintf(stderr, "window_png: %s: %s\n", argv[2], lodepng_error_text(error));
        return 2;
    }
    return 0;
}
