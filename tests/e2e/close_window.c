/*
 * close_window WINDOW-ID: asks an X11 window to close the way a window
 * manager's close box does, with a WM_DELETE_WINDOW client message.
 *
 * xdotool's windowclose destroys the window instead, which a program sees
 * as losing its window, not as the user closing it.
 */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char **argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: close_window WINDOW-ID\n");
        return 2;
    }
    char *end;
    unsigned long id = strtoul(argv[1], &end, 0);
    if (*end || id == 0) {
        fprintf(stderr, "close_window: bad window id %s\n", argv[1]);
        return 2;
    }
    Display *display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "close_window: cannot open display\n");
        return 1;
    }
    XEvent event = {0};
    event.xclient.type = ClientMessage;
    event.xclient.window = (Window)id;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    if (!XSendEvent(display, (Window)id, False, NoEventMask, &event)) {
        fprintf(stderr, "close_window: could not send to window 0x%lx\n", id);
        XCloseDisplay(display);
        return 1;
    }
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
