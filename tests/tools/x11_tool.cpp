// x11_tool: what the end-to-end scripts do to the game's window that xdotool
// cannot, or not quickly enough on a loaded machine.
//   x11_tool close WINDOW          a WM_DELETE_WINDOW message, as a window
//                                  manager's close button sends (xdotool's
//                                  windowclose destroys the window instead)
//   x11_tool capture WINDOW FILE   what the window shows, as an 8-bit RGB PNG
//   x11_tool frames WINDOW X Y FILE [x y w h]
//       waits until the game has drawn two frames: the pointer is moved to
//       (X + 2, Y), then to (X, Y), and each time the window's content must
//       change (it changes only when the game swaps buffers, and the pointer
//       sprite follows). With a rectangle, repeats until the rectangle is
//       the same after two frames as before them. Saves the last look in FILE.
// WINDOW is decimal or 0x-hexadecimal. Exit status: 0 done; 1 no display,
// cannot write, or nothing drawn for 60 s; 2 bad arguments; 3 no such window.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <lodepng.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <unistd.h>
#include <vector>

static bool windowError = false;

static int noteError(Display*, XErrorEvent*) {
    windowError = true;
    return 0;
}

struct Look {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
};

static unsigned char channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0)
        return 0;
    while ((mask & 1ul) == 0)
        mask >>= 1, pixel >>= 1;
    return (unsigned char)((pixel & mask) * 255ul / mask);
}

// What the window shows, as far as it lies on the screen (a window may reach
// past it and only that part can be read). False when the window is gone.
static bool look(Display* display, Window window, Look& out) {
    XWindowAttributes attributes = {};
    int x = 0, y = 0;
    Window child;
    if (!XGetWindowAttributes(display, window, &attributes) ||
        !XTranslateCoordinates(display, window, attributes.root, 0, 0, &x, &y, &child))
        return false;
    out.width = std::min(attributes.width, WidthOfScreen(attributes.screen) - x);
    out.height = std::min(attributes.height, HeightOfScreen(attributes.screen) - y);
    XImage* image = XGetImage(display, window, 0, 0, (unsigned)out.width, (unsigned)out.height,
                              AllPlanes, ZPixmap);
    XSync(display, False);
    if (image == nullptr || windowError)
        return false;
    out.rgb.clear();
    for (int row = 0; row < out.height; ++row) {
        for (int column = 0; column < out.width; ++column) {
            const unsigned long pixel = XGetPixel(image, column, row);
            out.rgb.push_back(channel(pixel, image->red_mask));
            out.rgb.push_back(channel(pixel, image->green_mask));
            out.rgb.push_back(channel(pixel, image->blue_mask));
        }
    }
    XDestroyImage(image);
    return true;
}

static int save(const Look& image, const char* path) {
    if (lodepng::encode(path, image.rgb, (unsigned)image.width, (unsigned)image.height, LCT_RGB, 8) == 0)
        return 0;
    fprintf(stderr, "x11_tool: cannot write %s\n", path);
    return 1;
}

static bool sameIn(const Look& a, const Look& b, const int r[4]) {
    if (a.width != b.width || a.height != b.height)
        return false;
    const int x0 = std::max(r[0], 0), x1 = std::min(r[0] + r[2], a.width);
    for (int row = std::max(r[1], 0); row < std::min(r[1] + r[3], a.height) && x0 < x1; ++row) {
        const size_t at = ((size_t)row * a.width + x0) * 3;
        if (memcmp(&a.rgb[at], &b.rgb[at], (size_t)(x1 - x0) * 3) != 0)
            return false;
    }
    return true;
}

// Returns an exit status.
static int frames(Display* display, Window window, int x, int y, const char* path, const int* rect) {
    const int whole[4] = {0, 0, 1 << 30, 1 << 30};
    const time_t deadline = time(nullptr) + 60;
    Look before, now;
    if (!look(display, window, now))
        return 3;
    do {
        before = now;
        for (int nudge : {2, 0}) {
            const Look previous = now;
            XWarpPointer(display, None, window, 0, 0, 0, 0, x + nudge, y);
            XSync(display, False);
            do {
                if (time(nullptr) > deadline) {
                    fprintf(stderr, "x11_tool: the game drew nothing for 60 s\n");
                    return 1;
                }
                usleep(20000);
                if (!look(display, window, now))
                    return 3;
            } while (sameIn(now, previous, whole));
        }
    } while (rect != nullptr && !sameIn(now, before, rect));
    return save(now, path);
}

static void closeWindow(Display* display, Window window) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
}

int main(int argc, char** argv) {
    const char* command = argc > 2 ? argv[1] : "";
    const bool isClose = argc == 3 && strcmp(command, "close") == 0;
    const bool isCapture = argc == 4 && strcmp(command, "capture") == 0;
    const bool isFrames = (argc == 6 || argc == 10) && strcmp(command, "frames") == 0;
    char* end = nullptr;
    const unsigned long id = argc > 2 ? strtoul(argv[2], &end, 0) : 0;
    if (!(isClose || isCapture || isFrames) || id == 0 || *end != '\0') {
        fprintf(stderr, "usage: x11_tool close WINDOW | capture WINDOW FILE | frames WINDOW X Y FILE [x y w h]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        fprintf(stderr, "x11_tool: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(noteError);
    int status = 0, rect[4] = {};
    Look image;
    if (isClose) {
        closeWindow(display, (Window)id);
        status = windowError ? 3 : 0;
    } else if (isCapture) {
        status = look(display, (Window)id, image) ? save(image, argv[3]) : 3;
    } else {
        for (int i = 0; i < 4 && argc == 10; i++)
            rect[i] = atoi(argv[6 + i]);
        status = frames(display, (Window)id, atoi(argv[3]), atoi(argv[4]), argv[5], argc == 10 ? rect : nullptr);
    }
    XCloseDisplay(display);
    if (status == 3)
        fprintf(stderr, "x11_tool: no window 0x%lx\n", id);
    return status;
}
