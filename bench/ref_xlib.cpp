// The floor for start-up: the least an Xlib program does to put up Kestrand's titled, fixed
// 578 x 273 window. It draws nothing and has no controls; it only answers the close button.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return 1;
    const int screen = DefaultScreen(display);
    constexpr unsigned width = 578;
    constexpr unsigned height = 273;
    const Window window =
        XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, width, height, 0,
                            BlackPixel(display, screen), WhitePixel(display, screen));

    const char title[] = "FEXO- Scenario Kestrand";
    XStoreName(display, window, title);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title),
                    static_cast<int>(std::strlen(title)));

    // A fixed size is the window manager's business; these hints are how it is told.
    if (XSizeHints* hints = XAllocSizeHints()) {
        hints->flags = PMinSize | PMaxSize;
        hints->min_width = hints->max_width = width;
        hints->min_height = hints->max_height = height;
        XSetWMNormalHints(display, window, hints);
        XFree(hints);
    }
    Atom close_request = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &close_request, 1);
    XSelectInput(display, window, ExposureMask | StructureNotifyMask);
    XMapWindow(display, window);

    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == ClientMessage &&
            static_cast<Atom>(event.xclient.data.l[0]) == close_request)
            break;
    }
    XDestroyWindow(display, window);
    XCloseDisplay(display);
    return 0;
}
