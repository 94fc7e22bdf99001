// e2e_closewindow WINDOW: asks a top-level window to close the way a window manager does when
// the pupil presses its close box: a WM_PROTOCOLS client message carrying WM_DELETE_WINDOW.
// The end-to-end tests run without a window manager, so nothing else would deliver it;
// destroying the window instead (xdotool windowclose) would skip the program's close handling.
//
// WINDOW is the id printed by `xdotool search` (decimal, or hexadecimal with 0x).

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s WINDOW\n", argv[0]);
        return 2;
    }
    char* end = nullptr;
    const unsigned long window = std::strtoul(argv[1], &end, 0);
    if (!end || *end != '\0' || window == 0) {
        std::fprintf(stderr, "not a window id: %s\n", argv[1]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "cannot open the display\n");
        return 1;
    }

    // Refuse a window that does not take part in the protocol: the message would be ignored
    // and the test would wait in vain.
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    Atom* supported = nullptr;
    int count = 0;
    bool takesDelete = false;
    if (XGetWMProtocols(display, window, &supported, &count)) {
        for (int i = 0; i < count; ++i)
            takesDelete = takesDelete || supported[i] == deleteWindow;
        XFree(supported);
    }
    if (!takesDelete) {
        std::fprintf(stderr, "window 0x%lx does not accept WM_DELETE_WINDOW\n", window);
        XCloseDisplay(display);
        return 1;
    }

    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(deleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    if (!sent) {
        std::fprintf(stderr, "could not send the message to 0x%lx\n", window);
        return 1;
    }
    return 0;
}
