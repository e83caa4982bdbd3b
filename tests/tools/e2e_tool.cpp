// e2e_tool: what the end-to-end scripts need beyond xdotool. close WINDOW: WM_DELETE_WINDOW, as a
// window manager's close button sends it (xdotool's windowclose destroys the window instead).
// frames WINDOW X Y [x y w h] FILE: the pointer to (X + 2, Y), then (X, Y), each time waiting for
// the window to change (the game draws its own pointer), so two frames drawn; a warp unanswered
// for a second starts the pair again; with a rectangle, again until that rests over two frames;
// the last look saved as an RGB PNG. look WINDOW FILE: the window as it is, the pointer left alone
// (it may be held by the game). diff A B [x y w h]: pixels that differ. lit A x y w h: pixels that
// are not black. Status 1: unreadable, no fit or nothing drawn for a minute; 2: usage; 3: no
// window.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <lodepng.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

struct Look {
    unsigned width = 0, height = 0;
    std::vector<unsigned char> rgb;
};

// -1 when the looks or the rectangle do not fit.
static long differing(const Look& a, const Look& b, long x, long y, long w, long h) {
    if (a.width != b.width || a.height != b.height || x < 0 || y < 0 || w <= 0 || h <= 0 ||
        x + w > a.width || y + h > a.height)
        return -1;
    long count = 0;
    for (long row = y; row < y + h; ++row)
        for (long at = (row * a.width + x) * 3; at < (row * a.width + x + w) * 3; at += 3)
            count += memcmp(&a.rgb[at], &b.rgb[at], 3) != 0;
    return count;
}

static bool windowGone = false;
static int noteError(Display*, XErrorEvent*) {
    return windowGone = true, 0;
}

// The part of the window on the screen; false once the window is gone.
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
    if (image == nullptr || windowGone)
        return false;
    out.rgb.clear();
    for (unsigned row = 0; row < out.height; ++row)
        for (unsigned column = 0; column < out.width; ++column)
            for (unsigned long mask : {image->red_mask, image->green_mask, image->blue_mask})
                out.rgb.push_back((XGetPixel(image, column, row) & mask) * 255ul / mask);
    XDestroyImage(image);
    return true;
}

int main(int argc, char** argv) {
    const std::string verb = argc > 2 ? argv[1] : "";
    Look a, b;
    if ((verb == "diff" && (argc == 4 || argc == 8)) || (verb == "lit" && argc == 7)) {
        const bool lit = verb == "lit"; // against a black picture of the same size
        bool unreadable = lodepng::decode(a.rgb, a.width, a.height, argv[2], LCT_RGB, 8) != 0;
        if (lit) {
            b = a;
            std::fill(b.rgb.begin(), b.rgb.end(), 0);
        } else if (!unreadable) {
            unreadable = lodepng::decode(b.rgb, b.width, b.height, argv[3], LCT_RGB, 8) != 0;
        }
        if (unreadable)
            return fprintf(stderr, "e2e_tool: not a readable PNG\n"), 1;
        char** r = argv + (lit ? 3 : 4); // the rectangle
        const long n = argc == 4 ? differing(a, b, 0, 0, a.width, a.height)
                                 : differing(a, b, atol(r[0]), atol(r[1]), atol(r[2]), atol(r[3]));
        return n < 0 ? (fprintf(stderr, "e2e_tool: the images or the rectangle do not fit\n"), 1)
                     : (printf("%ld\n", n), 0);
    }
    const Window window = argc > 2 ? strtoul(argv[2], nullptr, 0) : 0;
    Display* display = XOpenDisplay(nullptr);
    if (!((verb == "close" && argc == 3) || (verb == "look" && argc == 4) ||
          (verb == "frames" && (argc == 6 || argc == 10))) ||
        window == 0 || display == nullptr)
        return fprintf(stderr, "usage: e2e_tool close WINDOW | frames WINDOW X Y [x y w h] FILE | "
                               "look WINDOW FILE | diff A B [x y w h] | lit A x y w h\n"),
               2;
    XSetErrorHandler(noteError);
    if (verb == "close") {
        XClientMessageEvent event = {ClientMessage,
                                     0,
                                     False,
                                     display,
                                     window,
                                     XInternAtom(display, "WM_PROTOCOLS", False),
                                     32,
                                     {}};
        event.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
        XSendEvent(display, window, False, NoEventMask, (XEvent*)&event);
        XSync(display, False);
        return windowGone ? 3 : 0;
    }
    int waits = 0; // of 20 ms, a look each
    if (!look(display, window, b))
        return 3;
    if (verb == "look")
        return lodepng::encode(argv[3], b.rgb, b.width, b.height, LCT_RGB, 8) == 0 ? 0 : 1;
    // A change may be a frame drawn before the game read the warp (its first frame has no pointer);
    // it may then read both warps in one frame and draw the pointer where it was, and nothing
    // changes. So a warp unanswered for a second starts the pair again: X + 2 is news to the game.
    do {
        a = b;
        for (int step = 0; step < 2;) {
            const Look previous = b;
            XWarpPointer(display, None, window, 0, 0, 0, 0, atoi(argv[3]) + 2 - 2 * step,
                         atoi(argv[4]));
            int patience = 50;
            do
                if (++waits > 3000 || (usleep(20000), !look(display, window, b)))
                    return waits > 3000 ? 1 : 3;
            while (differing(b, previous, 0, 0, b.width, b.height) == 0 && --patience > 0);
            step = patience > 0 ? step + 1 : 0;
        }
    } while (argc == 10 &&
             differing(a, b, atoi(argv[5]), atoi(argv[6]), atoi(argv[7]), atoi(argv[8])) != 0);
    return lodepng::encode(argv[argc - 1], b.rgb, b.width, b.height, LCT_RGB, 8) == 0 ? 0 : 1;
}
