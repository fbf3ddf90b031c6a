/*
 * clipboard_text: prints the text the owner of the X clipboard holds, as
 * UTF-8, by asking the owner for it as a paste does. Exit status 1 when no
 * one owns the clipboard or the owner does not answer within two seconds.
 * clipboard_text --clear: empties the clipboard, so that what is read next
 * was copied after it.
 *
 * Qt's widgets are not X windows and show their text to no one outside;
 * what a widget copies (Ctrl+C) is the one way to read it back, and it
 * comes through the program's own event loop, after the keys before it.
 */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <stdio.h>
#include <string.h>
#include <sys/select.h>
#include <time.h>

static double now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

/* Waits for the owner's SelectionNotify; 0 when it does not come in time. */
static int waitNotify(Display *display, Window window, XEvent *event) {
    double end = now() + 2.0;
    while (now() < end) {
        while (XPending(display)) {
            XNextEvent(display, event);
            if (event->type == SelectionNotify && event->xselection.requestor == window)
                return 1;
        }
        int fd = ConnectionNumber(display);
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        struct timeval step = {0, 50000};
        select(fd + 1, &readable, NULL, NULL, &step);
    }
    return 0;
}

int main(int argc, char **argv) {
    int clear = argc == 2 && strcmp(argv[1], "--clear") == 0;
    if (argc > 1 && !clear) {
        fprintf(stderr, "usage: clipboard_text [--clear]\n");
        return 2;
    }
    Display *display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "clipboard_text: cannot open display\n");
        return 2;
    }
    Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom target = XInternAtom(display, "CLIPBOARD_TEXT", False);
    if (clear) {
        XSetSelectionOwner(display, clipboard, None, CurrentTime);
        XSync(display, False);
        XCloseDisplay(display);
        return 0;
    }
    int status = 1;
    if (XGetSelectionOwner(display, clipboard) == None) {
        fprintf(stderr, "clipboard_text: no one owns the clipboard\n");
        XCloseDisplay(display);
        return status;
    }
    Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XConvertSelection(display, clipboard, utf8, target, window, CurrentTime);
    XFlush(display);
    XEvent event;
    if (!waitNotify(display, window, &event)) {
        fprintf(stderr, "clipboard_text: the clipboard's owner did not answer\n");
    } else if (event.xselection.property == None) {
        fprintf(stderr, "clipboard_text: the clipboard holds no text\n");
    } else {
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char *data = NULL;
        if (XGetWindowProperty(display, window, target, 0, 1L << 20, True, AnyPropertyType, &type,
                               &format, &count, &after, &data) == Success
            && type == utf8 && format == 8) {
            fwrite(data, 1, count, stdout);
            status = 0;
        } else {
            fprintf(stderr, "clipboard_text: the clipboard's text came in a form not read here\n");
        }
        if (data)
            XFree(data);
    }
    XDestroyWindow(display, window);
    XCloseDisplay(display);
    return status;
}
