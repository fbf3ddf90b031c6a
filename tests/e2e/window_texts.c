/*
 * window_texts: prints what the thermometer's window shows, for the
 * end-to-end suite under Wine, where xdotool cannot read a control's text.
 * One line per child of the top-level window titled "Form1", in creation
 * order: "<class>\t<text>", then for a list box one "<class>[<n>]\t<item>"
 * line per item. UTF-8. Exit status 1 when there is no such window.
 */
#include <windows.h>
#include <stdio.h>

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

int main(void) {
    HWND form = FindWindowW(NULL, L"Form1");
    if (!form) {
        fputs("window_texts: no window Form1\n", stderr);
        return 1;
    }
    EnumChildWindows(form, print_child, 0);
    return 0;
}
