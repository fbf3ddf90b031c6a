// The Win32 window as the user sees it: where each control sits, that every
// caption fits its control in the face it is drawn with (measured with
// GetTextExtentPoint32W, at 96 and at 144 DPI), and Form1's readings and
// list reaching the controls. Runs under Wine on a display.

#include "dpi.h"
#include "encoding_windows.h"
#include "fake_window.h"
#include "form1_controls.h"
#include "form1_layout.h"
#include "form1_window.h"
#include "recording_line.h"
#include "sample_ticks.h"

#include <gtest/gtest.h>

#include <map>
#include <string_view>

using win32ui::Form1Controls;

namespace {

std::wstring textOf(HWND control) {
    std::wstring text(std::size_t(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(std::size_t(::GetWindowTextW(control, text.data(), int(text.size()))));
    return text;
}

// The caption's extent in the face the control draws it with.
SIZE extentOf(HWND control, const std::wstring& text) {
    const HDC dc = ::GetDC(control);
    const HGDIOBJ old = ::SelectObject(dc, HFONT(::SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.data(), int(text.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    return size;
}

RECT clientOf(HWND control) {
    RECT rect{};
    ::GetClientRect(control, &rect);
    return rect;
}

// Every control's caption, and the longest texts the reading labels and
// the name box show, each within its control; the check box's caption
// beside its box.
void expectEveryCaptionFits(const Form1Controls& c, UINT dpi) {
    ::SetWindowTextW(c.Label1, L"5.08 Вольт");
    ::SetWindowTextW(c.Label3, L"-273 *C");
    ::SetWindowTextW(c.Text1, L"журнал");
    for (HWND control : {c.Label1, c.Label3, c.Label4, c.Label5, c.Command1, c.Check1, c.Text1}) {
        const std::wstring text = textOf(control);
        const SIZE needed = extentOf(control, text);
        const RECT room = clientOf(control);
        LONG width = needed.cx;
        if (control == c.Check1)  // the box and the gap before the caption
            width += ::MulDiv(::GetSystemMetrics(SM_CXMENUCHECK), int(dpi), 96);
        EXPECT_LE(width, room.right) << text::toUtf8(text) << " at " << dpi << " dpi";
        EXPECT_LE(needed.cy, room.bottom) << text::toUtf8(text) << " at " << dpi << " dpi";
    }
}

struct Bench {
    FakeRuntime runtime;
    RecordingLine* line = nullptr;
    std::unique_ptr<win32ui::Form1Window> window;

    Bench() {
        auto port = std::make_unique<RecordingLine>();
        line = port.get();
        window = std::make_unique<win32ui::Form1Window>(std::move(port), runtime);
    }
    const Form1Controls& c() const { return window->controls(); }
};

} // namespace

// Where each control must be at 96 dpi, in pixels: left, top, width, height.
const std::map<std::string_view, RECT> kPlacesAt96Dpi{
    {"Label2", {272, 8, 89, 41}},   {"Label3", {8, 72, 241, 49}},    {"Label1", {8, 16, 241, 49}},
    {"List1", {264, 16, 121, 82}},  {"Command1", {328, 128, 57, 25}}, {"Text1", {88, 136, 121, 19}},
    {"Check1", {264, 104, 129, 17}}, {"Label4", {8, 136, 81, 17}},    {"Label5", {216, 136, 25, 17}}};

TEST(Win32Window, ControlsSitWhereTheLayoutPutsThem) {
    Bench b;
    ASSERT_EQ(win32ui::dpiOf(b.window->handle()), 96u);  // the places below are for 96 dpi
    RECT client{};
    ::GetClientRect(b.window->handle(), &client);
    EXPECT_EQ(client.right, 391);
    EXPECT_EQ(client.bottom, 160);
    EXPECT_EQ(textOf(b.window->handle()), L"Form1");
    for (const app::ControlLayout& layout : app::kForm1Controls) {
        const HWND control = b.c().byName(layout.name);
        ASSERT_TRUE(control) << layout.name;
        RECT place{};
        ::GetWindowRect(control, &place);
        ::MapWindowPoints(nullptr, b.window->handle(), reinterpret_cast<POINT*>(&place), 2);
        const RECT& expected = kPlacesAt96Dpi.at(layout.name);
        EXPECT_EQ(place.left, expected.left) << layout.name;
        EXPECT_EQ(place.top, expected.top) << layout.name;
        EXPECT_EQ(place.right - place.left, expected.right) << layout.name;
        EXPECT_EQ(place.bottom - place.top, expected.bottom) << layout.name;
        EXPECT_EQ(textOf(control), text::toWide(layout.content)) << layout.name;
    }
}

TEST(Win32Window, EveryCaptionFitsAt96And144Dpi) {
    Bench b;
    expectEveryCaptionFits(b.c(), 96);
    win32ui::Form1Fonts large(144);
    win32ui::layOutForm1Controls(b.c(), 144, large);
    expectEveryCaptionFits(b.c(), 144);
}

// Asked before a move to a monitor of other scaling, the window gives its
// size there: its own size at its own DPI, and elsewhere the client area
// its twips make at that DPI inside the frame drawn at it.
TEST(Win32Window, AnswersItsSizeAtAnotherDpi) {
    Bench b;
    const HWND window = b.window->handle();
    const UINT own = win32ui::dpiOf(window);
    RECT outer{};
    ::GetWindowRect(window, &outer);
    SIZE size{};
    ASSERT_TRUE(::SendMessageW(window, WM_GETDPISCALEDSIZE, own, LPARAM(&size)));
    EXPECT_EQ(size.cx, outer.right - outer.left);
    EXPECT_EQ(size.cy, outer.bottom - outer.top);

    const auto style = DWORD(::GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = DWORD(::GetWindowLongPtrW(window, GWL_EXSTYLE));
    // The client area at each DPI: 5865 x 2400 twips, rounded down.
    const struct {
        UINT dpi;
        LONG width, height;
    } clients[] = {{120, 488, 200}, {144, 586, 240}, {192, 782, 320}};
    for (const auto& [dpi, width, height] : clients) {
        ASSERT_TRUE(::SendMessageW(window, WM_GETDPISCALEDSIZE, dpi, LPARAM(&size)));
        RECT frame{};
        ASSERT_TRUE(::AdjustWindowRectExForDpi(&frame, style, FALSE, exStyle, dpi));
        EXPECT_EQ(size.cx - (frame.right - frame.left), width) << dpi << " dpi";
        EXPECT_EQ(size.cy - (frame.bottom - frame.top), height) << dpi << " dpi";
    }
}

TEST(Win32Window, ReadingsAndEntriesReachTheControls) {
    Bench b;
    ASSERT_TRUE(b.window->form().load());
    ::SendMessageW(b.c().Check1, BM_SETCHECK, BST_CHECKED, 0);
    b.line->code = 600;
    deliverSampleTicks(b.window->form(), b.runtime);
    EXPECT_EQ(textOf(b.c().Label1), L"2.98 Вольт");
    EXPECT_EQ(textOf(b.c().Label3), L"25 *C");
    ASSERT_EQ(::SendMessageW(b.c().List1, LB_GETCOUNT, 0, 0), 1);
    wchar_t entry[64] = {};
    ::SendMessageW(b.c().List1, LB_GETTEXT, 0, LPARAM(entry));
    EXPECT_STREQ(entry, L"25    14:03:07");
    EXPECT_TRUE(textOf(b.c().Label2).empty());
}
