/* Prints the moment a top-level window with the given title is mapped.
 *
 *   window_mapped TITLE TIMEOUT_SECONDS
 *
 * Writes "ready" once it is watching, so the caller can start the program
 * after that and lose no event; then, when a window titled TITLE is mapped,
 * prints the CLOCK_REALTIME time in nanoseconds and exits 0. Exits 1 when
 * the timeout passes first. Mapped is what "visible" means to xdotool. */

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static long long nowNs(void) {
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

/* Qt writes the title as UTF8_STRING, which XFetchName does not read. */
static int titled(Display *display, Window window, Atom property, const char *title) {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char *value = NULL;
    int match = 0;
    if (XGetWindowProperty(display, window, property, 0, 1024, False, AnyPropertyType, &type,
                           &format, &count, &after, &value) == Success && value) {
        match = format == 8 && count == strlen(title) && memcmp(value, title, count) == 0;
        XFree(value);
    }
    return match;
}

static int ignoreErrors(Display *display, XErrorEvent *error) {
    (void)display;
    (void)error; /* a window can be gone before its title is read */
    return 0;
}

int main(int argc, char **argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: window_mapped TITLE TIMEOUT_SECONDS\n");
        return 2;
    }
    const char *title = argv[1];
    const long long deadline = nowNs() + (long long)(atof(argv[2]) * 1e9);
    Display *display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "window_mapped: cannot open the display\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    printf("ready\n");
    fflush(stdout);

    struct pollfd watch = {ConnectionNumber(display), POLLIN, 0};
    for (;;) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != MapNotify)
                continue;
            const long long mapped = nowNs();
            const Window window = event.xmap.window;
            if (titled(display, window, netWmName, title) || titled(display, window, XA_WM_NAME, title)) {
                printf("%lld\n", mapped);
                return 0;
            }
        }
        const long long left = deadline - nowNs();
        if (left <= 0)
            return 1;
        poll(&watch, 1, (int)(left / 1000000) + 1);
    }
}
