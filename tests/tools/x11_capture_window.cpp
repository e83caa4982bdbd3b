// x11_capture_window: saves what a window shows as an 8-bit RGB PNG, so an
// end-to-end test can look at the real frame.
// Usage: x11_capture_window <window id> <file.png>
// Exit status: 0 saved, 1 no display, no such window or cannot write, 2 bad arguments.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cstdio>
#include <cstdlib>
#include <lodepng.h>
#include <vector>

static bool windowError = false;

static int noteError(Display*, XErrorEvent*) {
    windowError = true;
    return 0;
}

// Shift that moves a channel mask's lowest set bit to bit 0.
static int maskShift(unsigned long mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1ul) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

static unsigned char channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) {
        return 0;
    }
    unsigned long value = (pixel & mask) >> maskShift(mask);
    unsigned long maximum = mask >> maskShift(mask);
    return (unsigned char)(value * 255ul / maximum);
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: x11_capture_window <window id> <file.png>\n");
        return 2;
    }
    char* end = nullptr;
    unsigned long id = strtoul(argv[1], &end, 0);
    if (end == argv[1] || *end != '\0' || id == 0) {
        fprintf(stderr, "x11_capture_window: not a window id: %s\n", argv[1]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        fprintf(stderr, "x11_capture_window: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(noteError);
    Window window = (Window)id;
    XWindowAttributes attributes = {};
    if (!XGetWindowAttributes(display, window, &attributes) || windowError) {
        fprintf(stderr, "x11_capture_window: no window 0x%lx\n", id);
        return 1;
    }
    XImage* image = XGetImage(display, window, 0, 0, (unsigned)attributes.width,
                              (unsigned)attributes.height, AllPlanes, ZPixmap);
    XSync(display, False);
    if (image == nullptr || windowError) {
        fprintf(stderr, "x11_capture_window: cannot read window 0x%lx\n", id);
        return 1;
    }
    std::vector<unsigned char> rgb((size_t)image->width * (size_t)image->height * 3);
    size_t at = 0;
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            unsigned long pixel = XGetPixel(image, x, y);
            rgb[at++] = channel(pixel, image->red_mask);
            rgb[at++] = channel(pixel, image->green_mask);
            rgb[at++] = channel(pixel, image->blue_mask);
        }
    }
    unsigned error =
        lodepng::encode(argv[2], rgb, (unsigned)image->width, (unsigned)image->height, LCT_RGB, 8);
    XDestroyImage(image);
    XCloseDisplay(display);
    if (error != 0) {
        fprintf(stderr, "x11_capture_window: cannot write %s: %s\n", argv[2],
                lodepng_error_text(error));
        return 1;
    }
    return 0;
}
