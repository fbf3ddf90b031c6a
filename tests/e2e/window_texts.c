/*
 * window_texts: prints what the thermometer's window shows, for the
 * end-to-end suite under Wine, where xdotool cannot read a control's text.
 * One line per child of the top-level window titled "Form1", in creation
 * order: "<class>\t<text>", then for a list box one "<class>[<n>]\t<item>"
 * line per item. UTF-8. Exit status 1 when there is no such window.
 *
 * window_texts --scroll-bar: where the list box's vertical scroll bar is,
 * in screen pixels: "<left> <top> <right> <bottom> <arrow height>"; exit
 * status 1 when it shows none.
 */
#include <windows.h>
#include <stdio.h>
#include <string.h>

static void put(const wchar_t *text) {
    char out[4096];
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out, NULL, NULL);
    fputs(n > 0 ? out : "?", stdout);
}

static BOOL CALLBACK print_child(HWND child, LPARAM unused) {
    (void)unused;
    wchar_t cls[64], text[1024];
    GetClassNameW(child, cls, 64);
    /* WM_GETTEXT, not GetWindowTextW: across processes that returns an
       edit box's creation text, not what is in it now. */
    DWORD_PTR got = 0;
    text[0] = 0;
    if (!SendMessageTimeoutW(child, WM_GETTEXT, 1024, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, &got))
        text[0] = 0;
    put(cls);
    fputs("\t", stdout);
    put(text);
    fputs("\n", stdout);
    if (lstrcmpiW(cls, L"ListBox") == 0) {
        LRESULT count = SendMessageW(child, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            if (SendMessageW(child, LB_GETTEXTLEN, (WPARAM)i, 0) >= 1024)
                continue;
            SendMessageW(child, LB_GETTEXT, (WPARAM)i, (LPARAM)text);
            put(cls);
            printf("[%ld]\t", (long)i);
            put(text);
            fputs("\n", stdout);
        }
    }
    return TRUE;
}

static int print_scroll_bar(HWND form) {
    /* From the list box's frame and client area, which any process may
       ask for (GetScrollBarInfo answers only in the list box's own): the
       bar fills the room between the client area's right edge and the
       frame's border. */
    HWND list = FindWindowExW(form, NULL, L"ListBox", NULL);
    RECT frame, client;
    POINT origin = {0, 0};
    if (!list || !(GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL) || !GetWindowRect(list, &frame) ||
        !GetClientRect(list, &client) || !ClientToScreen(list, &origin)) {
        fputs("window_texts: the list box shows no vertical scroll bar\n", stderr);
        return 1;
    }
    long border = origin.x - frame.left;
    printf("%ld %ld %ld %ld %d\n", (long)(origin.x + client.right), (long)origin.y,
           (long)(frame.right - border), (long)(origin.y + client.bottom),
           GetSystemMetrics(SM_CYVSCROLL));
    return 0;
}

int main(int argc, char **argv) {
    HWND form = FindWindowW(NULL, L"Form1");
    if (!form) {
        fputs("window_texts: no window Form1\n", stderr);
        return 1;
    }
    if (argc > 1 && strcmp(argv[1], "--scroll-bar") == 0)
        return print_scroll_bar(form);
    EnumChildWindows(form, print_child, 0);
    return 0;
}
