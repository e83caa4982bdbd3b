// x11_tool: what the end-to-end scripts need and xdotool cannot do.
//   x11_tool close WINDOW   WM_DELETE_WINDOW, as a window manager's close
//                           button sends (xdotool's windowclose destroys it)
//   x11_tool frames WINDOW X Y [x y w h] FILE
//       waits for two drawn frames: the pointer goes to (X + 2, Y), then to
//       (X, Y), and each time the window's content must change (the game
//       draws its own pointer, and only when it swaps buffers). With a
//       rectangle, repeats until it stays the same over two frames. Saves the
//       last look in FILE as an RGB PNG.
// Exit status: 0 done, 1 nothing drawn for 60 s or no display, 2 usage, 3 no window.
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
static int noteError(Display*, XErrorEvent*) { return windowError = true, 0; }

struct Look {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
};

static unsigned char channel(unsigned long pixel, unsigned long mask) {
    for (; mask != 0 && (mask & 1ul) == 0; mask >>= 1)
        pixel >>= 1;
    return mask == 0 ? 0 : (unsigned char)((pixel & mask) * 255ul / mask);
}

// The part of the window on the screen; false when the window is gone.
static bool look(Display* display, Window window, Look& out) {
    XWindowAttributes a = {};
    int x = 0, y = 0;
    Window child;
    if (!XGetWindowAttributes(display, window, &a) ||
        !XTranslateCoordinates(display, window, a.root, 0, 0, &x, &y, &child))
        return false;
    out.width = std::min(a.width, WidthOfScreen(a.screen) - x);
    out.height = std::min(a.height, HeightOfScreen(a.screen) - y);
    XImage* image = XGetImage(display, window, 0, 0, out.width, out.height, AllPlanes, ZPixmap);
    XSync(display, False);
    if (image == nullptr || windowError)
        return false;
    out.rgb.clear();
    for (int row = 0; row < out.height; ++row)
        for (int column = 0; column < out.width; ++column) {
            const unsigned long pixel = XGetPixel(image, column, row);
            for (unsigned long mask : {image->red_mask, image->green_mask, image->blue_mask})
                out.rgb.push_back(channel(pixel, mask));
        }
    XDestroyImage(image);
    return true;
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

static int frames(Display* display, Window window, int x, int y, const int* rect, const char* path) {
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
                if (time(nullptr) > deadline)
                    return 1;
                usleep(20000);
                if (!look(display, window, now))
                    return 3;
            } while (sameIn(now, previous, whole));
        }
    } while (rect != nullptr && !sameIn(now, before, rect));
    return lodepng::encode(path, now.rgb, now.width, now.height, LCT_RGB, 8) == 0 ? 0 : 1;
}

int main(int argc, char** argv) {
    const bool isClose = argc == 3 && strcmp(argv[1], "close") == 0;
    const bool isFrames = (argc == 6 || argc == 10) && strcmp(argv[1], "frames") == 0;
    const Window window = argc > 2 ? strtoul(argv[2], nullptr, 0) : 0;
    Display* display = XOpenDisplay(nullptr);
    if (!(isClose || isFrames) || window == 0 || display == nullptr) {
        fprintf(stderr, "usage: x11_tool close WINDOW | frames WINDOW X Y [x y w h] FILE (with a display)\n");
        return 2;
    }
    XSetErrorHandler(noteError);
    int status = 0, rect[4] = {};
    if (isClose) {
        XEvent event = {};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
        XSendEvent(display, window, False, NoEventMask, &event);
        XSync(display, False);
        status = windowError ? 3 : 0;
    } else {
        for (int i = 0; i < 4 && argc == 10; i++)
            rect[i] = atoi(argv[5 + i]);
        status = frames(display, window, atoi(argv[3]), atoi(argv[4]), argc == 10 ? rect : nullptr, argv[argc - 1]);
    }
    XCloseDisplay(display);
    return status;
}
