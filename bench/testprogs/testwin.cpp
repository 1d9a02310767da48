// A window that misbehaves on request, for the probe's tests: late to map, late or wrong with
// its title, never mapped, reparented, ending early, deaf to SIGTERM, or leaving a child behind.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <unistd.h>

namespace {

struct Behaviour {
    std::string title = "FEXO- Scenario Kestrand";
    std::optional<std::string> initial_title; // set at creation, before the real one
    int map_delay_ms = 0;
    int title_delay_ms = -1; // after mapping; below zero: set before mapping
    int exit_after_ms = 0;   // 0: run until killed
    bool map = true;
    bool wm_name = true;
    bool net_wm_name = true;
    bool ignore_term = false;
    bool grandchild = false;
    bool reparent = false; // into a frame of its own, as a window manager would
};

void sleep_ms(int ms) {
    if (ms <= 0)
        return;
    timespec ts{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0) {
    }
}

std::optional<Behaviour> parse(int argc, char** argv) {
    Behaviour b;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "--no-map")
            b.map = false;
        else if (arg == "--wm-only")
            b.net_wm_name = false;
        else if (arg == "--net-only")
            b.wm_name = false;
        else if (arg == "--ignore-term")
            b.ignore_term = true;
        else if (arg == "--grandchild")
            b.grandchild = true;
        else if (arg == "--reparent")
            b.reparent = true;
        else if (arg == "--title" && has_value)
            b.title = argv[++i];
        else if (arg == "--initial-title" && has_value)
            b.initial_title = argv[++i];
        else if (arg == "--map-delay" && has_value)
            b.map_delay_ms = std::atoi(argv[++i]);
        else if (arg == "--title-delay" && has_value)
            b.title_delay_ms = std::atoi(argv[++i]);
        else if (arg == "--exit-after" && has_value)
            b.exit_after_ms = std::atoi(argv[++i]);
        else
            return std::nullopt;
    }
    return b;
}

void set_title(Display* display, Window window, const Behaviour& b, const std::string& title) {
    if (b.wm_name)
        XStoreName(display, window, title.c_str());
    if (b.net_wm_name)
        XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                        XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(title.data()),
                        static_cast<int>(title.size()));
    XFlush(display);
}

} // namespace

int main(int argc, char** argv) {
    const std::optional<Behaviour> parsed = parse(argc, argv);
    if (!parsed)
        return 2;
    const Behaviour& b = *parsed;
    if (b.ignore_term)
        std::signal(SIGTERM, SIG_IGN);
    if (b.grandchild && fork() == 0) {
        for (;;)
            pause();
    }

    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return 1;
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 200, 100, 0, 0, 0);
    if (b.initial_title)
        set_title(display, window, b, *b.initial_title);
    if (b.title_delay_ms < 0)
        set_title(display, window, b, b.title);
    XFlush(display);

    sleep_ms(b.map_delay_ms);
    if (b.map) {
        if (b.reparent) {
            // The frame has no title, so only following the client itself gives the answer.
            const Window frame =
                XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 220, 120, 0, 0, 0);
            XReparentWindow(display, window, frame, 10, 10);
            XMapWindow(display, window);
            XMapWindow(display, frame);
        } else {
            XMapWindow(display, window);
        }
        XFlush(display);
    }
    if (b.title_delay_ms >= 0) {
        sleep_ms(b.title_delay_ms);
        set_title(display, window, b, b.title);
    }
    if (b.exit_after_ms > 0) {
        sleep_ms(b.exit_after_ms);
        return 3;
    }
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
    }
}
