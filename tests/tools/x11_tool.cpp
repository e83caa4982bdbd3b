// x11_tool close WINDOW: WM_DELETE_WINDOW, as a window manager's close button
//   sends it (xdotool's windowclose destroys the window instead).
// x11_tool frames WINDOW X Y [x y w h] FILE: waits for two drawn frames. The
//   pointer goes to (X + 2, Y), then to (X, Y), and each time the window must
//   change (the game draws its own pointer, when it swaps buffers). With a
//   rectangle, repeats until that stays the same over two frames. Saves the
//   last look in FILE as an RGB PNG.
// Exit status: 0 done, 1 nothing drawn for a minute, 2 usage or no display, 3 no window.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <lodepng.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

static bool windowError = false;
static int noteError(Display*, XErrorEvent*) { return windowError = true, 0; }

struct Look {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    bool sameIn(const Look& o, int x, int y, int w, int h) const {
        const int x0 = std::max(x, 0), x1 = std::min(x + w, width);
        for (int row = std::max(y, 0); row < std::min(y + h, height) && x0 < x1 && width == o.width && height == o.height; ++row)
            if (memcmp(&rgb[(row * width + x0) * 3], &o.rgb[(row * width + x0) * 3], (x1 - x0) * 3) != 0)
                return false;
        return width == o.width && height == o.height;
    }
};

// The part of the window on the screen; false once the window is gone.
static bool look(Display* display, Window window, Look& out) {
    XWindowAttributes a = {};
    int x = 0, y = 0;
    Window child;
    if (!XGetWindowAttributes(display, window, &a) || !XTranslateCoordinates(display, window, a.root, 0, 0, &x, &y, &child))
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
                out.rgb.push_back((pixel & mask) * 255ul / mask);
        }
    XDestroyImage(image);
    return true;
}

int main(int argc, char** argv) {
    const bool isClose = argc == 3 && strcmp(argv[1], "close") == 0;
    const bool isFrames = (argc == 6 || argc == 10) && strcmp(argv[1], "frames") == 0;
    const Window window = argc > 2 ? strtoul(argv[2], nullptr, 0) : 0;
    Display* display = XOpenDisplay(nullptr);
    if (!(isClose || isFrames) || window == 0 || display == nullptr)
        return fprintf(stderr, "usage: x11_tool close WINDOW | frames WINDOW X Y [x y w h] FILE\n"), 2;
    XSetErrorHandler(noteError);
    if (isClose) {
        XEvent event = {};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
        XSendEvent(display, window, False, NoEventMask, &event);
        XSync(display, False);
        return windowError ? 3 : 0;
    }
    int r[4] = {};
    for (int i = 0; i < 4 && argc == 10; i++)
        r[i] = atoi(argv[5 + i]);
    Look before, now;
    int waits = 0; // of 20 ms, and a look each
    if (!look(display, window, now))
        return 3;
    do {
        before = now;
        for (int nudge : {2, 0}) {
            const Look previous = now;
            XWarpPointer(display, None, window, 0, 0, 0, 0, atoi(argv[3]) + nudge, atoi(argv[4]));
            do {
                if (++waits > 3000)
                    return 1;
                usleep(20000);
                if (!look(display, window, now))
                    return 3;
            } while (now.sameIn(previous, 0, 0, 1 << 30, 1 << 30));
        }
    } while (argc == 10 && !now.sameIn(before, r[0], r[1], r[2], r[3]));
    return lodepng::encode(argv[argc - 1], now.rgb, now.width, now.height, LCT_RGB, 8) == 0 ? 0 : 1;
}
