// x11_close_window: asks a window to close the way a window manager's close
// button does, with a WM_DELETE_WINDOW client message.
// Usage: x11_close_window <window id>   (decimal, or hexadecimal with 0x)
// Exit status: 0 sent, 1 no display or no such window, 2 bad arguments.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cstdio>
#include <cstdlib>

static bool windowError = false;

static int noteError(Display*, XErrorEvent*) {
    windowError = true;
    return 0;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: x11_close_window <window id>\n");
        return 2;
    }
    char* end = nullptr;
    unsigned long id = strtoul(argv[1], &end, 0);
    if (end == argv[1] || *end != '\0' || id == 0) {
        fprintf(stderr, "x11_close_window: not a window id: %s\n", argv[1]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        fprintf(stderr, "x11_close_window: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(noteError);
    Window window = (Window)id;
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    if (windowError) {
        fprintf(stderr, "x11_close_window: no window 0x%lx\n", id);
        return 1;
    }
    return 0;
}
